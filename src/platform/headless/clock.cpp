// The headless host's clock is virtual: it moves only when the program
// sleeps or a driver advances it, so runs are deterministic and never wait.
// The millisecond count starts from the real clock, so that seeds taken from
// it still differ from run to run.
#include "platform/clock.h"

#include <algorithm>
#include <chrono>

#include "platform/headless/virtual_clock.h"

namespace {

constexpr std::int64_t frequency = 1'000'000;  // microseconds
std::int64_t now_us = 0;
std::int64_t read_cost_us = 0;
bool counter_available = true;
bool precise_sleep = false;

std::uint32_t start_ms()
{
    static const auto start = static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                             std::chrono::steady_clock::now().time_since_epoch())
                                                             .count());
    return start;
}

}  // namespace

bool query_performance_frequency(std::int64_t& ticks_per_second)
{
    ticks_per_second = counter_available ? frequency : 0;
    return counter_available;
}

bool query_performance_counter(std::int64_t& now)
{
    if (!counter_available)
        return false;
    now = now_us;
    now_us += read_cost_us;
    return true;
}

std::uint32_t tick_count()
{
    const std::uint32_t ms = start_ms() + static_cast<std::uint32_t>(now_us / 1000);
    now_us += read_cost_us;
    return ms;
}

void sleep_ms(std::uint32_t milliseconds) { advance_virtual_clock(std::int64_t{milliseconds} * 1000); }

// Unless a test asks for it, the virtual clock keeps the short sleep and the
// spin, so that runs are exactly what they have always been.
bool sleep_until_counter(std::int64_t deadline)
{
    if (!precise_sleep || !counter_available)
        return false;
    now_us = std::max(now_us, deadline);
    return true;
}

void set_precise_sleep(bool available) { precise_sleep = available; }

void advance_virtual_clock(std::int64_t microseconds) { now_us += microseconds; }

std::int64_t virtual_clock_now() { return now_us; }

void set_clock_read_cost(std::int64_t microseconds) { read_cost_us = microseconds; }

void set_performance_counter_available(bool available) { counter_available = available; }
