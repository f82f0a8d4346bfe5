// The SDL host's clocks: SDL's performance counter, its millisecond ticks and
// its sleep, which all work before and without a window.
#include "platform/clock.h"

#include <SDL.h>

#if defined(__linux__)
#include <sys/prctl.h>

#include <cerrno>
#include <ctime>
#endif

bool query_performance_frequency(std::int64_t& ticks_per_second)
{
    ticks_per_second = static_cast<std::int64_t>(SDL_GetPerformanceFrequency());
    return ticks_per_second > 0;
}

bool query_performance_counter(std::int64_t& now)
{
    now = static_cast<std::int64_t>(SDL_GetPerformanceCounter());
    return true;
}

// Truncating the 64-bit count gives the wrap at 2^32 that callers expect.
std::uint32_t tick_count() { return static_cast<std::uint32_t>(SDL_GetTicks64()); }

void sleep_ms(std::uint32_t milliseconds) { SDL_Delay(milliseconds); }

#if defined(__linux__)
// An absolute deadline on the monotonic clock wakes within tens of
// microseconds once the thread's timer slack (50 us by default, added to
// every sleep) is cut to the least. SDL's counter may run on the raw
// monotonic clock, which clock_nanosleep does not take; the two differ in
// rate by parts per million, nothing over one frame, so the time left is
// carried from one to the other.
bool sleep_until_counter(std::int64_t deadline)
{
    static const bool slack_cut = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
    (void)slack_cut;
    const std::int64_t left = deadline - static_cast<std::int64_t>(SDL_GetPerformanceCounter());
    if (left <= 0)
        return true;
    const std::int64_t frequency = static_cast<std::int64_t>(SDL_GetPerformanceFrequency());
    const std::int64_t ns = left / frequency * 1'000'000'000 + left % frequency * 1'000'000'000 / frequency;
    timespec at{};
    clock_gettime(CLOCK_MONOTONIC, &at);
    const std::int64_t end = at.tv_nsec + ns;
    at.tv_sec += static_cast<time_t>(end / 1'000'000'000);
    at.tv_nsec = static_cast<long>(end % 1'000'000'000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
    return true;
}
#else
bool sleep_until_counter(std::int64_t) { return false; }
#endif
