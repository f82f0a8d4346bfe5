// Driving the headless host's virtual clock.
#pragma once

#include <cstdint>

void advance_virtual_clock(std::int64_t microseconds);
std::int64_t virtual_clock_now();  // microseconds since start

// How far each reading of the counter moves the clock. 0 (the default) keeps
// time still until something sleeps or a driver advances it; a whole program
// needs a little, since its main loop spins out the last moments before a
// frame by reading the clock.
void set_clock_read_cost(std::int64_t microseconds);

// Without the high-resolution counter, as on machines that lack one: the
// program then runs on the millisecond count.
void set_performance_counter_available(bool available);

// As on a system whose sleep wakes on time: sleep_until_counter moves the
// clock to the deadline. Off (the default), it declines, and the main loop
// sleeps short and spins as the described loop does.
void set_precise_sleep(bool available);
