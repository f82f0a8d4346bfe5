// The field and its two rules, cell by cell; the palette bank and the fade (fuzz_palettes reads any set).
#include <array>
#include <climits>
#include <cstring>
#include <vector>

#include "palette/palette_bank.h"
#include "platform/resources.h"
#include "sim/drop.h"
#include "sim/frozen.h"
#include "sim/rules.h"
#include "test_support.h"

TEST_F(FieldTest, StartPatternRuleSwitchRandomSourceAndTicks)
{
    velocity_at(5, 5) = 77;
    cell_field.frame_count = 9;
    sim_mode.parameter = 300;
    cell_field.current = 1;
    reset_field();
    EXPECT_EQ(cell_field.current, 0);
    for (const auto& [row, column, value] : {std::tuple{1, 1, 1}, {255, 257, 65535}, {256, 256, 0}, {480, 640, 45056}})
        EXPECT_EQ(cell(row, column), value) << row << "," << column;
    EXPECT_EQ(cell_field.buffers[0], cell_field.buffers[1]);
    EXPECT_TRUE(borders_zero(cell_field.buffers[0]));
    EXPECT_TRUE(velocity_at(5, 5) == 77 && cell_field.frame_count == 9 && sim_mode.parameter == 300)
        << "only the cells are reset";
    // Switching rules, to the active one too, clears the velocity and nothing else.
    for (std::int32_t mode : {0, 1, 1}) {
        cell_field.velocity.fill(5);
        const auto before = snapshot();
        before->velocity.fill(0);
        set_mode(mode);
        EXPECT_EQ(sim_mode.mode, mode);
        EXPECT_EQ(sim_mode.parameter, 300);
        EXPECT_TRUE(same_field(cell_field, *before)) << mode;
    }
    EXPECT_EQ((std::array{next_random(), next_random(), next_random()}), (std::array{41, 18467, 6334}));
    cell_field.frame_count = INT32_MAX;
    count_tick();
    EXPECT_EQ(cell_field.frame_count, INT32_MIN) << "the tick counter wraps";
}

// Each drop lands on a field of zeros, or of `before` at its centre.
TEST_F(FieldTest, DropBrushRaisesTheOpenDiscInsideTheInteriorOnly)
{
    struct Case {
        std::int32_t row, column, radius, before;
        int changed;
        std::vector<Probe> probes;
    };
    const Case cases[] = {
        // 80000 capped at the centre; q = 36 and 25 further out; the rim stays 0.
        {200, 300, 10, 0, 305, {{200, 300, 65535}, {200, 306, 800 * 64}, {203, 304, 800 * 75}, {200, 310, 0},
                                {200, 290, 0}, {210, 300, 0}, {190, 300, 0}, {206, 308, 0}, {194, 308, 0},
                                {208, 294, 0}, {192, 294, 0}}},
        {100, 100, 1, 65000, 1, {{100, 100, 65535}, {100, 101, 0}}},  // radius 1 adds 800 at its centre only
        {200, 200, 1, 64735, 1, {{200, 200, 65535}}},                 // exactly 65535
        {0, 0, 10, 0, 67, {{1, 9, 800 * 18}}},  // the quarter disc in rows and columns 1 and up
        {481, 641, 20, 0, 292, {}},
        // Nothing outside the interior, nothing from radii out of 1..20.
        {INT_MIN, INT_MAX, 10, 0, 0, {}}, {INT_MAX, INT_MIN, 20, 0, 0, {}}, {240, 320, 0, 0, 0, {}},
        {240, 320, 21, 0, 0, {}}, {240, 320, -1, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << "," << c.column << " r " << c.radius);
        SetUp();
        if (c.before != 0)
            cell(c.row, c.column) = c.before;
        const auto before = snapshot();
        stamp_drop(c.row, c.column, c.radius);
        int changed = 0;
        for (int i = 0; i < grid_cells; ++i)
            changed += before->buffers[0][i] != cell_field.buffers[0][i];
        EXPECT_EQ(changed, c.changed);
        for (const Probe& p : c.probes)
            EXPECT_EQ(cell(p.row, p.column), p.value) << p.row << "," << p.column;
        EXPECT_TRUE(borders_zero(cell_field.buffers[0]));
        before->buffers[0] = cell_field.buffers[0];
        EXPECT_TRUE(same_field(cell_field, *before)) << "only the present buffer changes";
    }
}

TEST_F(FieldTest, FrozenFrameWritesOnlyTheRectangleAskedFor)
{
    reset_field();  // cell (row, column) holds row * column, cut to 16 bits
    const std::vector<std::uint32_t> untouched(picture);
    draw_frozen(picture.data(), pitch, 0, field_height);
    draw_frozen(picture.data(), pitch, field_width, 0);
    EXPECT_EQ(picture, untouched);
    draw_frozen(picture.data(), pitch, 3, 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(pixel(x, y), x < 3 && y < 2 ? displayed_palette[((x + 1) * (y + 1)) >> 8] : 0xDEADBEEF)
                << x << "," << y;
    // Oversized requests stop at the field's edge; inside it every cell's high byte picks the colour.
    std::vector<std::uint32_t> wide(700 * 500, 0xDEADBEEF);
    draw_frozen(wide.data(), 700 * 4, 700, 500);
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 700; ++x)
            ASSERT_EQ(wide[y * 700 + x], x < field_width && y < field_height
                                             ? displayed_palette[((x + 1) * (y + 1) & 0xFFFF) >> 8] : 0xDEADBEEF)
                << x << "," << y;
}

// One step of step_field in mode 0 from a uniform interior, perhaps one cell set: each probed cell, and two
// draws of the random source for each sparking cell. That a step paints its cells as a frozen frame would is
// tested below, for both rules.
TEST_F(FieldTest, DiffusionWorkedCases)
{
    struct Case {
        const char* what;
        std::int32_t fill;
        Probe set;  // row 0: none
        std::int32_t parameter, tick;
        std::vector<Probe> probes;
        int changed;  // interior cells no longer at `fill`; -1: not counted
        int sparks;   // all of them: each cell is checked against the draws
    };
    const int all = field_width * field_height;
    const Case cases[] = {
        {"weights 2 vertically and 1 sideways, diagonals 0", 0, {200, 300, 8000}, 0, 0,
         {{200, 300, 2000}, {199, 300, 2000}, {201, 300, 2000}, {200, 299, 1000}, {200, 301, 1000}}, 5, 0},
        {"a uniform field darkens only at the border", 40000, {}, 0, 0,
         {{240, 320, 40000}, {1, 300, 30000}, {300, 1, 35000}, {480, 640, 25000}}, 2 * 640 + 2 * 478, 0},
        {"wraps through the mask", 65535, {}, 2000, 0, {{240, 320, 249}}, -1, 0},  // (526280 >> 3) & 0xFFFF
        {"negative sums are 0 off the spark ticks", 0, {}, -2000, 21, {{240, 320, 0}}, 0, 0},
        // Two draws per cell, in row-major order, the first in the low bits.
        {"negative sums spark on the spark ticks", 0, {}, -2000, 22, {}, -1, all},
        {"a sum of -1 shifts to -1 and sparks", 0, {}, -1, 23, {}, -1, all},
        // The cell and the ones above and below it sum to exactly 0.
        {"only strictly negative sums spark", 0, {100, 100, 4}, -8, 22,
         {{100, 100, 0}, {99, 100, 0}, {101, 100, 0}}, -1, all - 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        fill_interior(c.fill);
        if (c.set.row != 0)
            cell(c.set.row, c.set.column) = c.set.value;
        sim_mode.parameter = c.parameter;
        cell_field.frame_count = c.tick;
        step_field(sim_mode, picture.data(), pitch);
        const std::uint32_t random_after = random_state();
        seed_random(1);  // the draws the sparks should have made, again
        EXPECT_EQ(cell_field.current, 1);
        EXPECT_TRUE(borders_zero(cell_field.buffers[1]));
        for (const Probe& p : c.probes)
            EXPECT_EQ(cell(p.row, p.column), p.value) << p.row << "," << p.column;
        int changed = 0;
        for (int y = 1; y <= field_height; ++y)
            for (int x = 1; x <= field_width; ++x) {
                changed += cell(y, x) != c.fill;
                if (c.sparks == all) {
                    const std::int32_t r1 = next_random();
                    ASSERT_EQ(cell(y, x), (r1 | (next_random() << 15)) & 0xFFFF) << y << "," << x;
                }
            }
        EXPECT_TRUE(c.changed < 0 || changed == c.changed) << changed << " changed";
        for (int i = 0; c.sparks != all && i < 2 * c.sparks; ++i)
            next_random();
        EXPECT_EQ(random_after, random_state());
    }
}

TEST(SparkTicks, AreTicks22And23OfEvery24CountingFromZero)
{
    for (std::int32_t t = -48; t < 48; ++t)
        EXPECT_EQ(is_spark_tick(t), t >= 0 && t % 24 >= 22) << t;
    for (std::int32_t t : {INT_MIN, INT_MIN + 22, INT_MAX})
        EXPECT_FALSE(is_spark_tick(t)) << t;
}

TEST_F(FieldTest, BothRulesPaintTheirNewCellsThroughAnyPitch)
{
    for (std::int32_t mode : {0, 1}) {
        SCOPED_TRACE(mode);
        sim_mode.mode = mode;
        const auto step = [](std::uint32_t* pixels, std::int32_t p) {
            reset_field();
            cell_field.velocity.fill(0);
            step_field(sim_mode, pixels, p);
        };
        step(picture.data(), pitch);
        // A frozen frame right after a step repeats its pixels and changes nothing.
        const auto stepped = snapshot();
        std::vector<std::uint32_t> frozen(picture.size());
        draw_frozen(frozen.data(), pitch, field_width, field_height);
        EXPECT_EQ(picture, frozen);
        EXPECT_TRUE(same_field(cell_field, *stepped));
        // Bottom-up rows through a negative pitch give the same picture flipped.
        std::vector<std::uint32_t> flipped(picture.size());
        step(flipped.data() + (field_height - 1) * field_width, -pitch);
        for (int y = 0; y < field_height; ++y)
            ASSERT_EQ(0, std::memcmp(&flipped[(field_height - 1 - y) * field_width], &picture[y * field_width],
                                     field_width * 4)) << "row " << y;
        // Pitch 0 folds every row onto one, which ends with the last row's colours.
        std::vector<std::uint32_t> one_row(field_width);
        step(one_row.data(), 0);
        EXPECT_EQ(0, std::memcmp(one_row.data(), &picture[(field_height - 1) * field_width], field_width * 4));
        step_field(sim_mode, one_row.data(), 0);
        EXPECT_EQ(cell_field.current, 0) << "two steps flip the buffers back";
    }
}

TEST(WaveRetention, FollowsTheParameterInTruncatedSteps)
{
    // The damping in integers: 234 at -2000, 250 at 0, 265 at 2000, a band of 256 (658..907) twice as wide.
    for (std::int32_t p = -2000; p <= 2000; ++p)
        ASSERT_EQ(wave_retention(p), 256 - (3130 - 4 * p) / 500) << p;
}

// One step of step_field in mode 1 from a uniform interior, the cell at 240,320 and its velocity set: that
// cell, its eight neighbours, and every other cell away from the edge, as {velocity, cell}.
TEST_F(FieldTest, WaveWorkedCases)
{
    using Outcome = std::pair<std::int32_t, std::int32_t>;
    struct Case {
        const char* what;
        std::int32_t fill, centre, centre_velocity, parameter;
        Outcome at_centre, neighbours, elsewhere;
    };
    const Case cases[] = {
        {"rest level", 32767, 32767, 0, 2000, {0, 32767}, {0, 32767}, {0, 32767}},
        {"an empty field rises towards rest", 0, 0, 0, 0, {127, 127}, {127, 127}, {127, 127}},
        // -136000 >> 8 rounds down to -532.
        {"a raised cell pulls back and pushes its neighbours", 32767, 40767, 0, 0, {-532, 40235}, {62, 32829},
         {0, 32767}},
        // In a uniform region w = (250 * velocity - h + 32767) >> 8.
        {"clamped far above the top", 65000, 65000, 1000, 0, {850, 65535}, {-126, 64874}, {-126, 64874}},
        {"just below the top", 65000, 65000, 676, 0, {534, 65534}, {-126, 64874}, {-126, 64874}},
        {"clamped below the bottom, rounded down", 100, 100, -1000, 0, {-849, 0}, {127, 227}, {127, 227}},
        // 265 * 2^28 wraps to -0x70000000.
        {"a growing velocity wraps in 32 bits", 32767, 32767, 0x10000000, 2000, {-7340032, 0}, {0, 32767},
         {0, 32767}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        fill_interior(c.fill);
        cell(240, 320) = c.centre;
        velocity_at(240, 320) = c.centre_velocity;
        sim_mode = {1, c.parameter};
        step_field(sim_mode, picture.data(), pitch);
        EXPECT_EQ(Outcome(velocity_at(240, 320), cell(240, 320)), c.at_centre);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                EXPECT_TRUE((dy == 0 && dx == 0) ||
                            Outcome(velocity_at(240 + dy, 320 + dx), cell(240 + dy, 320 + dx)) == c.neighbours)
                    << dy << "," << dx;
        // A field of zeros continues into its zero border: its edge cells count too.
        const int edge = c.fill == 0 ? 1 : 2;
        int wrong = 0;
        for (int y = edge; y <= field_height + 1 - edge; ++y)
            for (int x = edge; x <= field_width + 1 - edge; ++x)
                wrong += (y < 239 || y > 241 || x < 319 || x > 321) &&
                         Outcome(velocity_at(y, x), cell(y, x)) != c.elsewhere;
        EXPECT_EQ(wrong, 0) << "cells elsewhere";
        EXPECT_TRUE(borders_zero(cell_field.buffers[cell_field.current]));
        EXPECT_TRUE(borders_zero(cell_field.velocity));
    }
    // An unknown rule steps nothing and paints nothing.
    SetUp();
    reset_field();
    const auto start = snapshot();
    sim_mode.mode = 2;
    step_field(sim_mode, picture.data(), pitch);
    EXPECT_TRUE(same_field(cell_field, *start));
    EXPECT_EQ(picture, std::vector<std::uint32_t>(picture.size(), 0xDEADBEEF));
}

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
