// The start pattern, the rule switch, the random source, and the field's
// invariants over long mixed runs.
#include <climits>

#include "sim/drop.h"
#include "sim/rules.h"
#include "test_support.h"

TEST_F(FieldTest, StartPatternIsTheProductOfRowAndColumn)
{
    velocity_at(5, 5) = 77;
    cell_field.frame_count = 9;
    sim_mode.parameter = 300;
    cell_field.current = 1;
    reset_field();

    EXPECT_EQ(cell_field.current, 0);
    EXPECT_EQ(cell(1, 1), 1);
    EXPECT_EQ(cell(255, 257), 65535);
    EXPECT_EQ(cell(256, 256), 0);
    EXPECT_EQ(cell(128, 512), 0);
    EXPECT_EQ(cell(480, 640), 45056);
    EXPECT_EQ(cell_field.buffers[0], cell_field.buffers[1]);
    EXPECT_TRUE(borders_zero(cell_field.buffers[0]));
    // Only the cells are reset.
    EXPECT_EQ(velocity_at(5, 5), 77);
    EXPECT_EQ(cell_field.frame_count, 9);
    EXPECT_EQ(sim_mode.parameter, 300);
}

TEST_F(FieldTest, SetModeClearsVelocityAndNothingElse)
{
    reset_field();
    stamp_drop(100, 100, 10);
    const auto before_cells = snapshot();
    sim_mode.parameter = -1234;
    for (std::int32_t mode : {0, 0, 1, 1}) {
        cell_field.velocity.fill(5);
        set_mode(mode);
        EXPECT_EQ(sim_mode.mode, mode);
        EXPECT_EQ(sim_mode.parameter, -1234);
        EXPECT_EQ(cell_field.velocity, Grid{}) << "switching to the active rule clears it too";
        EXPECT_EQ(cell_field.buffers[0], before_cells->buffers[0]);
        EXPECT_EQ(cell_field.buffers[1], before_cells->buffers[1]);
        EXPECT_EQ(cell_field.current, before_cells->current);
    }
}

TEST_F(FieldTest, RandomSourceFromItsInitialState)
{
    EXPECT_EQ(next_random(), 41);
    EXPECT_EQ(next_random(), 18467);
    EXPECT_EQ(next_random(), 6334);
    seed_random(0xFFFFFFFF);
    for (int i = 0; i < 1000; ++i) {
        const std::int32_t r = next_random();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}

TEST_F(FieldTest, TickCounterWrapsInsteadOfOverflowing)
{
    cell_field.frame_count = INT32_MAX;
    count_tick();
    EXPECT_EQ(cell_field.frame_count, INT32_MIN);
    EXPECT_FALSE(is_spark_tick(INT32_MIN + 22)) << "negative counts never spark";
    EXPECT_TRUE(is_spark_tick(22));
    EXPECT_TRUE(is_spark_tick(24 * 1000 + 23));
    EXPECT_FALSE(is_spark_tick(24));
}

// Steps of both rules at every kind of parameter, drops anywhere, rule
// switches and spark ticks: the border stays 0 and every cell in 0..65535.
TEST_F(FieldTest, LongMixedRunKeepsTheInvariants)
{
    reset_field();
    seed_random(12345);
    const std::int32_t parameters[] = {-2000, -1000, -1, 0, 1, 657, 658, 907, 908, 1500, 2000};
    std::uint32_t lcg = 99;
    auto pick = [&lcg](std::uint32_t n) {
        lcg = lcg * 1664525u + 1013904223u;
        return (lcg >> 8) % n;
    };
    for (int tick = 0; tick < 160; ++tick) {
        if (tick % 40 == 0)
            set_mode(static_cast<std::int32_t>(pick(2)));
        sim_mode.parameter = parameters[pick(std::size(parameters))];
        for (int d = 0; d < 3; ++d)
            stamp_drop(static_cast<std::int32_t>(pick(520)) - 20, static_cast<std::int32_t>(pick(680)) - 20,
                       static_cast<std::int32_t>(pick(21)));
        count_tick();
        step_field(sim_mode, picture.data(), pitch);
        const Grid& g = cell_field.buffers[cell_field.current];
        ASSERT_TRUE(borders_zero(g)) << "tick " << tick;
        int bad = -1;
        for (int i = 0; i < grid_cells && bad < 0; ++i)
            if (g[i] < 0 || g[i] > 65535)
                bad = i;
        ASSERT_EQ(bad, -1) << "tick " << tick << " cell " << bad / grid_width << "," << bad % grid_width;
    }
}
