// Window timers on the platform clock. A due timer yields one message and is
// re-armed a full period after the moment it was taken, so a late queue gets
// one message rather than a burst of them.
#include <algorithm>

#include "platform/clock.h"
#include "platform/portable/window_system.h"

namespace {

// Below this the native system raises the delay too.
constexpr std::uint32_t minimum_ms = 10;

struct ClockReading {
    std::int64_t now = 0;
    std::int64_t ticks_per_second = 1000;
};

ClockReading read_clock()
{
    ClockReading reading;
    if (query_performance_frequency(reading.ticks_per_second) && reading.ticks_per_second > 0 &&
        query_performance_counter(reading.now))
        return reading;
    // The millisecond count wraps at 2^32; unwrap it so that due times keep
    // comparing correctly.
    static std::uint32_t last = tick_count();
    static std::int64_t unwrapped = last;
    const std::uint32_t ms = tick_count();
    unwrapped += static_cast<std::uint32_t>(ms - last);
    last = ms;
    return {unwrapped, 1000};
}

}  // namespace

bool set_timer(WindowHandle handle, std::uintptr_t id, std::uint32_t milliseconds)
{
    Window* window = live_window(handle);
    if (!window || window->destroying)
        return false;
    const ClockReading clock = read_clock();
    const std::int64_t period = std::int64_t{std::max(milliseconds, minimum_ms)} * clock.ticks_per_second / 1000;
    auto& timers = window_system().timers;
    auto it = std::find_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
    if (it == timers.end())
        it = timers.insert(timers.end(), Timer{window, id});
    it->period = period;
    it->due = clock.now + period;
    return true;
}

bool kill_timer(WindowHandle window, std::uintptr_t id)
{
    const auto removed = std::erase_if(window_system().timers,
                                       [&](const Timer& t) { return t.window == window && t.id == id; });
    return removed > 0;
}

void forget_window_timers(const Window* window)
{
    std::erase_if(window_system().timers, [&](const Timer& t) { return t.window == window; });
}

bool take_due_timer(Message& message)
{
    auto& timers = window_system().timers;
    if (timers.empty())
        return false;
    const ClockReading clock = read_clock();
    for (Timer& t : timers) {
        if (t.due > clock.now)
            continue;
        t.due = clock.now + t.period;
        message = {t.window, wm_timer, t.id, 0};
        return true;
    }
    return false;
}
