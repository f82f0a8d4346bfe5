#include "platform/clock.h"

#include "platform/win32/handles.h"

bool query_performance_frequency(std::int64_t& ticks_per_second)
{
    LARGE_INTEGER f{};
    if (!QueryPerformanceFrequency(&f))
        return false;
    ticks_per_second = f.QuadPart;
    return true;
}

bool query_performance_counter(std::int64_t& now)
{
    LARGE_INTEGER c{};
    if (!QueryPerformanceCounter(&c))
        return false;
    now = c.QuadPart;
    return true;
}

std::uint32_t tick_count() { return GetTickCount(); }
void sleep_ms(std::uint32_t milliseconds) { Sleep(milliseconds); }

// Windows 10 (1803) and later have waitable timers that wake on time rather
// than on the next tick of the system timer (15.6 ms unless a program asks
// for less); on older systems there is no such timer, and the loop sleeps
// short and spins as it always has.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

bool sleep_until_counter(std::int64_t deadline)
{
    static const HANDLE timer =
        CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    static const std::int64_t frequency = [] {
        LARGE_INTEGER f{};
        return QueryPerformanceFrequency(&f) ? f.QuadPart : 0;
    }();
    if (timer == nullptr || frequency <= 0)
        return false;
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const std::int64_t left = deadline - now.QuadPart;
    if (left <= 0)
        return true;
    // Relative due times are negative, in units of 100 ns.
    LARGE_INTEGER due{};
    due.QuadPart = -(left / frequency * 10'000'000 + left % frequency * 10'000'000 / frequency);
    if (!SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE))
        return false;
    return WaitForSingleObject(timer, INFINITE) == WAIT_OBJECT_0;
}
