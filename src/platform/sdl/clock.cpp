// The SDL host's clocks: SDL's performance counter, its millisecond ticks and
// its sleep, which all work before and without a window.
#include "platform/clock.h"

#include <SDL.h>

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
