// The wave rule: retention from the parameter, the rest level, the velocity
// update with its rounding, clamping and wrap, and the rule dispatch.
#include "sim/rules.h"
#include "test_support.h"

TEST(WaveRetention, FollowsTheParameterInTruncatedSteps)
{
    EXPECT_EQ(wave_retention(-2000), 234);
    EXPECT_EQ(wave_retention(-1968), 234);
    EXPECT_EQ(wave_retention(-1967), 235);
    EXPECT_EQ(wave_retention(0), 250);
    EXPECT_EQ(wave_retention(657), 255);
    for (std::int32_t p = 658; p <= 907; ++p)
        ASSERT_EQ(wave_retention(p), 256) << p;
    EXPECT_EQ(wave_retention(908), 257);
    EXPECT_EQ(wave_retention(1907), 264);
    EXPECT_EQ(wave_retention(1908), 265);
    EXPECT_EQ(wave_retention(2000), 265);
    for (std::int32_t p = -2000; p <= 2000; ++p)
        ASSERT_EQ(wave_retention(p), 256 - (3130 - 4 * p) / 500) << p;
}

TEST_F(FieldTest, RestLevelIsStillForEveryParameter)
{
    for (std::int32_t p : {-2000, 0, 700, 2000}) {
        SetUp();
        fill_interior(32767);
        sim_mode.parameter = p;
        for (int i = 0; i < 3; ++i)
            step_wave(sim_mode, picture.data(), pitch);
        EXPECT_EQ(cell(240, 320), 32767) << p;
        EXPECT_EQ(velocity_at(240, 320), 0) << p;
        EXPECT_EQ(pixel(319, 239), displayed_palette[127]);
    }
}

TEST_F(FieldTest, EmptyFieldRisesTowardsRest)
{
    step_wave(sim_mode, picture.data(), pitch);
    int wrong = 0;
    for (int y = 1; y <= field_height; ++y)
        for (int x = 1; x <= field_width; ++x)
            wrong += cell(y, x) != 127 || velocity_at(y, x) != 127;
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(borders_zero(cell_field.buffers[cell_field.current]));
    EXPECT_TRUE(borders_zero(cell_field.velocity));
}

TEST_F(FieldTest, RaisedCellPullsBackAndPushesItsNeighbours)
{
    fill_interior(32767);
    cell(200, 300) = 40767;
    step_wave(sim_mode, picture.data(), pitch);
    // -136000 >> 8 rounds down to -532.
    EXPECT_EQ(velocity_at(200, 300), -532);
    EXPECT_EQ(cell(200, 300), 40235);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            if (dy == 0 && dx == 0)
                continue;
            EXPECT_EQ(velocity_at(200 + dy, 300 + dx), 62);
            EXPECT_EQ(cell(200 + dy, 300 + dx), 32829);
        }
    EXPECT_EQ(cell(202, 300), 32767);
}

TEST_F(FieldTest, WaveClampsTheCellButNotTheVelocity)
{
    // In a uniform region w = (e * velocity - h + 32767) >> 8, here with e = 250.
    struct Case {
        std::int32_t height, velocity, expected_velocity, expected_cell;
    };
    const Case cases[] = {
        {65000, 1000, 850, 65535},    // far above the top
        {65000, 677, 535, 65535},     // exactly 65535
        {65000, 676, 534, 65534},     // just below it
        {100, -1000, -849, 0},        // below the bottom, rounded down
    };
    for (const Case& c : cases) {
        SetUp();
        fill_interior(c.height);
        velocity_at(240, 320) = c.velocity;
        step_wave(sim_mode, picture.data(), pitch);
        EXPECT_EQ(velocity_at(240, 320), c.expected_velocity) << c.velocity;
        EXPECT_EQ(cell(240, 320), c.expected_cell) << c.velocity;
    }
}

TEST_F(FieldTest, GrowingVelocityWrapsIn32Bits)
{
    fill_interior(32767);
    sim_mode.parameter = 2000;  // retention 265
    const std::int32_t huge = 0x10000000;
    velocity_at(240, 320) = huge;
    step_wave(sim_mode, picture.data(), pitch);
    const auto wrapped = static_cast<std::int32_t>(static_cast<std::uint32_t>(std::int64_t{265} * huge));
    EXPECT_EQ(velocity_at(240, 320), wrapped >> 8);
    EXPECT_EQ(cell(240, 320), wrapped >> 8 < -32767 ? 0 : 65535);
}

TEST_F(FieldTest, StepFieldRunsTheSelectedRule)
{
    reset_field();
    const auto start = snapshot();

    struct Result {
        std::unique_ptr<CellField> field;
        std::vector<std::uint32_t> pixels;
    };
    auto run = [&](auto step, std::int32_t mode) {
        cell_field = *start;
        cell_field.frame_count = 22;
        seed_random(7);
        Result r{nullptr, std::vector<std::uint32_t>(picture.size())};
        SimMode m = sim_mode;
        m.mode = mode;
        m.parameter = -300;
        step(m, r.pixels.data(), pitch);
        r.field = snapshot();
        return r;
    };
    const Result diffusion = run(step_diffusion, 0);
    const Result wave = run(step_wave, 1);
    const Result field0 = run(step_field, 0);
    const Result field1 = run(step_field, 1);
    EXPECT_TRUE(field0.field->buffers[1] == diffusion.field->buffers[1] && field0.pixels == diffusion.pixels);
    EXPECT_TRUE(field1.field->buffers[1] == wave.field->buffers[1] && field1.pixels == wave.pixels &&
                field1.field->velocity == wave.field->velocity);
    EXPECT_NE(diffusion.pixels, wave.pixels);

    cell_field = *start;
    SimMode other = sim_mode;
    other.mode = 2;
    step_field(other, picture.data(), pitch);
    EXPECT_EQ(cell_field.current, start->current);
    EXPECT_EQ(cell_field.buffers[1], start->buffers[1]);
    EXPECT_EQ(picture, std::vector<std::uint32_t>(picture.size(), 0xDEADBEEF));
}
