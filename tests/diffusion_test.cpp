// The diffusion rule: weights, parameter, wrap through the mask, sparks and
// their random draws, the spark ticks, and where both rules' pixels go.
#include <climits>
#include <cstring>

#include "sim/frozen.h"
#include "sim/rules.h"
#include "test_support.h"

// One step through step_field in mode 0, from a uniform interior with
// perhaps one cell set; each probed cell and its pixel are checked, and the
// random source must have made two draws for each sparking cell.
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
        {"parameter 0 never sparks", 0, {}, 0, 22, {{240, 320, 0}}, 0, 0},
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
        for (const Probe& p : c.probes) {
            EXPECT_EQ(cell(p.row, p.column), p.value) << p.row << "," << p.column;
            EXPECT_EQ(pixel(p.column - 1, p.row - 1), displayed_palette[p.value >> 8]);
        }
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
    EXPECT_TRUE(is_spark_tick(24 * 1000 + 23));
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
