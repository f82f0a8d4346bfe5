// The toy as a whole on the headless host: start-up, the main window's
// layout as real window positions, the main loop's schedule on the virtual
// clock, frame production when the display fails, and shut-down. A test
// steers app_main through the host's driver hooks: `on_poll` runs each time
// the program looks for input, `on_idle` each time everything queued has been
// handled (where the main loop may produce a frame); either may end the run
// by closing the window as a user would.
#include <array>
#include <cstring>
#include <functional>

#include "app/layout.h"
#include "app/main_loop.h"
#include "app/startup.h"
#include "platform/clock.h"
#include "platform/portable/surface_testing.h"
#include "toy_fixture.h"

namespace {

class AppTest : public ::testing::Test {
protected:
    static inline std::function<void()> on_poll;
    static inline std::function<void()> on_idle;

    void SetUp() override { reset(); }
    void TearDown() override
    {
        reset();
        set_clock_read_cost(0);
        set_performance_counter_available(true);
    }
    static void reset()
    {
        reset_toy_state();
        on_poll = nullptr;
        on_idle = nullptr;
    }

    // Runs app_main to its end; returns its exit code.
    static int run_toy()
    {
        set_clock_read_cost(1);
        headless_host().driver = {[] { call(on_poll); }, [] { call(on_idle); }};
        return app_main();
    }
    // The same, closing the window as a user would once `done`, asked each
    // time everything queued has been handled, says so.
    static int run_until(std::function<bool()> done)
    {
        on_idle = [done, closing = false]() mutable {
            if (!closing && done()) {
                closing = true;
                inject_close();
            }
        };
        return run_toy();
    }
    static void call(const std::function<void()>& f)
    {
        if (f)
            f();
    }
};

}  // namespace

TEST_F(AppTest, StartsInOrderAndClosesWithExitCode0)
{
    bool checked = false;
    on_poll = [&checked] {
        if (checked)
            return;
        checked = true;
        // The bank came from the random source's first draws, before it was
        // seeded from the clock; nothing has stepped the field yet.
        const PaletteBank built = palette_bank;
        const std::uint32_t seed = random_state();
        seed_random(1);
        build_palette_bank();
        EXPECT_EQ(0, std::memcmp(built.entries, palette_bank.entries, sizeof built.entries));
        seed_random(seed);
        EXPECT_EQ(cell_field.frame_count, 0);
        EXPECT_EQ(cell_field.buffers[cell_field.current][cell_index(100, 200)], 20000) << "the start pattern";
        EXPECT_TRUE(running);
        EXPECT_EQ(headless_host().title, "Modra");
        EXPECT_EQ(rect_width(headless_host().placed), 710);
        EXPECT_EQ(rect_height(headless_host().placed), 580);
        EXPECT_EQ(slider_count, 2);
        EXPECT_NE(iconbars[0].window, nullptr);
    };
    EXPECT_EQ(run_until([] { return cell_field.frame_count >= 10; }), 0);
    EXPECT_TRUE(checked);
    EXPECT_FALSE(running);
    EXPECT_EQ(display, nullptr) << "closing destroys the display";
    EXPECT_EQ(headless_host().message_boxes, 0);
}

TEST_F(AppTest, LayoutFollowsTheWindowSize)
{
    struct Case {
        std::int32_t width, height;
        Rect view, vertical, horizontal, bar;
    };
    const Case cases[] = {
        {710, 580, {20, 20, 660, 500}, {667, 20, 690, 500}, {20, 507, 660, 530}, {20, 537, 660, 560}},
        {1000, 700, {165, 80, 805, 560}, {812, 80, 835, 560}, {165, 567, 805, 590}, {165, 597, 805, 620}},
        {711, 581, {20, 20, 660, 500}, {667, 20, 690, 500}, {20, 507, 660, 530}, {20, 537, 660, 560}},
        {500, 400, {20, 20, 450, 320}, {457, 20, 480, 320}, {20, 327, 450, 350}, {20, 357, 450, 380}},
        {0, 0, {20, 20, 120, 120}, {127, 20, 150, 120}, {20, 127, 120, 150}, {20, 157, 120, 180}},  // minimised
        {169, 199, {20, 20, 120, 120}, {127, 20, 150, 120}, {20, 127, 120, 150}, {20, 157, 120, 180}},
        {710, 580, {20, 20, 660, 500}, {667, 20, 690, 500}, {20, 507, 660, 530}, {20, 537, 660, 560}},
    };
    // Where a child sits in the main window's client area.
    const auto cell_of = [](WindowHandle child) {
        const Point origin = client_to_screen(child, {0, 0});
        const Rect main = headless_host().placed;
        const Rect client = client_rect(child);
        return Rect{origin.x - main.left, origin.y - main.top, origin.x - main.left + client.right,
                    origin.y - main.top + client.bottom};
    };
    std::size_t next = 0;
    on_idle = [&] {
        if (next > 0 && next <= std::size(cases)) {
            const Case& c = cases[next - 1];
            EXPECT_EQ(cell_of(view_window), c.view) << c.width << " x " << c.height;
            EXPECT_EQ(cell_of(sliders[0].handle), c.vertical) << c.width << " x " << c.height;
            EXPECT_EQ(cell_of(sliders[1].handle), c.horizontal) << c.width << " x " << c.height;
            EXPECT_EQ(cell_of(iconbars[0].window), c.bar) << c.width << " x " << c.height;
            // Never scaled: the present copies the view's own size, from the
            // surface's top-left corner.
            EXPECT_EQ(rect_width(display->screen_rect), rect_width(c.view));
            EXPECT_EQ(rect_height(display->screen_rect), rect_height(c.view));
            EXPECT_EQ(display->source_rect, (Rect{0, 0, rect_width(c.view), rect_height(c.view)}));
        }
        if (next == std::size(cases))
            inject_close();
        else if (next < std::size(cases))
            inject_resize(cases[next].width, cases[next].height);
        ++next;
    };
    EXPECT_EQ(run_toy(), 0);
}

TEST(Layout, TheViewStaysWithin100And640By480AndTheBarsAt23)
{
    for (std::int32_t size = 0; size < 3000; size += 7) {
        compute_layout(size, size);
        ASSERT_LE(span_x(0, 1), 640);
        ASSERT_LE(span_y(0, 1), 480);
        ASSERT_GE(span_x(0, 1), 100);
        ASSERT_GE(span_y(0, 1), 100);
        ASSERT_EQ(span_x(2, 3), 23);
        ASSERT_EQ(span_y(2, 3), 23);
        ASSERT_EQ(span_y(4, 5), 23);
    }
}

TEST_F(AppTest, FramesKeepTheirScheduleThroughAStall)
{
    // Frames fall due every 16666 us from the start; a stall of 200 ms is made
    // up by frames back to back, none dropped.
    bool stalled = false;
    std::int32_t frames_at_stall = 0;
    std::int32_t catching_up = 0;
    std::int64_t stall_end = 0;
    const std::int64_t start = virtual_clock_now();
    on_poll = [&] {
        if (!stalled && virtual_clock_now() - start >= 100'000) {
            stalled = true;
            frames_at_stall = cell_field.frame_count;
            advance_virtual_clock(200'000);
            stall_end = virtual_clock_now();
        }
    };
    run_until([&] {
        if (stalled && virtual_clock_now() < stall_end + 1000)
            catching_up = cell_field.frame_count - frames_at_stall;
        return virtual_clock_now() - start >= 1'000'000;
    });
    EXPECT_EQ(frames_at_stall, 7);  // at 0, 16.7, ... 100 ms
    EXPECT_GE(catching_up, 12) << "the missed frames come back to back";
    EXPECT_GE(cell_field.frame_count, 60);
    EXPECT_LE(cell_field.frame_count, 61);
}

TEST_F(AppTest, FallbackClockRunsAt62AndAHalfFrames)
{
    set_performance_counter_available(false);
    const std::uint32_t start = tick_count();
    run_until([start] { return tick_count() - start >= 2000; });
    EXPECT_GE(cell_field.frame_count, 125);
    EXPECT_LE(cell_field.frame_count, 126);
}

TEST_F(AppTest, PausedFramesStillCountAndFade)
{
    bool set = false;
    Grid before{};
    std::int32_t frames_then = 0;
    run_until([&] {
        if (!set && cell_field.frame_count == 5) {
            set = true;
            press_button(iconbars[0], find_kind(iconbars[0], pause_button), click, true, true);
            set_value(sliders[1], 4, true);
            before = cell_field.buffers[cell_field.current];
            frames_then = cell_field.frame_count;
        }
        return set && cell_field.frame_count >= frames_then + 31;
    });
    EXPECT_TRUE(paused);
    EXPECT_EQ(cell_field.buffers[cell_field.current], before) << "paused frames do not step";
    EXPECT_EQ(displayed_palette, target_palette) << "but the fade went on";
    EXPECT_NE(displayed_palette[10], pack_colour(40, 0, 0));
}

TEST_F(AppTest, FailedLocksLeaveTheViewToRepaintUntilOneSucceeds)
{
    std::int32_t step = 0;
    std::int32_t frames_then = 0;
    EXPECT_EQ(run_until([&] {
        DrawSurface* back = back_surface(*display);
        if (step == 0 && cell_field.frame_count == 3) {
            // Lost at lock time: restored and drawn within the same frame.
            mark_surface_lost(back);
            frames_then = cell_field.frame_count;
            step = 1;
        } else if (step == 1 && cell_field.frame_count == frames_then + 1) {
            LockedPixels locked;
            EXPECT_EQ(lock_surface(back, locked), status_ok);
            EXPECT_NE(locked.pixels[100], 0x00FF00FFu) << "the restored surface was drawn over";
            unlock_surface(back);
            // Locks fail three times: the view stays invalid, and its paint
            // messages keep coming ahead of frames until one succeeds.
            fail_next_locks(back, 3);
            invalidate(view_window, nullptr, false);
            frames_then = cell_field.frame_count;
            step = 2;
        } else if (step == 2) {
            EXPECT_LE(cell_field.frame_count, frames_then + 1) << "the repaint came before further frames";
            step = 3;
        }
        return step == 3 && cell_field.frame_count >= frames_then + 5;
    }), 0);
    EXPECT_EQ(step, 3);
}

TEST_F(AppTest, ControlClassFailureIsToldTwice)
{
    WindowClass squatter;
    squatter.name = "slider";
    squatter.procedure = default_window_proc;
    ASSERT_TRUE(register_class(squatter));
    EXPECT_EQ(run_toy(), 0);
    EXPECT_EQ(headless_host().message_boxes, 2);
    EXPECT_EQ(headless_host().box_title, "Window Class Registration Failure");
    EXPECT_EQ(headless_host().box_text, "Couldn't Register Window Class");
    EXPECT_FALSE(running);
}

TEST_F(AppTest, DesktopOf16BitsIsRefusedBeforeTheWindowShows)
{
    headless_host().colour_depth = 16;
    EXPECT_EQ(run_toy(), 0);
    EXPECT_EQ(headless_host().message_boxes, 1);
    EXPECT_EQ(headless_host().box_title, "Sorry");
    EXPECT_EQ(headless_host().box_text, "This program requires 32 bit colour.");
    EXPECT_FALSE(headless_host().visible);
    EXPECT_EQ(display, nullptr);
    show_error("Long", "%s", std::string(3000, 'x').c_str());
    EXPECT_EQ(headless_host().box_text.size(), 1023u) << "error texts are cut at 1024 characters";
}
