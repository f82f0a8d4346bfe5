// Driving the headless host's virtual clock.
#pragma once

#include <cstdint>

void advance_virtual_clock(std::int64_t microseconds);
std::int64_t virtual_clock_now();  // microseconds since start
