// The stored palette set's reader on arbitrary bytes, into a bank holding the built-in palette alone: every
// whole record is copied as it is, each followed by a cyclic blend of three of its own colours made with one
// random draw, and nothing else in the bank changes.
#include <algorithm>

#include "fuzz_support.h"
#include "palette/palette_bank.h"
#include "platform/resources.h"
#include "sim/random.h"

// The bank is loaded from the input, never from the carried set.
ResourceBytes load_resource(const char*, int) { return {}; }
void free_resource(ResourceBytes) {}

namespace {

using Colour = std::uint8_t[3];

// A bank no reader would write: every byte is a function of its place.
const PaletteBank& pristine()
{
    static const PaletteBank bank = [] {
        PaletteBank b;
        for (int p = 0; p < max_palettes; ++p)
            for (int i = 0; i < 256; ++i)
                for (int c = 0; c < 3; ++c) b.entries[p][i][c] = static_cast<std::uint8_t>((p * 7 + i * 3 + c) ^ 0x5A);
        b.count = 1;
        return b;
    }();
    return bank;
}

// Palette p onwards, as bytes.
const std::uint8_t* from_palette(const PaletteBank& bank, std::int32_t p)
{
    return reinterpret_cast<const std::uint8_t*>(bank.entries) + static_cast<std::size_t>(p) * palette_record_size;
}

bool is_entry_of(const Colour& colour, const std::uint8_t (&palette)[256][3])
{
    return std::any_of(palette, palette + 256, [&](const Colour& e) { return std::equal(e, e + 3, colour); });
}

// Every channel of a run of 64 entries lies between its first colour and the next run's, colours of the source.
void check_generated(const std::uint8_t (&made)[256][3], const std::uint8_t (&source)[256][3], std::uint32_t draw)
{
    FUZZ_CHECK(std::equal(made[0], made[0] + 3, source[draw % 256]));
    FUZZ_CHECK(std::equal(made[64], made[64] + 3, made[192]));
    FUZZ_CHECK(is_entry_of(made[64], source) && is_entry_of(made[128], source));
    for (int run = 0; run < 4; ++run) {
        const Colour& from = made[64 * run];
        const Colour& to = made[(64 * run + 64) % 256];
        for (int k = 0; k < 64; ++k)
            for (int c = 0; c < 3; ++c) {
                const std::uint8_t v = made[64 * run + k][c];
                FUZZ_CHECK(v >= std::min(from[c], to[c]) && v <= std::max(from[c], to[c]));
            }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const PaletteBank& before = pristine();
    palette_bank = before;
    load_palette_records(nullptr, size);
    FUZZ_CHECK(palette_bank.count == 1);
    constexpr std::uint32_t seed = 1;
    seed_random(seed);
    const auto input = exact_copy(data, size);
    load_palette_records(input.get(), size);
    const std::size_t records = size / palette_record_size;
    const std::int32_t count = static_cast<std::int32_t>(std::min<std::size_t>(max_palettes, 1 + 2 * records));
    FUZZ_CHECK(palette_bank.count == count);
    FUZZ_CHECK(std::equal(from_palette(before, 0), from_palette(before, 1), from_palette(palette_bank, 0)));
    FUZZ_CHECK(std::equal(from_palette(before, count), from_palette(before, max_palettes),
                          from_palette(palette_bank, count)));
    std::uint32_t state = seed;
    for (std::int32_t p = 1; p < count; p += 2) {
        const std::uint8_t* record = data + static_cast<std::size_t>(p / 2) * palette_record_size;
        FUZZ_CHECK(std::equal(record, record + palette_record_size, from_palette(palette_bank, p)));
        if (p + 1 < count) {
            state = state * 214013u + 2531011u;
            check_generated(palette_bank.entries[p + 1], palette_bank.entries[p], state >> 16 & 0x7FFF);
        }
    }
    FUZZ_CHECK(random_state() == state);
    return 0;
}
