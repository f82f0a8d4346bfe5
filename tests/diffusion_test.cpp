// The diffusion rule: weights, parameter, wrap through the mask, sparks and
// their random draws, and where the pixels go.
#include <cstring>

#include "sim/frozen.h"
#include "sim/rules.h"
#include "test_support.h"

namespace {

// The generator written out again, to predict the sparks' draws.
struct ExpectedRandom {
    std::uint32_t state;
    std::int32_t next()
    {
        state = state * 214013u + 2531011u;
        return static_cast<std::int32_t>((state >> 16) & 0x7FFF);
    }
};

}  // namespace

TEST_F(FieldTest, DiffusionOfAUniformFieldDarkensOnlyAtTheBorder)
{
    fill_interior(40000);
    step_diffusion(sim_mode, picture.data(), pitch);
    for (int y = 1; y <= field_height; ++y)
        for (int x = 1; x <= field_width; ++x) {
            const bool edge = y == 1 || y == field_height || x == 1 || x == field_width;
            if (edge)
                ASSERT_LT(cell(y, x), 40000) << y << "," << x;
            else
                ASSERT_EQ(cell(y, x), 40000) << y << "," << x;
        }
    EXPECT_EQ(cell(1, 300), 30000);  // the zero row above weighs 2 of 8
    EXPECT_EQ(cell(300, 1), 35000);  // the zero column left weighs 1 of 8
}

TEST_F(FieldTest, DiffusionWeightsTwoVerticallyAndOneSideways)
{
    cell(200, 300) = 8000;
    step_diffusion(sim_mode, picture.data(), pitch);
    EXPECT_EQ(cell(200, 300), 2000);
    EXPECT_EQ(cell(199, 300), 2000);
    EXPECT_EQ(cell(201, 300), 2000);
    EXPECT_EQ(cell(200, 299), 1000);
    EXPECT_EQ(cell(200, 301), 1000);
    int others = 0;
    for (int y = 1; y <= field_height; ++y)
        for (int x = 1; x <= field_width; ++x)
            others += cell(y, x) != 0;
    EXPECT_EQ(others, 5) << "diagonal neighbours and everything else stay 0";
}

TEST_F(FieldTest, DiffusionWrapsThroughTheMask)
{
    fill_interior(65535);
    sim_mode.parameter = 2000;
    step_diffusion(sim_mode, picture.data(), pitch);
    EXPECT_EQ(cell(240, 320), 249);  // (526280 >> 3) & 0xFFFF
    EXPECT_EQ(pixel(319, 239), displayed_palette[0]);
}

TEST_F(FieldTest, NegativeSumsSparkOnlyOnTicks22And23)
{
    sim_mode.parameter = -2000;
    for (std::int32_t tick = 0; tick < 48; ++tick) {
        SetUp();
        sim_mode.parameter = -2000;
        cell_field.frame_count = tick;
        const std::uint32_t state = random_state();
        step_diffusion(sim_mode, picture.data(), pitch);
        const bool spark = tick % 24 >= 22;
        if (!spark) {
            EXPECT_EQ(random_state(), state) << "tick " << tick;
            EXPECT_EQ(cell(240, 320), 0);
            continue;
        }
        // Two draws per cell, in row-major order, the first in the low bits.
        ExpectedRandom expected{state};
        bool all_match = true;
        for (int y = 1; y <= field_height && all_match; ++y)
            for (int x = 1; x <= field_width; ++x) {
                const std::int32_t r1 = expected.next();
                const std::int32_t r2 = expected.next();
                if (cell(y, x) != ((r1 | (r2 << 15)) & 0xFFFF)) {
                    all_match = false;
                    ADD_FAILURE() << "tick " << tick << " cell " << y << "," << x;
                    break;
                }
            }
        EXPECT_EQ(random_state(), expected.state);
    }
}

TEST_F(FieldTest, OnlyStrictlyNegativeSumsSpark)
{
    cell_field.frame_count = 22;
    // The cell and the ones above and below it weigh 4 twice: with parameter
    // -8 they sum to exactly 0 and must not spark.
    cell(100, 100) = 4;
    sim_mode.parameter = -8;
    std::uint32_t state = random_state();
    step_diffusion(sim_mode, picture.data(), pitch);
    EXPECT_EQ(cell(100, 100), 0);
    EXPECT_EQ(cell(99, 100), 0);
    EXPECT_EQ(cell(101, 100), 0);
    ExpectedRandom expected{state};
    for (int i = 0; i < 2 * (field_width * field_height - 3); ++i)
        expected.next();
    EXPECT_EQ(random_state(), expected.state);

    SetUp();
    cell_field.frame_count = 22;
    sim_mode.parameter = 0;
    state = random_state();
    step_diffusion(sim_mode, picture.data(), pitch);
    EXPECT_EQ(random_state(), state) << "an all-zero field with parameter 0 never sparks";
    EXPECT_EQ(cell(240, 320), 0);

    // s = -1 shifts to -1, not 0: that is negative and sparks.
    SetUp();
    cell_field.frame_count = 23;
    sim_mode.parameter = -1;
    state = random_state();
    step_diffusion(sim_mode, picture.data(), pitch);
    EXPECT_NE(random_state(), state);
}

TEST_F(FieldTest, StepsFlipTheCurrentBuffer)
{
    reset_field();
    step_diffusion(sim_mode, picture.data(), pitch);
    EXPECT_EQ(cell_field.current, 1);
    step_diffusion(sim_mode, picture.data(), pitch);
    EXPECT_EQ(cell_field.current, 0);
}

TEST_F(FieldTest, DiffusionPixelsMatchAFrozenFrameAtAnyPitch)
{
    reset_field();
    step_diffusion(sim_mode, picture.data(), pitch);
    std::vector<std::uint32_t> frozen(picture.size());
    draw_frozen(frozen.data(), pitch, field_width, field_height);
    EXPECT_EQ(picture, frozen);
    for (int y = 0; y < field_height; y += 97)
        for (int x = 0; x < field_width; x += 89)
            ASSERT_EQ(pixel(x, y), displayed_palette[cell(y + 1, x + 1) >> 8]);

    // Bottom-up rows through a negative pitch give the same picture flipped.
    reset_field();
    std::vector<std::uint32_t> flipped(picture.size());
    step_diffusion(sim_mode, flipped.data() + (field_height - 1) * field_width, -pitch);
    for (int y = 0; y < field_height; ++y)
        ASSERT_EQ(0, std::memcmp(&flipped[(field_height - 1 - y) * field_width], &picture[y * field_width],
                                 field_width * 4))
            << "row " << y;

    // Pitch 0 folds every row onto one, which ends with the last row's colours.
    reset_field();
    std::vector<std::uint32_t> one_row(field_width);
    step_diffusion(sim_mode, one_row.data(), 0);
    EXPECT_EQ(0, std::memcmp(one_row.data(), &picture[(field_height - 1) * field_width], field_width * 4));
}
