// Creating, placing and destroying windows.
#include "platform/canvas.h"
#include "platform/clock.h"
#include "window_fixture.h"

namespace {

using Windows = WindowTest;

TEST_F(Windows, RegisteringRejectsDuplicatesAndMissingParts)
{
    EXPECT_FALSE(register_class({"probe", probe_proc}));
    EXPECT_FALSE(register_class({nullptr, probe_proc}));
    EXPECT_FALSE(register_class({"no procedure", nullptr}));
    EXPECT_EQ(create_window("unknown", "", WindowStyle::main, 0, 0, 10, 10, nullptr, 0), nullptr);
}

TEST_F(Windows, CreationMessageSeesTheFinishedWindow)
{
    WindowHandle main = make_main();
    Rect seen_client;
    std::int32_t seen_id = -1;
    Point seen_screen;
    handler = [&](WindowHandle w, std::uint32_t m) -> std::optional<std::intptr_t> {
        if (m != wm_create)
            return {};
        seen_client = client_rect(w);
        seen_id = child_id(w);
        seen_screen = client_to_screen(w, {1, 2});
        return 0;
    };
    WindowHandle child = make_child(main, {10, 20, 40, 35}, 7);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(ids(message_log, child).front(), wm_create);
    EXPECT_EQ(seen_client, (Rect{0, 0, 30, 15}));
    EXPECT_EQ(seen_id, 7);
    EXPECT_EQ(seen_screen, (Point{111, 72}));
    EXPECT_EQ(window_rect(child), (Rect{110, 70, 140, 85}));
}

TEST_F(Windows, CreationAnsweredWithMinusOneFailsAndDestroys)
{
    WindowHandle main = make_main();
    handler = answer(wm_create, -1);
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
    EXPECT_EQ(message_log[2].window, b);
    EXPECT_FALSE(destroy_window(main));
    EXPECT_EQ(top_level_framebuffer().pixels, nullptr);
    EXPECT_FALSE(test_host().placements.back().visible);
    sleep_ms(100);
    EXPECT_TRUE(pump().empty());
}

TEST_F(Windows, MainWindowPlacementReachesTheHost)
{
    WindowHandle main = create_window("probe", "Modra", WindowStyle::main, use_default_position,
                                      use_default_position, 300, 200, nullptr, 0);
    EXPECT_EQ(window_rect(main), (Rect{64, 64, 364, 264}));
    EXPECT_TRUE(test_host().placements.empty());  // not shown yet
    show_window(main);
    ASSERT_EQ(test_host().placements.size(), 1u);
    EXPECT_TRUE(test_host().placements[0].visible);
    EXPECT_EQ(test_host().placements[0].title, "Modra");

    const Rect outer = adjust_window_rect({0, 0, 710, 580});
    set_window_pos(main, 0, 0, rect_width(outer), rect_height(outer), true, false);
    EXPECT_EQ(client_rect(main), (Rect{0, 0, 710, 580}));
    EXPECT_EQ(test_host().placements.back().screen, (Rect{64, 64, 774, 644}));
    EXPECT_EQ(top_level_framebuffer().width, 710);
}

TEST_F(Windows, MovingAChildSendsMoveAndSizeAndRepaintsWhatItUncovered)
{
    WindowHandle main = make_main();
    WindowHandle child = make_child(main, {10, 10, 50, 30});
    message_log.clear();
    EXPECT_TRUE(move_window(child, 20, 10, 60, 40, true));
    ASSERT_EQ(ids(message_log, child), (Ids{wm_move, wm_size}));
    EXPECT_EQ(point_from_lparam(message_log[0].lparam), (Point{20, 10}));
    EXPECT_EQ(low_word(message_log[1].lparam), 60);
    EXPECT_EQ(high_word(message_log[1].lparam), 40);

    // The parent repaints the strip the child left; the child all of itself.
    const std::vector<Message> paints = pump();
    ASSERT_EQ(paints.size(), 2u);
    EXPECT_EQ(paints[0].window, main);
    EXPECT_EQ(paints[1].window, child);
}

TEST_F(Windows, OnlyARedrawingClassRepaintsWholeOnShrink)
{
    WindowHandle main = make_main();
    WindowHandle plain = make_child(main, {0, 0, 50, 50}, 1, "probe");
    WindowHandle redrawing = make_child(main, {60, 0, 110, 50}, 2, "redrawing");
    move_window(plain, 0, 0, 40, 40, false);
    move_window(redrawing, 60, 0, 100, 40, false);
    std::vector<Message> got = pump();
    ASSERT_EQ(ids(got), (Ids{wm_paint}));
    EXPECT_EQ(got[0].window, redrawing);

    move_window(plain, 0, 0, 45, 40, true);  // grown: the new column needs paint
    got = pump();
    ASSERT_EQ(ids(got), (Ids{wm_paint}));
    EXPECT_EQ(got[0].window, plain);
}

TEST_F(Windows, UserResizeReallocatesTheFramebufferAndKeepsPixels)
{
    WindowHandle main = make_main(100, 80);
    Canvas* c = get_canvas(main);
    select_brush(c, create_brush(0x123456));
    rectangle(c, 0, 0, 100, 80);
    release_canvas(main, c);
    message_log.clear();

    inject_resize(120, 60);
    ASSERT_EQ(ids(message_log), (Ids{wm_size}));
    EXPECT_EQ(low_word(message_log[0].lparam), 120);
    EXPECT_EQ(high_word(message_log[0].lparam), 60);
    const Framebuffer fb = top_level_framebuffer();
    EXPECT_EQ(fb.width, 120);
    EXPECT_EQ(fb.height, 60);
    EXPECT_EQ(pixel(50, 50), 0x123456u);
    EXPECT_EQ(pixel(110, 10), 0u);
    EXPECT_EQ(test_host().placements.size(), 1u);  // the user's change is not echoed back

    inject_move(300, 200);
    EXPECT_EQ(ids(message_log).back(), wm_move);
    EXPECT_EQ(client_to_screen(main, {0, 0}), (Point{300, 200}));
}

}  // namespace
