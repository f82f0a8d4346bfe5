// Creating, placing and destroying windows; the order the queue hands out
// messages in; timers on the virtual clock; where pointer input goes.
#include "platform/clock.h"
#include "platform/portable/host.h"
#include "window_fixture.h"

void host_poll_events()
{
    if (test_host.on_poll)
        test_host.on_poll();
}
void host_queue_idle() {}
void host_set_cursor(Cursor cursor) { test_host.cursor = cursor; }
void host_top_level_placed(const char* title, const Rect& r, bool shown) { test_host.placements.push_back({title, r, shown}); }
void host_framebuffer_changed(const Framebuffer&, const Rect& dirty) { test_host.changes.push_back(dirty); }
void host_message_box(const char*, const char*, bool) {}
void host_title_changed(const char*) {}
bool host_set_full_screen(bool) { return true; }
Rect host_screen_rect() { return {0, 0, 1920, 1080}; }
Rect host_work_area() { return {0, 0, 1280, 1024}; }
std::int32_t host_colour_depth() { return 32; }

namespace {

using Windows = WindowTest;

TEST_F(Windows, CreationSeesTheFinishedWindowAndMinusOneUndoesIt)
{
    EXPECT_FALSE(register_class({"probe", probe_proc}));
    EXPECT_FALSE(register_class({nullptr, probe_proc}));
    EXPECT_FALSE(register_class({"no procedure", nullptr}));
    EXPECT_EQ(create_window("unknown", "", WindowStyle::main, 0, 0, 10, 10, nullptr, 0), nullptr);

    WindowHandle main = make_main();
    Rect client;
    Point screen;
    std::int32_t id = -1;
    std::intptr_t result = 0;
    handler = [&](WindowHandle w, std::uint32_t m) -> std::optional<std::intptr_t> {
        if (m != wm_create)
            return {};
        client = client_rect(w);
        id = child_id(w);
        screen = client_to_screen(w, {1, 2});
        return result;
    };
    WindowHandle child = make_child(main, {10, 20, 40, 35}, 7);
    EXPECT_EQ(ids(message_log, child).front(), wm_create);
    EXPECT_EQ(client, (Rect{0, 0, 30, 15}));
    EXPECT_EQ(id, 7);
    EXPECT_EQ(screen, (Point{111, 72}));
    EXPECT_EQ(window_rect(child), (Rect{110, 70, 140, 85}));

    message_log.clear();
    result = -1;
    EXPECT_EQ(make_child(main, {0, 0, 10, 10}), nullptr);
    EXPECT_EQ(ids(message_log), (Ids{wm_create, wm_destroy}));
    EXPECT_EQ(message_log[1].window, message_log[0].window);
    handler = nullptr;
    EXPECT_TRUE(pump().empty());  // nothing left of it in the queue
}

TEST_F(Windows, DestroyGoesParentFirstAndForgetsTimersMessagesAndCapture)
{
    WindowHandle main = make_main();
    WindowHandle a = make_child(main, {0, 0, 10, 10}, 1);
    WindowHandle b = make_child(main, {20, 0, 30, 10}, 2);
    set_timer(a, 1, 10);
    set_capture(b);
    inject_pointer(wm_mousemove, {25, 5}, 0);
    invalidate(a, nullptr, true);
    message_log.clear();

    EXPECT_TRUE(destroy_window(main));
    EXPECT_EQ(ids(message_log), (Ids{wm_destroy, wm_destroy, wm_destroy}));
    EXPECT_EQ(message_log[0].window, main);
    EXPECT_EQ(message_log[1].window, a);
    EXPECT_FALSE(destroy_window(main));
    EXPECT_EQ(top_level_framebuffer().pixels, nullptr);
    EXPECT_FALSE(test_host.placements.back().visible);
    sleep_ms(100);
    EXPECT_TRUE(pump().empty());
}

TEST_F(Windows, PlacementOfTheMainWindowReachesTheHostAndTheUsersDoesNotComeBack)
{
    WindowHandle main = create_window("probe", "Modra", WindowStyle::main, use_default_position,
                                      use_default_position, 300, 200, nullptr, 0);
    EXPECT_EQ(window_rect(main), (Rect{64, 64, 364, 264}));
    EXPECT_TRUE(test_host.placements.empty());  // not shown yet
    show_window(main);
    ASSERT_EQ(test_host.placements.size(), 1u);
    EXPECT_TRUE(test_host.placements[0].visible);
    EXPECT_EQ(test_host.placements[0].title, "Modra");

    Canvas* c = get_canvas(main);
    select_brush(c, create_brush(0x123456));
    rectangle(c, 0, 0, 300, 200);
    release_canvas(main, c);
    set_window_pos(main, 0, 0, 310, 180, true, false);
    EXPECT_EQ(client_rect(main), (Rect{0, 0, 310, 180}));
    EXPECT_EQ(test_host.placements.back().screen, (Rect{64, 64, 374, 244}));
    EXPECT_EQ(top_level_framebuffer().width, 310);
    EXPECT_EQ(pixel(150, 150), 0x123456u) << "the pixels the framebuffer keeps";
    EXPECT_EQ(pixel(305, 10), 0u);

    message_log.clear();
    inject_resize(120, 60);
    inject_move(300, 200);
    ASSERT_EQ(ids(message_log), (Ids{wm_size, wm_move}));
    EXPECT_EQ(message_log[0].lparam, 60 << 16 | 120);
    EXPECT_EQ(point_from_lparam(message_log[1].lparam), (Point{300, 200}));
    EXPECT_EQ(top_level_framebuffer().height, 60);
    EXPECT_EQ(client_to_screen(main, {0, 0}), (Point{300, 200}));
    EXPECT_EQ(test_host.placements.size(), 2u);
}

TEST_F(Windows, MovingAChildSendsMoveAndSizeAndRepaintsWhatItUncovered)
{
    WindowHandle main = make_main();
    WindowHandle child = make_child(main, {10, 10, 50, 30});
    message_log.clear();
    EXPECT_TRUE(move_window(child, 20, 10, 60, 40, true));
    ASSERT_EQ(ids(message_log, child), (Ids{wm_move, wm_size}));
    EXPECT_EQ(point_from_lparam(message_log[0].lparam), (Point{20, 10}));
    EXPECT_EQ(message_log[1].lparam, 40 << 16 | 60);
    // The parent repaints the strip the child left; the child all of itself.
    const std::vector<Message> paints = pump();
    ASSERT_EQ(paints.size(), 2u);
    EXPECT_EQ(paints[0].window, main);
    EXPECT_EQ(paints[1].window, child);

    // Shrunk without a repaint, only a redrawing class paints; grown, the new column needs paint.
    WindowHandle redrawing = make_child(main, {100, 0, 150, 50}, 2, "redrawing");
    move_window(child, 20, 10, 40, 40, false);
    move_window(redrawing, 100, 0, 140, 40, false);
    std::vector<Message> got = pump();
    ASSERT_EQ(ids(got), (Ids{wm_paint}));
    EXPECT_EQ(got[0].window, redrawing);
    move_window(child, 20, 10, 45, 40, true);
    got = pump();
    ASSERT_EQ(ids(got), (Ids{wm_paint}));
    EXPECT_EQ(got[0].window, child);
}

TEST_F(Windows, HostPolledFirstThenInputThenPaintThenTimersAndPaintIsOwedUntilValidated)
{
    WindowHandle main = make_main();
    set_timer(main, 5, 10);
    sleep_ms(20);
    invalidate(main, nullptr, false);
    inject_pointer(wm_lbuttondown, {3, 4}, mk_lbutton);
    test_host.on_poll = [] {  // the host's input joins the queue before it is read
        inject_pointer(wm_rbuttondown, {0, 0}, mk_rbutton);
        test_host.on_poll = nullptr;
    };
    const std::vector<Message> got = pump(4);
    EXPECT_EQ(ids(got), (Ids{wm_lbuttondown, wm_rbuttondown, wm_paint, wm_timer}));
    EXPECT_EQ(got.at(1).wparam, mk_rbutton);
    EXPECT_EQ(got.at(3).wparam, 5u);

    kill_timer(main, 5);  // paint is owed until validated, and update_window pays it at once
    message_log.clear();
    update_window(main);
    EXPECT_TRUE(message_log.empty());
    invalidate(main, nullptr, false);
    update_window(main);
    EXPECT_EQ(ids(message_log), (Ids{wm_paint}));
    EXPECT_TRUE(pump().empty());  // the default procedure validated it

    // A paint left invalid is asked for again, behind new input.
    handler = [](WindowHandle, std::uint32_t m) { return m == wm_paint ? std::optional<std::intptr_t>(0) : std::nullopt; };
    invalidate(main, nullptr, false);
    EXPECT_EQ(ids(pump(3)), (Ids{wm_paint, wm_paint, wm_paint}));
    inject_pointer(wm_mousemove, {1, 1}, 0);
    EXPECT_EQ(ids(pump(2)), (Ids{wm_mousemove, wm_paint}));
}

TEST_F(Windows, QuitEndsTheLoopWithItsCode)
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

TEST_F(Windows, TimersFirstDelayThenEveryPeriodOneMessageWhenLateAndEachIdOnItsOwn)
{
    WindowHandle main = make_main();
    // After each wait, how many messages timer `id` has sent.
    const auto ticks = [](const std::vector<std::uint32_t>& waits_ms, std::uintptr_t id = 1) {
        std::vector<int> counts;
        for (const std::uint32_t ms : waits_ms) {
            sleep_ms(ms);
            counts.push_back(0);
            for (const Message& m : pump())
                counts.back() += m.message == wm_timer && m.wparam == id;
        }
        return counts;
    };
    ASSERT_TRUE(set_timer(main, 1, 500));
    EXPECT_EQ(ticks({499, 1, 499, 1, 5000, 499, 1}), (std::vector<int>{0, 1, 0, 1, 1, 0, 1}));
    sleep_ms(300);
    set_timer(main, 1, 100);  // restarted: the new first delay counts from now, and the old 500 is gone
    EXPECT_EQ(ticks({99, 1, 100, 50}), (std::vector<int>{0, 1, 1, 0}));

    set_timer(main, 2, 100);
    EXPECT_TRUE(kill_timer(main, 1));
    EXPECT_FALSE(kill_timer(main, 1));
    EXPECT_EQ(ticks({100}, 2), (std::vector<int>{1}));
    EXPECT_EQ(ticks({100}, 1), (std::vector<int>{0}));
}

class Pointer : public WindowTest {
protected:
    WindowHandle main = nullptr, left = nullptr, right = nullptr;
    void SetUp() override
    {
        WindowTest::SetUp();
        main = make_main();
        left = make_child(main, {10, 10, 60, 60}, 1);
        right = make_child(main, {100, 10, 150, 60}, 2);
    }
    // The event injected at a point of the main window, as it was handed out.
    static Message at(Point p, std::uint32_t message = wm_mousemove, std::uintptr_t buttons = 0)
    {
        inject_pointer(message, p, buttons);
        std::vector<Message> got = pump();
        std::erase_if(got, [](const Message& m) { return m.message == wm_paint; });
        return got.back();
    }
};

TEST_F(Pointer, GoesToTheShowingChildUnderItInItsClientCoordinates)
{
    const Message got = at({105, 20}, wm_lbuttondown, mk_lbutton);
    EXPECT_EQ(got.window, right);
    EXPECT_EQ(got.message, wm_lbuttondown);
    EXPECT_EQ(point_from_lparam(got.lparam), (Point{5, 10}));
    EXPECT_EQ(got.wparam, mk_lbutton);
    EXPECT_EQ(at({80, 20}).window, main);
    WindowHandle hidden = create_window("probe", "", WindowStyle::child, 160, 10, 20, 20, main, 3);
    EXPECT_EQ(at({165, 15}).window, main);
    show_window(hidden);
    EXPECT_EQ(at({165, 15}).window, hidden);
}

TEST_F(Pointer, CaptureKeepsADragThatLeavesTheWindowAndTheCursorItBeganWith)
{
    ASSERT_TRUE(register_class({"aiming", probe_proc, false, Cursor::cross}));
    WindowHandle sight = make_child(main, {10, 70, 60, 120}, 3, "aiming");
    EXPECT_EQ(at({20, 80}, wm_lbuttondown, mk_lbutton).window, sight);
    EXPECT_EQ(test_host.cursor, Cursor::cross);
    set_capture(sight);
    Message got = at({2, 5}, wm_mousemove, mk_lbutton);  // over the main window
    EXPECT_EQ(got.window, sight);
    EXPECT_EQ(point_from_lparam(got.lparam), (Point{-8, -65}));
    got = at({120, 30}, wm_mousemove, mk_lbutton);  // over another child
    EXPECT_EQ(got.window, sight);
    EXPECT_EQ(point_from_lparam(got.lparam), (Point{110, -40}));
    EXPECT_EQ(test_host.cursor, Cursor::cross);
    release_capture();
    EXPECT_EQ(at({120, 30}, wm_lbuttonup).window, right);
    EXPECT_EQ(test_host.cursor, Cursor::arrow);
}

TEST_F(Pointer, InputQueuedBehindAPressFollowsTheCaptureThePressTook)
{
    // A quick drag out of a window: press and release arrive in one batch.
    handler = [](WindowHandle w, std::uint32_t m) -> std::optional<std::intptr_t> {
        if (m == wm_lbuttondown)
            set_capture(w);
        return std::nullopt;
    };
    inject_pointer(wm_lbuttondown, {20, 20}, mk_lbutton);
    const Message got = at({120, 30}, wm_lbuttonup);
    EXPECT_EQ(got.window, left);
    EXPECT_EQ(point_from_lparam(got.lparam), (Point{110, 20}));
}

}  // namespace
