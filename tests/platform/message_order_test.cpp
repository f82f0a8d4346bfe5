// The order in which the queue hands out messages, and the loop's end.
#include "window_fixture.h"

#include "platform/clock.h"

namespace {

using MessageOrder = WindowTest;

TEST_F(MessageOrder, InputComesBeforePaintAndPaintBeforeTimers)
{
    WindowHandle main = make_main();
    set_timer(main, 5, 10);
    sleep_ms(20);
    invalidate(main, nullptr, false);
    inject_pointer(wm_lbuttondown, {3, 4}, mk_lbutton);
    inject_pointer(wm_lbuttonup, {3, 4}, 0);

    const std::vector<Logged> got = pump(4);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].message, wm_lbuttondown);
    EXPECT_EQ(got[1].message, wm_lbuttonup);
    EXPECT_EQ(got[2].message, wm_paint);
    EXPECT_EQ(got[3].message, wm_timer);
    EXPECT_EQ(got[3].wparam, 5u);
}

TEST_F(MessageOrder, AWindowThatDoesNotValidateIsAskedAgain)
{
    WindowHandle main = make_main();
    handler = [](WindowHandle, std::uint32_t m, std::uintptr_t, std::intptr_t) -> std::optional<std::intptr_t> {
        if (m == wm_paint)
            return 0;  // leaves the region invalid
        return {};
    };
    invalidate(main, nullptr, false);
    const std::vector<Logged> got = pump(5);
    ASSERT_EQ(got.size(), 5u);
    for (const Logged& l : got)
        EXPECT_EQ(l.message, wm_paint);

    // A posted message still gets ahead of the next paint.
    inject_pointer(wm_mousemove, {1, 1}, 0);
    EXPECT_EQ(pump(1).at(0).message, wm_mousemove);
}

TEST_F(MessageOrder, UpdateWindowPaintsAtOnceOnlyWhenInvalid)
{
    WindowHandle main = make_main();
    update_window(main);
    EXPECT_TRUE(messages_to(main).empty());
    invalidate(main, nullptr, false);
    update_window(main);
    EXPECT_EQ(messages_to(main), (std::vector<std::uint32_t>{wm_paint}));
    EXPECT_TRUE(pump().empty());  // the default procedure validated it
}

TEST_F(MessageOrder, QuitEndsTheLoopWithItsCode)
{
    WindowHandle main = make_main();
    handler = [](WindowHandle, std::uint32_t m, std::uintptr_t, std::intptr_t) -> std::optional<std::intptr_t> {
        if (m == wm_destroy)
            post_quit(3);
        return {};
    };
    inject_close();  // the default procedure destroys the window on close
    std::intptr_t code = -1;
    for (int guard = 0; guard < 100; ++guard) {
        Message m;
        if (!peek_message(m))
            continue;
        if (m.message == wm_quit) {
            EXPECT_EQ(m.window, nullptr);
            code = static_cast<std::intptr_t>(m.wparam);
            break;
        }
        translate_message(m);
        dispatch_message(m);
    }
    EXPECT_EQ(code, 3);
    EXPECT_EQ(messages_to(main), (std::vector<std::uint32_t>{wm_close, wm_destroy}));
}

TEST_F(MessageOrder, TheHostIsPolledBeforeTheQueueIsRead)
{
    make_main();
    test_host().on_poll = [] { inject_pointer(wm_rbuttondown, {0, 0}, mk_rbutton); };
    Message m;
    ASSERT_TRUE(peek_message(m));
    EXPECT_EQ(m.message, wm_rbuttondown);
    EXPECT_EQ(m.wparam, mk_rbutton);
}

}  // namespace
