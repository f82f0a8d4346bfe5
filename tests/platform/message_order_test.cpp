// The order in which the queue hands out messages, and the loop's end.
#include "platform/clock.h"
#include "window_fixture.h"

namespace {

using MessageOrder = WindowTest;

TEST_F(MessageOrder, HostPolledFirstThenInputThenPaintThenTimers)
{
    WindowHandle main = make_main();
    set_timer(main, 5, 10);
    sleep_ms(20);
    invalidate(main, nullptr, false);
    inject_pointer(wm_lbuttondown, {3, 4}, mk_lbutton);
    test_host().on_poll = [] {  // the host's input joins the queue before it is read
        inject_pointer(wm_rbuttondown, {0, 0}, mk_rbutton);
        test_host().on_poll = nullptr;
    };
    const std::vector<Message> got = pump(4);
    EXPECT_EQ(ids(got), (Ids{wm_lbuttondown, wm_rbuttondown, wm_paint, wm_timer}));
    EXPECT_EQ(got.at(1).wparam, mk_rbutton);
    EXPECT_EQ(got.at(3).wparam, 5u);
}

TEST_F(MessageOrder, AWindowThatDoesNotValidateIsAskedAgainBehindNewInput)
{
    WindowHandle main = make_main();
    handler = answer(wm_paint, 0);  // leaves the region invalid
    invalidate(main, nullptr, false);
    EXPECT_EQ(ids(pump(3)), (Ids{wm_paint, wm_paint, wm_paint}));
    inject_pointer(wm_mousemove, {1, 1}, 0);
    EXPECT_EQ(ids(pump(2)), (Ids{wm_mousemove, wm_paint}));
}

TEST_F(MessageOrder, UpdateWindowPaintsAtOnceOnlyWhenInvalid)
{
    WindowHandle main = make_main();
    update_window(main);
    EXPECT_TRUE(message_log.empty());
    invalidate(main, nullptr, false);
    update_window(main);
    EXPECT_EQ(ids(message_log), (Ids{wm_paint}));
    EXPECT_TRUE(pump().empty());  // the default procedure validated it
}

TEST_F(MessageOrder, QuitEndsTheLoopWithItsCode)
{
    WindowHandle main = make_main();
    handler = [](WindowHandle, std::uint32_t m) -> std::optional<std::intptr_t> {
        if (m == wm_destroy)
            post_quit(3);
        return {};
    };
    inject_close();  // the default procedure destroys the window on close
    const std::vector<Message> got = pump();
    EXPECT_EQ(ids(message_log, main), (Ids{wm_close, wm_destroy}));
    ASSERT_EQ(ids(got), (Ids{wm_close, wm_quit}));
    EXPECT_EQ(got[1].window, nullptr);
    EXPECT_EQ(got[1].wparam, 3u);
}

}  // namespace
