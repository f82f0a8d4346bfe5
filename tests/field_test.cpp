// The start pattern, the rule switch, the random source and tick counter, the
// drop brush and the frozen frame's rectangle.
#include <array>
#include <climits>

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
        {200, 200, 1, 64735, 1, {{200, 200, 65535}}}, {300, 300, 1, 65535, 0, {}},  // exactly 65535
        {0, 0, 10, 0, 67, {{1, 9, 800 * 18}}},  // the quarter disc in rows and columns 1 and up
        {481, 641, 20, 0, 292, {}},
        // Nothing outside the interior, nothing from radii out of 1..20.
        {-50, 320, 10, 0, 0, {}}, {240, 700, 10, 0, 0, {}}, {INT_MIN, INT_MAX, 10, 0, 0, {}},
        {INT_MAX, INT_MIN, 20, 0, 0, {}}, {240, 320, 0, 0, 0, {}}, {240, 320, 21, 0, 0, {}},
        {240, 320, -1, 0, 0, {}}, {240, 320, INT_MAX, 0, 0, {}},
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
    reset_field();
    const std::vector<std::uint32_t> untouched(picture);
    draw_frozen(picture.data(), pitch, 0, field_height);
    draw_frozen(picture.data(), pitch, field_width, 0);
    EXPECT_EQ(picture, untouched);
    draw_frozen(picture.data(), pitch, 3, 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(pixel(x, y), x < 3 && y < 2 ? displayed_palette[((x + 1) * (y + 1)) >> 8] : 0xDEADBEEF)
                << x << "," << y;
    // Oversized requests stop at the field's edge.
    std::vector<std::uint32_t> wide(700 * 500, 0xDEADBEEF);
    draw_frozen(wide.data(), 700 * 4, 700, 500);
    EXPECT_EQ(wide[639], displayed_palette[640 >> 8]);
    EXPECT_EQ(wide[640], 0xDEADBEEF);
    EXPECT_EQ(wide[480 * 700], 0xDEADBEEF);
}
