// Colour packing, the fade's asymmetric steps, and the three palettes'
// roles while the user chooses.
#include <gtest/gtest.h>

#include <vector>

#include "palette/palette.h"
#include "palette/palette_bank.h"
#include "sim/random.h"

namespace {

void fill_bank_palette(int palette, int red, int green, int blue)
{
    for (auto& e : palette_bank.entries[palette]) {
        e[0] = static_cast<std::uint8_t>(red);
        e[1] = static_cast<std::uint8_t>(green);
        e[2] = static_cast<std::uint8_t>(blue);
    }
}

int red_of(std::uint32_t colour) { return static_cast<int>(colour >> 16 & 0xFF); }

}  // namespace

TEST(Fade, PackingKeepsTheLowEightBitsOfEachChannel)
{
    EXPECT_EQ(pack_colour(255, 128, 1), 0x00FF8001u);
    EXPECT_EQ(pack_colour(0x1FF, 0, 0), 0x00FF0000u);
    EXPECT_EQ(pack_colour(-1, 0x100, 0x2AB), 0x00FF00ABu);
}

TEST(Fade, IncrementRisesRoundingUpAndFallsRoundingDown)
{
    const std::pair<int, int> table[] = {{0, 0},   {1, 1},   {8, 1},   {9, 2},   {16, 2},   {249, 32}, {255, 32},
                                         {-1, -1}, {-2, -2}, {-8, -2}, {-9, -2}, {-10, -3}, {-17, -3}, {-250, -33},
                                         {-255, -33}};
    for (const auto& [difference, increment] : table)
        EXPECT_EQ(fade_increment(difference), increment) << difference;

    // From any channel value to any other: never past the target, always there
    // within 31 ticks.
    for (int from = 0; from < 256; ++from)
        for (int to = 0; to < 256; ++to) {
            int v = from;
            int ticks = 0;
            while (v != to && ticks < 40) {
                const int next = v + fade_increment(to - v);
                ASSERT_TRUE(from <= to ? next <= to && next > v : next >= to && next < v) << from << "->" << to;
                v = next;
                ++ticks;
            }
            ASSERT_LE(ticks, 31) << from << "->" << to;
        }
}

TEST(Fade, DisplayedPaletteFollowsTheTargetTickByTick)
{
    seed_random(1);
    build_palette_bank();
    fill_bank_palette(3, 0, 0, 0);
    fill_bank_palette(4, 255, 255, 255);
    apply_palette(3);
    EXPECT_FALSE(fade_step()) << "nothing to do right after apply_palette";
    EXPECT_EQ(displayed_palette[17], 0u);

    // A preview changes neither the target nor the picture.
    set_preview_palette(4);
    EXPECT_EQ(preview_palette[9], 0xFFFFFFu);
    EXPECT_FALSE(fade_step());
    EXPECT_EQ(displayed_palette[9], 0u);

    // A rise of 255 takes 31 ticks; fade_step says true on each of them.
    set_target_palette(4);
    std::vector<int> reds;
    while (fade_step() && reds.size() < 40)
        reds.push_back(red_of(displayed_palette[200]));
    ASSERT_EQ(reds.size(), 31u);
    EXPECT_EQ((std::vector<int>{reds.begin(), reds.begin() + 4}), (std::vector<int>{32, 60, 85, 107}));
    EXPECT_EQ(displayed_palette, target_palette);
    EXPECT_FALSE(fade_step());

    // A fall of 255 takes 24.
    set_target_palette(3);
    reds.clear();
    while (fade_step() && reds.size() < 40)
        reds.push_back(red_of(displayed_palette[0]));
    ASSERT_EQ(reds.size(), 24u);
    EXPECT_EQ((std::vector<int>{reds.begin(), reds.begin() + 4}), (std::vector<int>{222, 193, 168, 146}));
    EXPECT_EQ(reds.back(), 0);
    set_target_palette(3);
    EXPECT_FALSE(fade_step()) << "targeting the palette already shown";

    // Each entry and channel moves on its own.
    fill_bank_palette(5, 0, 0, 0);
    palette_bank.entries[5][77][1] = 100;
    set_target_palette(5);
    EXPECT_TRUE(fade_step());
    EXPECT_EQ(displayed_palette[77], pack_colour(0, 13, 0));
    EXPECT_EQ(displayed_palette[78], 0u);
}
