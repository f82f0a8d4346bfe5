// The web host's clocks: the page's high-resolution clock (performance.now(),
// milliseconds as a double, fine to microseconds or coarser as the browser
// chooses) counted in microseconds. A page cannot sleep: the main loop runs
// one pass per animation frame instead, and sleep_ms returns at once.
#include "platform/clock.h"

#include <emscripten.h>

namespace {

constexpr std::int64_t frequency = 1'000'000;  // microseconds

}  // namespace

bool query_performance_frequency(std::int64_t& ticks_per_second)
{
    ticks_per_second = frequency;
    return true;
}

bool query_performance_counter(std::int64_t& now)
{
    now = static_cast<std::int64_t>(emscripten_get_now() * 1000.0);
    return true;
}

// Truncating the count gives the wrap at 2^32 that callers expect.
std::uint32_t tick_count() { return static_cast<std::uint32_t>(static_cast<std::int64_t>(emscripten_get_now())); }

void sleep_ms(std::uint32_t) {}
bool sleep_until_counter(std::int64_t) { return false; }
