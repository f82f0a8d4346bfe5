// The wave rule: retention from the parameter, the rest level, the velocity
// update with its rounding, clamping and wrap, and the rule dispatch.
#include "sim/rules.h"
#include "test_support.h"

TEST(WaveRetention, FollowsTheParameterInTruncatedSteps)
{
    // The integer form of the damping: 234 at -2000, 250 at 0, 265 at 2000,
    // and a band of 256 (658..907) twice as wide as the others.
    for (std::int32_t p = -2000; p <= 2000; ++p)
        ASSERT_EQ(wave_retention(p), 256 - (3130 - 4 * p) / 500) << p;
}

// One step through step_field in mode 1 from a uniform interior with the
// cell at 240,320 and its velocity set: that cell, its eight neighbours, and
// every other cell away from the edge, as {velocity, cell}.
TEST_F(FieldTest, WaveWorkedCases)
{
    using Outcome = std::pair<std::int32_t, std::int32_t>;
    struct Case {
        const char* what;
        std::int32_t fill, centre, centre_velocity, parameter;
        Outcome at_centre, neighbours, elsewhere;
    };
    const Case cases[] = {
        {"rest level, parameter -2000", 32767, 32767, 0, -2000, {0, 32767}, {0, 32767}, {0, 32767}},
        {"rest level, parameter 2000", 32767, 32767, 0, 2000, {0, 32767}, {0, 32767}, {0, 32767}},
        {"an empty field rises towards rest", 0, 0, 0, 0, {127, 127}, {127, 127}, {127, 127}},
        // -136000 >> 8 rounds down to -532.
        {"a raised cell pulls back and pushes its neighbours", 32767, 40767, 0, 0, {-532, 40235}, {62, 32829},
         {0, 32767}},
        // In a uniform region w = (250 * velocity - h + 32767) >> 8.
        {"clamped far above the top", 65000, 65000, 1000, 0, {850, 65535}, {-126, 64874}, {-126, 64874}},
        {"clamped at exactly 65535", 65000, 65000, 677, 0, {535, 65535}, {-126, 64874}, {-126, 64874}},
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
        EXPECT_EQ(pixel(319, 239), displayed_palette[c.at_centre.second >> 8]);
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
