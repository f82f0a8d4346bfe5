// Clocks and sleep, as the Windows kernel offers them.
#pragma once

#include <cstdint>

// False when there is no high-resolution counter.
bool query_performance_frequency(std::int64_t& ticks_per_second);
bool query_performance_counter(std::int64_t& now);
// Milliseconds since an arbitrary start, wrapping at 2^32.
std::uint32_t tick_count();
void sleep_ms(std::uint32_t milliseconds);
// Sleeps until the performance counter reads `deadline` (at once when it has
// passed). False, without sleeping, where the system's sleep is not precise
// enough to wake within a fraction of a millisecond of it: there the main
// loop sleeps short and spins out the rest.
bool sleep_until_counter(std::int64_t deadline);
