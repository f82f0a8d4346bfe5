#include "attract/attract.h"

#include "iconbar/iconbar.h"
#include "palette/palette_bank.h"
#include "platform/clock.h"
#include "sim/cell_field.h"
#include "slider/slider.h"

void (*attract_acted)(const AttractAction& action) = nullptr;

namespace {

// Ticks of attract_tick_ms: 20 a second.
constexpr std::int64_t ticks_per_second = 1000 / attract_tick_ms;

// Where the parameter looks good. Diffusion: cooling gives a dark crackle
// of sparks that drops light up, a little heat a slow glow (more heat
// burns the picture white); the wave rule: from ripples that fade within
// seconds to ones that barely fade (its retention reaches 256 at 658, and
// beyond 907 the waves grow until they fill the field).
struct Range {
    std::int32_t low, high;
};
constexpr Range diffusion_range{-1400, 250};
constexpr Range wave_range{100, 700};

struct Attract {
    WindowHandle window = nullptr;  // the main window, once a message of it came
    bool on = false;
    bool from_start = false;
    std::uint64_t start_seed = 0;
    std::uint64_t state = 0;
    std::int64_t tick = 0;
    std::int64_t next_drop = 0, next_palette = 0, next_rule = 0, next_picture = 0, next_target = 0;
    std::int64_t last_palette = -1000000, last_rule = -1000000;  // ticks
    bool music = false;  // music leads
    std::int32_t rule_seen = -1;
    std::int32_t target = 0;
    std::int32_t speed = 1;  // parameter units a tick
    // A drag under way: moves left, where the pointer is, and its step.
    std::int32_t drag_moves = 0, drag_row = 0, drag_column = 0, drag_dr = 0, drag_dc = 0;
};

Attract attract;

// splitmix64: small, fast, and good enough to look random to the eye.
std::uint64_t next(std::uint64_t& s)
{
    std::uint64_t z = (s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Uniform in low..high, both included.
std::int32_t pick(std::int32_t low, std::int32_t high)
{
    const auto span = static_cast<std::uint64_t>(high - low) + 1;
    return low + static_cast<std::int32_t>(next(attract.state) % span);
}

bool chance(std::int32_t percent) { return pick(0, 99) < percent; }

void attract_act(const AttractAction& action)
{
    if (attract_acted)
        attract_acted(action);
    act(action);
}

Range range_of(std::int32_t rule) { return rule == 1 ? wave_range : diffusion_range; }

// However the music asks, in ticks.
constexpr std::int64_t palette_gap = 4 * ticks_per_second;
constexpr std::int64_t rule_gap = 30 * ticks_per_second;

void rain()
{
    const bool wave = sim_mode.mode == 1;
    if (attract.drag_moves > 0) {
        // A hand's drag gives about three pointer moves a tick.
        for (int i = 0; i < 3 && attract.drag_moves > 0; ++i, --attract.drag_moves) {
            attract.drag_row += attract.drag_dr;
            attract.drag_column += attract.drag_dc;
            attract_act({AttractAction::drop, attract.drag_row, attract.drag_column});
        }
        return;
    }
    if (attract.tick < attract.next_drop || attract.music)
        return;
    attract.next_drop = attract.tick + (wave ? pick(2, 9) : pick(5, 16));
    const std::int32_t row = pick(0, field_height - 1), column = pick(0, field_width - 1);
    attract_act({AttractAction::drop, row, column});
    if (chance(wave ? 8 : 15)) {
        attract.drag_row = row;
        attract.drag_column = column;
        attract.drag_dr = pick(-4, 4);
        attract.drag_dc = pick(-5, 5);
        attract.drag_moves = pick(9, 30);
    }
}

void drift()
{
    if (slider_count < 1)
        return;
    const std::int32_t rule = sim_mode.mode;
    const Range r = range_of(rule);
    const std::int32_t value = sliders[0].value;
    if (rule != attract.rule_seen) {
        // A new rule: a quick move into what suits it, then the slow drift.
        attract.rule_seen = rule;
        attract.target = pick(r.low, r.high);
        attract.speed = 12;
    } else if (value == attract.target && attract.tick >= attract.next_target && !attract.music) {
        attract.target = pick(r.low, r.high);
        attract.speed = pick(1, 3);
    }
    if (value == attract.target)
        return;
    const std::int32_t step = value < attract.target ? attract.speed : -attract.speed;
    const std::int32_t to = (step > 0 ? value + step > attract.target : value + step < attract.target) ? attract.target
                                                                                                      : value + step;
    attract_act({AttractAction::parameter, to});
    if (to == attract.target)
        attract.next_target = attract.tick + pick(5, 30) * ticks_per_second;
}

void new_palette()
{
    if (slider_count < 2 || palette_bank.count < 2)
        return;
    attract.last_palette = attract.tick;
    attract.next_palette = attract.tick + pick(20, 40) * ticks_per_second;
    std::int32_t to = pick(0, palette_bank.count - 2);
    if (to >= sliders[1].value)
        ++to;  // another one than now
    attract_act({AttractAction::palette, to});
}

void change_palette()
{
    if (attract.tick >= attract.next_palette && !attract.music)
        new_palette();
}

void other_rule()
{
    attract.last_rule = attract.last_palette = attract.tick;
    attract.next_rule = attract.tick + pick(120, 300) * ticks_per_second;
    attract_act({AttractAction::rule, sim_mode.mode == 1 ? 0 : 1});
}

void change_rule()
{
    if (attract.tick >= attract.next_rule && !attract.music)
        other_rule();
}

void show_picture()
{
    if (attract.tick < attract.next_picture)
        return;
    attract.next_picture = attract.tick + pick(150, 420) * ticks_per_second;
    attract_act({AttractAction::picture});
}

void attract_tick()
{
    ++attract.tick;
    rain();
    drift();
    change_palette();
    change_rule();
    show_picture();
}

}  // namespace

void start_attract(WindowHandle main_window, std::uint64_t seed)
{
    attract = Attract{};
    attract.window = main_window;
    attract.on = true;
    attract.state = seed;
    attract.rule_seen = sim_mode.mode;
    attract.target = sliders[0].value;
    attract.next_drop = pick(1, 10);
    attract.next_target = pick(1, 5) * ticks_per_second;
    attract.next_palette = pick(8, 20) * ticks_per_second;
    attract.next_rule = pick(40, 90) * ticks_per_second;
    attract.next_picture = pick(60, 150) * ticks_per_second;
    set_timer(main_window, attract_timer, attract_tick_ms);
}

std::uint64_t attract_clock_seed() { return clock_seed(); }

void stop_attract()
{
    if (attract.on)
        kill_timer(attract.window, attract_timer);
    attract.on = false;
}

bool attract_on() { return attract.on; }

void attract_from_start(std::uint64_t seed)
{
    if (attract.window)
        return start_attract(attract.window, seed);
    attract.from_start = true;
    attract.start_seed = seed;
}

void attract_follow_music(bool heard) { attract.music = attract.on && heard; }

void attract_cue_level(float level)
{
    if (!attract.music)
        return;
    // Loud music cools the fire into a crackle its drops light up, and lets
    // the water's rings ring longer.
    const Range r = range_of(sim_mode.mode);
    const float along = sim_mode.mode == 1 ? level : 1 - level;
    attract.target = r.low + static_cast<std::int32_t>(static_cast<float>(r.high - r.low) * along);
    attract.speed = 2;
}

void attract_cue_palette()
{
    if (attract.music && attract.tick - attract.last_palette >= palette_gap)
        new_palette();
}

void attract_cue_rule()
{
    if (attract.music && attract.tick - attract.last_rule >= rule_gap)
        other_rule();
}

bool attract_message(WindowHandle main_window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t)
{
    attract.window = main_window;
    switch (message) {
    case wm_create:
        if (attract.from_start) {
            attract.from_start = false;
            start_attract(main_window, attract.start_seed);
        }
        return false;
    case wm_timer:
        if (wparam != attract_timer || !attract.on)
            return false;
        attract_tick();
        return true;
    case wm_destroy:
        attract = Attract{};
        return false;
    default: return false;
    }
}
