// The three 256-entry palettes the picture and the sliders are drawn through,
// and the fade that carries the displayed palette towards the chosen one.
#pragma once

#include <array>
#include <cstdint>

// Entries are 0x00RRGGBB; a cell's colour is entry (cell >> 8).
using Palette = std::array<std::uint32_t, 256>;

extern Palette target_palette;     // what the displayed palette fades towards
extern Palette displayed_palette;  // every field pixel, the parameter slider's bar
extern Palette preview_palette;    // the palette slider's strip

std::uint32_t pack_colour(std::int32_t red, std::int32_t green, std::int32_t blue);

// One tick's move of a channel that is `difference` away from its target.
// Rises round up, falls round towards minus infinity, so neither overshoots.
std::int32_t fade_increment(std::int32_t difference);

// Bank palette `index` into all three palettes at once, without a fade.
void apply_palette(std::int32_t index);
void set_target_palette(std::int32_t index);
void set_preview_palette(std::int32_t index);

// Moves the displayed palette one step towards the target; true if any
// entry differed from its target when the call began.
bool fade_step();
