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
