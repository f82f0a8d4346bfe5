// The palette bank and the fade (fuzz_palettes reads any set of palettes).
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "palette/palette.h"
#include "palette/palette_bank.h"
#include "platform/resources.h"
#include "sim/random.h"

namespace {

using Rgb = std::array<int, 3>;

Rgb entry(int palette, int i)
{
    const std::uint8_t* e = palette_bank.entries[palette][i];
    return {e[0], e[1], e[2]};
}

void fill_palette(int palette, Rgb colour)
{
    for (auto& e : palette_bank.entries[palette])
        for (int c = 0; c < 3; ++c)
            e[c] = static_cast<std::uint8_t>(colour[c]);
}

// The red channel of `entry` of the displayed palette after each tick until the fade stops.
std::vector<int> fade_reds(int entry)
{
    std::vector<int> reds;
    while (fade_step() && reds.size() < 40)
        reds.push_back(static_cast<int>(displayed_palette[entry] >> 16 & 0xFF));
    return reds;
}

}  // namespace

TEST(PaletteBank, BuiltInRampThenTheCarriedSetWithAGeneratedPaletteAfterEachRecord)
{
    seed_random(1);
    build_palette_bank();
    const std::pair<int, Rgb> ramp[] = {{0, {0, 0, 0}},     {63, {252, 0, 0}},    {64, {255, 0, 0}},
                                        {127, {255, 252, 0}}, {128, {255, 255, 0}}, {255, {255, 255, 254}}};
    for (const auto& [i, colour] : ramp)
        EXPECT_EQ(entry(0, i), colour) << i;
    // The build ends with palette 0 in all three palettes.
    EXPECT_EQ(displayed_palette[255], 0x00FFFFFEu);
    EXPECT_EQ(target_palette, displayed_palette);
    EXPECT_EQ(preview_palette, displayed_palette);
    // The carried set, read as fuzz_palettes checks any set is.
    const ResourceBytes stored = load_resource("MYCMAP", 124);
    ASSERT_EQ(stored.size, 50 * palette_record_size);
    EXPECT_EQ(palette_bank.count, 100);
    for (int k = 0; k < 50; ++k)
        ASSERT_EQ(0, std::memcmp(palette_bank.entries[2 * k + 1], stored.data + k * palette_record_size,
                                 palette_record_size)) << "record " << k + 1;
}

TEST(PaletteBank, DistantEntrySearchBlendsAndAGeneratedPalette)
{
    seed_random(1);
    build_palette_bank();
    // The first entry from `start` (wrapping) to reach the threshold; else the farthest, the first of equals.
    for (const auto& [start, threshold, found] : {std::tuple{0, 60000, 62}, {128, 60000, 251}, {200, 60000, 0},
                                                  {0, 1, 1}, {0, 1 << 30, 250}})
        EXPECT_EQ(find_distant_entry(0, start, threshold), found) << start << ", " << threshold;
    fill_palette(7, {10, 20, 30});
    for (int start = 0; start < 256; ++start)
        ASSERT_EQ(find_distant_entry(7, start, 60000), 0) << start;
    // The five entries before the start are never looked at.
    fill_palette(7, {0, 0, 0});
    palette_bank.entries[7][5][0] = 255;
    EXPECT_EQ(find_distant_entry(7, 10, 60000), 0);
    EXPECT_EQ(find_distant_entry(7, 11, 60000), 5);
    fill_palette(9, {0, 0, 0});
    palette_bank.entries[9][1][0] = 255;
    blend_entries(9, 10, 0, 1, 64, 0);
    for (int k = 0; k < 64; ++k)  // 0, 3, 7, ... 127 at 32, ... 251 at 63
        ASSERT_EQ(entry(10, k)[0], 255 * k / 64) << k;
    seed_random(1);  // first draw 41
    generate_palette(0, 11);
    const std::pair<int, Rgb> generated[] = {
        {0, {164, 0, 0}},       {1, {165, 3, 0}},       {63, {253, 224, 0}}, {64, {255, 228, 0}},
        {128, {255, 255, 244}}, {191, {255, 228, 3}}, {192, {255, 228, 0}}, {255, {165, 3, 0}}};
    for (const auto& [i, colour] : generated)
        EXPECT_EQ(entry(11, i), colour) << i;
}

TEST(Fade, PackingAndTheIncrementThatRisesRoundingUpAndFallsRoundingDown)
{
    EXPECT_EQ(pack_colour(255, 128, 1), 0x00FF8001u);
    EXPECT_EQ(pack_colour(-1, 0x100, 0x2AB), 0x00FF00ABu) << "the low eight bits of each channel";
    const std::pair<int, int> table[] = {{0, 0},   {1, 1},   {8, 1},   {9, 2},   {16, 2},   {249, 32}, {255, 32},
                                         {-1, -1}, {-2, -2}, {-8, -2}, {-9, -2}, {-10, -3}, {-17, -3}, {-250, -33},
                                         {-255, -33}};
    for (const auto& [difference, increment] : table)
        EXPECT_EQ(fade_increment(difference), increment) << difference;
}

TEST(Fade, DisplayedPaletteFollowsTheTargetTickByTick)
{
    seed_random(1);
    build_palette_bank();
    fill_palette(3, {0, 0, 0});
    fill_palette(4, {255, 255, 255});
    apply_palette(3);
    EXPECT_FALSE(fade_step()) << "nothing to do right after apply_palette";
    EXPECT_EQ(displayed_palette[17], 0u);
    // A preview changes neither the target nor the picture.
    set_preview_palette(4);
    EXPECT_EQ(preview_palette[9], 0xFFFFFFu);
    EXPECT_FALSE(fade_step());
    EXPECT_EQ(displayed_palette[9], 0u);
    // A rise of 255 takes 31 ticks, a fall of 255 takes 24; fade_step says true on each of them.
    set_target_palette(4);
    const std::vector<int> rise = fade_reds(200);
    ASSERT_EQ(rise.size(), 31u);
    EXPECT_EQ((std::vector<int>{rise.begin(), rise.begin() + 4}), (std::vector<int>{32, 60, 85, 107}));
    EXPECT_EQ(displayed_palette, target_palette);
    set_target_palette(3);
    const std::vector<int> fall = fade_reds(0);
    ASSERT_EQ(fall.size(), 24u);
    EXPECT_EQ((std::vector<int>{fall.begin(), fall.begin() + 4}), (std::vector<int>{222, 193, 168, 146}));
    EXPECT_EQ(fall.back(), 0);
    set_target_palette(3);
    EXPECT_FALSE(fade_step()) << "targeting the palette already shown";
    // Each entry and channel moves on its own.
    fill_palette(5, {0, 0, 0});
    palette_bank.entries[5][77][1] = 100;
    set_target_palette(5);
    EXPECT_TRUE(fade_step());
    EXPECT_EQ(displayed_palette[77], pack_colour(0, 13, 0));
    EXPECT_EQ(displayed_palette[78], 0u);
}
