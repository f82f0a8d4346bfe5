#include "sim/random.h"

namespace {
std::uint32_t state = 1;
}

std::int32_t next_random()
{
    state = state * 214013u + 2531011u;
    return static_cast<std::int32_t>((state >> 16) & 0x7FFFu);
}

void seed_random(std::uint32_t seed) { state = seed; }

std::uint32_t random_state() { return state; }
