// Every colour set the palette slider offers: the built-in fire ramp, the
// stored set, and after each stored palette a smooth cyclic one generated
// from it.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int max_palettes = 100;
inline constexpr std::size_t palette_record_size = 256 * 3;

struct PaletteBank {
    std::uint8_t entries[max_palettes][256][3];  // red, green, blue
    std::int32_t count = 0;                      // palettes 0..count - 1 are valid
};

extern PaletteBank palette_bank;

// Builds the whole bank from the stored set the program carries and applies
// palette 0. Draws one random number per generated palette.
void build_palette_bank();

// Copies the stored records into the bank, each followed by a palette
// generated from it, up to 100 palettes. A missing set adds nothing.
void load_stored_palettes();

// The same from the bytes of a stored set: whole 768-byte records only.
void load_palette_records(const std::uint8_t* bytes, std::size_t size);

void generate_palette(std::int32_t src, std::int32_t dst);

// An entry whose squared colour distance from entry `start` reaches
// `threshold`, looking at the 250 entries after it; else the farthest seen.
std::int32_t find_distant_entry(std::int32_t palette, std::int32_t start, std::int32_t threshold);

// Writes `length` entries of `dst` from `offset` on, blending from entry
// `from` to entry `to` of `src`; the `to` colour itself is not reached.
void blend_entries(std::int32_t src, std::int32_t dst, std::int32_t from, std::int32_t to,
                   std::int32_t length, std::int32_t offset);
