// Clocks, as the Windows kernel offers them.
#pragma once

#include <cstdint>

// Milliseconds since an arbitrary start, wrapping at 2^32.
std::uint32_t tick_count();
