// Colour packing, the fade's asymmetric steps, and the three palettes'
// roles while the user chooses.
#include <gtest/gtest.h>

#include <vector>

#include "palette/palette.h"
#include "palette/palette_bank.h"
#include "sim/random.h"

namespace {

void fill_bank_palette(int palette, std::uint8_t grey)
{
    for (auto& e : palette_bank.entries[palette])
        e[0] = e[1] = e[2] = grey;
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
    fill_bank_palette(3, 0);
    fill_bank_palette(4, 255);
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
    fill_bank_palette(5, 0);
    palette_bank.entries[5][77][1] = 100;
    set_target_palette(5);
    EXPECT_TRUE(fade_step());
    EXPECT_EQ(displayed_palette[77], pack_colour(0, 13, 0));
    EXPECT_EQ(displayed_palette[78], 0u);
}
