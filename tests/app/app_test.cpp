// The toy as a whole on the headless host, steered through the host's
// driver hooks: `on_poll` runs each time the program looks for input,
// `on_idle` each time everything queued has been handled (where the main
// loop may produce a frame); either may close the window as a user would.
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "app/layout.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "attract/attract.h"
#include "platform/clock.h"
#include "platform/portable/surface_testing.h"
#include "test_support.h"

namespace {

class AppTest : public ::testing::Test {
protected:
    static inline std::function<void()> on_poll;
    static inline std::function<void()> on_idle;

    void SetUp() override { TearDown(); }
    void TearDown() override
    {
        reset_toy_state();
        on_poll = on_idle = nullptr;
        set_clock_read_cost(0);
        set_performance_counter_available(true);
        set_precise_sleep(false);
        frame_shown_hook = nullptr;
    }

    // Runs app_main to its end; returns its exit code.
    static int run_toy()
    {
        set_clock_read_cost(1);
        headless_host().driver = {[] { on_poll ? on_poll() : void(); }, [] { on_idle ? on_idle() : void(); }};
        return app_main();
    }
    // The same, closing the window once `done`, asked at each idle, says so.
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
};

struct Acted {
    std::int32_t frame;
    AttractAction action;
};
std::vector<Acted>* log_to = nullptr;

// What the toy is at the end of a run.
struct Outcome {
    std::vector<std::int32_t> cells;
    std::uint32_t random = 0;
    std::int32_t parameter = 0, palette = 0, rule = 0;
    Palette shown{};
};

class AttractTest : public AppTest {
protected:
    void TearDown() override
    {
        main_window_extras = nullptr;
        attract_acted = nullptr;
        log_to = nullptr;
        AppTest::TearDown();
    }
    // The toy for `frames` frames, `each_idle` called with on_idle.
    Outcome play(std::int32_t frames, std::function<void()> each_idle)
    {
        AppTest::TearDown();
        on_idle = [frames, each_idle, closing = false, seeded = false]() mutable {
            // Start-up seeds the sparks from the clock; both runs start alike.
            if (!std::exchange(seeded, true))
                seed_random(77);
            each_idle();
            if (!closing && cell_field.frame_count >= frames) {
                closing = true;
                inject_close();
            }
        };
        EXPECT_EQ(run_toy(), 0);
        const Grid& cells = cell_field.buffers[cell_field.current];
        return {{cells.begin(), cells.end()}, random_state(), sim_mode.parameter, sliders[1].value, sim_mode.mode,
                displayed_palette};
    }
};

}  // namespace

TEST_F(AppTest, StartsInOrderPausedFramesStillCountAndFadeAndClosesWithExitCode0)
{
    bool checked = false;
    on_poll = [&checked] {
        if (std::exchange(checked, true))
            return;
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
        EXPECT_TRUE(running && slider_count == 2 && iconbars[0].window);
        EXPECT_EQ(headless_host().title, "Modra");
        EXPECT_TRUE(rect_width(headless_host().placed) == 710 && rect_height(headless_host().placed) == 580);
    };
    bool set = false;
    auto before = std::make_unique<Grid>();
    std::int32_t frames_then = 0;
    EXPECT_EQ(run_until([&] {
        if (!set && cell_field.frame_count == 5) {
            set = true;
            press_button(iconbars[0], find_kind(iconbars[0], pause_button), click, true, true);
            set_value(sliders[1], 4, true);
            *before = cell_field.buffers[cell_field.current];
            frames_then = cell_field.frame_count;
        }
        return set && cell_field.frame_count >= frames_then + 31;
    }), 0);
    EXPECT_TRUE(checked && paused);
    EXPECT_EQ(cell_field.buffers[cell_field.current], *before) << "paused frames do not step";
    EXPECT_EQ(displayed_palette, target_palette) << "but the fade went on";
    EXPECT_NE(displayed_palette[10], pack_colour(40, 0, 0));
    EXPECT_FALSE(running);
    EXPECT_EQ(display, nullptr) << "closing destroys the display";
    EXPECT_EQ(headless_host().message_boxes, 0);
}

TEST_F(AppTest, LayoutFollowsTheWindowSize)
{
    // Client size; left and right of the view and slider column; top and bottom of view, palette slider, bar.
    struct Case {
        std::int32_t width, height;
        std::array<std::int32_t, 4> x;
        std::array<std::int32_t, 6> y;
    };
    const Case cases[] = {
        {710, 580, {20, 660, 667, 690}, {20, 500, 507, 530, 537, 560}},
        {1000, 700, {165, 805, 812, 835}, {80, 560, 567, 590, 597, 620}},
        {711, 581, {20, 660, 667, 690}, {20, 500, 507, 530, 537, 560}},
        {500, 400, {20, 450, 457, 480}, {20, 320, 327, 350, 357, 380}},
        {0, 0, {20, 120, 127, 150}, {20, 120, 127, 150, 157, 180}},  // minimised
        {169, 199, {20, 120, 127, 150}, {20, 120, 127, 150, 157, 180}},
        {710, 580, {20, 660, 667, 690}, {20, 500, 507, 530, 537, 560}},
    };
    // Where a child sits in the main window's client area.
    const auto cell_of = [](WindowHandle child) {
        const Point origin = client_to_screen(child, {0, 0});
        const Rect main = headless_host().placed, client = client_rect(child);
        return Rect{origin.x - main.left, origin.y - main.top, origin.x - main.left + client.right,
                    origin.y - main.top + client.bottom};
    };
    std::size_t next = 0;
    on_idle = [&] {
        if (next > 0 && next <= std::size(cases)) {
            const auto& [width, height, x, y] = cases[next - 1];
            SCOPED_TRACE(testing::Message() << width << " x " << height);
            const Rect view{x[0], y[0], x[1], y[1]};
            EXPECT_EQ(cell_of(view_window), view);
            EXPECT_EQ(cell_of(sliders[0].handle), (Rect{x[2], y[0], x[3], y[1]}));
            EXPECT_EQ(cell_of(sliders[1].handle), (Rect{x[0], y[2], x[1], y[3]}));
            EXPECT_EQ(cell_of(iconbars[0].window), (Rect{x[0], y[4], x[1], y[5]}));
            // Never scaled: the present copies the view's own size from the surface's corner.
            EXPECT_EQ(rect_width(display->screen_rect), rect_width(view));
            EXPECT_EQ(rect_height(display->screen_rect), rect_height(view));
            EXPECT_EQ(display->source_rect, (Rect{0, 0, rect_width(view), rect_height(view)}));
        }
        if (next == std::size(cases))
            inject_close();
        else if (next < std::size(cases))
            inject_resize(cases[next].width, cases[next].height);
        ++next;
    };
    EXPECT_EQ(run_toy(), 0);
}

TEST_F(AppTest, RightDragInTheViewMovesBothSlidersFromThePress)
{
    // 21 pixels up of 420 is 200 of the parameter's 4000; 50 to the right, one palette.
    bool dragged = false;
    EXPECT_EQ(run_until([&] {
        if (cell_field.frame_count == 3 && !std::exchange(dragged, true)) {
            inject_pointer(wm_rbuttondown, {320, 220}, mk_rbutton);
            inject_pointer(wm_mousemove, {300, 150}, mk_rbutton);
            inject_pointer(wm_mousemove, {370, 199}, mk_rbutton);
            inject_pointer(wm_rbuttonup, {370, 199}, 0);
        }
        return dragged && cell_field.frame_count >= 5;
    }), 0);
    EXPECT_TRUE(sliders[0].value == 200 && sim_mode.parameter == 200) << sliders[0].value;
    EXPECT_EQ(sliders[1].value, 1);
}

TEST_F(AppTest, FramesKeepTheirScheduleThroughAStallAndOnTheFallbackClock)
{
    // Frames fall due every 16666 us; a stall of 200 ms is made up back to back, none dropped.
    bool stalled = false;
    std::int32_t frames_at_stall = 0, catching_up = 0;
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
    EXPECT_TRUE(cell_field.frame_count >= 60 && cell_field.frame_count <= 61) << cell_field.frame_count;
    // Without a performance counter, 62.5 frames a second on the millisecond ticks.
    TearDown();
    set_performance_counter_available(false);
    const std::uint32_t ticks = tick_count();
    run_until([ticks] { return tick_count() - ticks >= 2000; });
    EXPECT_TRUE(cell_field.frame_count >= 125 && cell_field.frame_count <= 126) << cell_field.frame_count;
}

TEST_F(AppTest, ASleepToTheDeadlineGivesTheSameFramesAtTheirDeadlinesWithoutTheSpin)
{
    struct Run {
        std::vector<std::int64_t> frame_times;
        std::vector<std::int32_t> field;
        std::int32_t polls = 0;
    };
    static Run* run = nullptr;
    const auto one_run = [this](bool precise) {
        TearDown();
        set_precise_sleep(precise);
        Run result;
        run = &result;
        frame_shown_hook = [] { run->frame_times.push_back(virtual_clock_now()); };
        const std::int64_t start = virtual_clock_now();
        on_poll = [&result] {
            if (result.polls++ == 0)
                seed_random(5);
        };
        run_until([] { return cell_field.frame_count >= 120; });
        const Grid& cells = cell_field.buffers[cell_field.current];
        result.field.assign(cells.begin(), cells.end());
        for (std::int64_t& t : result.frame_times)
            t -= start;
        return result;
    };
    const Run spun = one_run(false);
    const Run slept = one_run(true);
    ASSERT_EQ(slept.frame_times.size(), spun.frame_times.size());
    EXPECT_TRUE(slept.field == spun.field) << "the same frames, bit for bit";
    // The spin reads the clock up to the deadline and a microsecond past it;
    // the sleep wakes on it. Either way the k-th frame is due k periods after
    // the schedule started, a few reads of the clock after the program.
    for (std::size_t k = 0; k < slept.frame_times.size(); ++k) {
        const std::int64_t due = static_cast<std::int64_t>(k) * 16'666;
        EXPECT_TRUE(slept.frame_times[k] >= due && slept.frame_times[k] <= due + 5) << k << ": " << slept.frame_times[k];
        EXPECT_TRUE(spun.frame_times[k] >= due && spun.frame_times[k] <= due + 5) << k << ": " << spun.frame_times[k];
    }
    EXPECT_LT(slept.polls * 20, spun.polls) << "no spin: " << slept.polls << " looks for input against " << spun.polls;
}

TEST_F(AppTest, OnePassPerDisplayFrameKeepsSixtyFramesASecondAtAnyRefreshRate)
{
    // A page runs one pass per animation frame: at 120 or 144 Hz many find no frame due, at 50 Hz some find two.
    for (const std::int64_t refresh_us : {8'333, 6'944, 20'000}) {
        TearDown();
        set_clock_read_cost(1);
        ASSERT_TRUE(start_app());
        MainLoop loop = start_main_loop();
        const std::int64_t start = virtual_clock_now();
        // Passes on the display's beat, up to the first one a second in.
        for (;;) {
            ASSERT_TRUE(run_main_loop_pass(loop));
            if (virtual_clock_now() - start >= 1'000'000)
                break;
            advance_virtual_clock(refresh_us - (virtual_clock_now() - start) % refresh_us);
        }
        EXPECT_TRUE(cell_field.frame_count >= 60 && cell_field.frame_count <= 61)
            << cell_field.frame_count << " frames in a second of " << refresh_us << " us passes";
        inject_close();
        while (run_main_loop_pass(loop)) {
        }
        EXPECT_EQ(loop.message.wparam, 0u);
    }
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

TEST_F(AppTest, StartUpFailuresAreToldAndEndTheRunWithExitCode0)
{
    // A squatter on the slider's class name; a desktop of 16 bits, refused before the window shows.
    const std::tuple<int, int, const char*, const char*> cases[] = {
        {32, 2, "Window Class Registration Failure", "Couldn't Register Window Class"},
        {16, 1, "Sorry", "This program requires 32 bit colour."}};
    for (const auto& [depth, boxes, title, text] : cases) {
        SCOPED_TRACE(title);
        TearDown();
        WindowClass squatter;
        squatter.name = "slider";
        squatter.procedure = default_window_proc;
        ASSERT_TRUE(depth == 16 || register_class(squatter));
        headless_host().colour_depth = depth;
        EXPECT_EQ(run_toy(), 0);
        EXPECT_EQ(headless_host().message_boxes, boxes);
        EXPECT_EQ(headless_host().box_title, title);
        EXPECT_EQ(headless_host().box_text, text);
        EXPECT_FALSE(running);
        EXPECT_EQ(display, nullptr);
    }
    EXPECT_FALSE(headless_host().visible);
    show_error("Long", "%s", std::string(3000, 'x').c_str());
    EXPECT_EQ(headless_host().box_text.size(), 1023u) << "error texts are cut at 1024 characters";
}

// In two and a half minutes attract mode works every control, and what it did, replayed by hand at the same
// frames, gives the very same toy, down to the sparks' random source, which it never draws from.
TEST_F(AttractTest, WorksEveryControlAndAReplayByHandGivesTheSameToy)
{
    constexpr std::int32_t frames = 150 * 60;
    std::vector<Acted> acted;
    log_to = &acted;
    attract_acted = [](const AttractAction& a) { log_to->push_back({cell_field.frame_count, a}); };
    main_window_extras = attract_message;
    attract_from_start(5);
    bool cells_in_range = true;
    const Outcome played = play(frames, [&cells_in_range] {
        if (cell_field.frame_count % 600 == 0)
            for (const std::int32_t c : cell_field.buffers[cell_field.current])
                cells_in_range = cells_in_range && c >= 0 && c <= cell_max;
    });
    EXPECT_TRUE(cells_in_range);
    EXPECT_FALSE(attract_on()) << "closing the window ends it";
    std::int32_t count[5] = {};
    for (const Acted& a : acted)
        ++count[a.action.kind];
    EXPECT_GE(count[AttractAction::drop], 150 * 2) << "a few drops a second";
    EXPECT_GE(count[AttractAction::palette], 4);
    EXPECT_GE(count[AttractAction::parameter], 20);
    EXPECT_GE(count[AttractAction::rule], 1);
    EXPECT_GE(count[AttractAction::picture], 1);
    for (const Acted& a : acted) {
        if (a.action.kind == AttractAction::drop) {
            EXPECT_TRUE(a.action.a >= -200 && a.action.a < 680 && a.action.b >= -200 && a.action.b < 840)
                << "drops stay near the field: " << a.action.a << "," << a.action.b;
        }
    }
    // The same actions by hand, without attract mode.
    attract_acted = nullptr;
    main_window_extras = nullptr;
    std::size_t next = 0;
    const Outcome replayed = play(frames, [&] {
        for (; next < acted.size() && acted[next].frame <= cell_field.frame_count; ++next)
            apply_attract_action(acted[next].action);
    });
    EXPECT_EQ(next, acted.size());
    EXPECT_TRUE(played.cells == replayed.cells) << "the field";
    EXPECT_EQ(played.random, replayed.random) << "the sparks' random source";
    EXPECT_EQ(played.parameter, replayed.parameter);
    EXPECT_EQ(played.palette, replayed.palette);
    EXPECT_EQ(played.rule, replayed.rule);
    EXPECT_EQ(played.shown, replayed.shown);
}

TEST_F(AttractTest, OffUntilAskedAndStillOnceStopped)
{
    static std::int32_t acts = 0;
    acts = 0;
    attract_acted = [](const AttractAction&) { ++acts; };
    main_window_extras = attract_message;
    std::int32_t acts_when_stopped = -1;
    play(20 * 60, [&] {
        if (cell_field.frame_count == 60 && !attract_on() && acts_when_stopped < 0) {
            EXPECT_EQ(acts, 0) << "nothing plays until asked";
            attract_from_start(9);  // the window is there: at once
            EXPECT_TRUE(attract_on());
        }
        if (cell_field.frame_count == 10 * 60 && attract_on()) {
            EXPECT_GT(acts, 0);
            stop_attract();
            acts_when_stopped = acts;
        }
    });
    EXPECT_GT(acts_when_stopped, 0);
    EXPECT_EQ(acts, acts_when_stopped) << "nothing after it stopped";
}
