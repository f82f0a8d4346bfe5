// The one process-wide pseudo-random source. Its state starts at 1, so
// everything drawn before start-up seeds it (the generated palettes) is the
// same on every run.
#pragma once

#include <cstdint>

// Next 15-bit result, 0..32767.
std::int32_t next_random();

void seed_random(std::uint32_t state);
std::uint32_t random_state();
