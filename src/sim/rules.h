// The two cellular rules. Each step reads the present buffer, writes every
// interior cell of the other one, flips `current`, and writes the colour of
// each new cell straight into the caller's 640 x 480 picture in the same pass.
#pragma once

#include <cstdint>

#include "sim/cell_field.h"

// Diffusion rule: weighted average of a cell and its four direct neighbours
// plus the parameter; negative sums spark on ticks 22 and 23 of every 24.
void step_diffusion(const SimMode& mode, std::uint32_t* pixels, std::int32_t pitch);

// Wave rule: a damped wave around the rest level 32767.
void step_wave(const SimMode& mode, std::uint32_t* pixels, std::int32_t pitch);

// One step of the rule `mode.mode` selects; any other mode does nothing.
void step_field(const SimMode& mode, std::uint32_t* pixels, std::int32_t pitch);

// The wave rule's retention e (velocity is scaled by e / 256 each step).
std::int32_t wave_retention(std::int32_t parameter);

// True on the two ticks of every 24 on which the diffusion rule sparks.
bool is_spark_tick(std::int32_t frame_count);

inline constexpr std::int32_t wave_rest_level = 0x7FFF;
