// Attract mode in the whole toy on the headless host: in two and a half
// minutes it works every control, and what it did, replayed by hand through
// the same controls at the same frames, gives the very same toy, down to
// the sparks' random source, which it never draws from.
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "app/startup.h"
#include "attract/attract.h"
#include "platform/clock.h"
#include "toy_fixture.h"

namespace {

struct Acted {
    std::int32_t frame;
    AttractAction action;
};

std::vector<Acted>* log_to = nullptr;
std::function<void()> idle;

bool attract_hook(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    return attract_message(window, message, wparam, lparam);
}

// What the toy is at the end of a run.
struct Outcome {
    std::unique_ptr<Grid> cells = std::make_unique<Grid>();
    std::uint32_t random = 0;
    std::int32_t parameter = 0, palette = 0, rule = 0;
    Palette shown{};
};

// Runs the toy for `frames` frames, `each_idle` called whenever everything
// queued has been handled.
Outcome run_toy(std::int32_t frames, std::function<void()> each_idle)
{
    reset_toy_state();
    set_clock_read_cost(1);
    idle = [frames, each_idle, closing = false, seeded = false]() mutable {
        // Start-up seeds the sparks from the clock; both runs start alike.
        if (!std::exchange(seeded, true))
            seed_random(77);
        each_idle();
        if (!closing && cell_field.frame_count >= frames) {
            closing = true;
            inject_close();
        }
    };
    headless_host().driver = {nullptr, [] { idle(); }};
    Outcome out;
    EXPECT_EQ(app_main(), 0);
    *out.cells = cell_field.buffers[cell_field.current];
    out.random = random_state();
    out.parameter = sim_mode.parameter;
    out.palette = sliders[1].value;
    out.rule = sim_mode.mode;
    out.shown = displayed_palette;
    return out;
}

class AttractTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        main_window_extras = nullptr;
        attract_acted = nullptr;
        log_to = nullptr;
        reset_toy_state();
        set_clock_read_cost(0);
    }
};

}  // namespace

TEST_F(AttractTest, WorksEveryControlAndAReplayByHandGivesTheSameToy)
{
    constexpr std::int32_t frames = 150 * 60;
    std::vector<Acted> acted;
    log_to = &acted;
    attract_acted = [](const AttractAction& a) { log_to->push_back({cell_field.frame_count, a}); };
    main_window_extras = attract_hook;
    attract_from_start(5);
    bool cells_in_range = true;
    const Outcome played = run_toy(frames, [&cells_in_range] {
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
    const Outcome replayed = run_toy(frames, [&] {
        for (; next < acted.size() && acted[next].frame <= cell_field.frame_count; ++next)
            apply_attract_action(acted[next].action);
    });
    EXPECT_EQ(next, acted.size());
    EXPECT_TRUE(*played.cells == *replayed.cells) << "the field";
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
    main_window_extras = attract_hook;
    std::int32_t acts_when_stopped = -1;
    run_toy(20 * 60, [&] {
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
