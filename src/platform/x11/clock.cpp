// The X11 host's clocks: the monotonic clock in nanoseconds, and sleeps
// that a signal cuts short, so that SIGTERM is seen at once.
#include "platform/clock.h"

#include <sys/prctl.h>
#include <time.h>

namespace {

std::int64_t now_ns()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

}  // namespace

bool query_performance_frequency(std::int64_t& ticks_per_second)
{
    ticks_per_second = 1'000'000'000;
    return true;
}

bool query_performance_counter(std::int64_t& now)
{
    now = now_ns();
    return true;
}

// Truncating the 64-bit count gives the wrap at 2^32 that callers expect.
std::uint32_t tick_count() { return static_cast<std::uint32_t>(now_ns() / 1'000'000); }

void sleep_ms(std::uint32_t milliseconds)
{
    const timespec t{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1'000'000};
    nanosleep(&t, nullptr);
}

// The counter is the monotonic clock itself, so its deadline is one for
// clock_nanosleep, which wakes within tens of microseconds of it once the
// thread's timer slack (50 us by default, added to every sleep) is cut to
// the least. Woken early by a signal, the main loop looks at its messages,
// where the host sees the signal, and comes back for the rest.
bool sleep_until_counter(std::int64_t deadline)
{
    static const bool slack_cut = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
    (void)slack_cut;
    const timespec at{static_cast<time_t>(deadline / 1'000'000'000), static_cast<long>(deadline % 1'000'000'000)};
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
    return true;
}
