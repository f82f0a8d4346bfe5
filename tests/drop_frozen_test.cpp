// The drop brush's disc and heights, and the frozen frame's faithfulness.
#include <climits>

#include "sim/drop.h"
#include "sim/frozen.h"
#include "sim/rules.h"
#include "test_support.h"

namespace {

int changed_cells(const Grid& before, const Grid& after)
{
    int n = 0;
    for (int i = 0; i < grid_cells; ++i)
        n += before[i] != after[i];
    return n;
}

}  // namespace

TEST_F(FieldTest, DropOfRadius10RaisesTheOpenDisc)
{
    const auto before = snapshot();
    stamp_drop(200, 300, 10);
    EXPECT_EQ(changed_cells(before->buffers[0], cell_field.buffers[0]), 305);
    EXPECT_EQ(cell(200, 300), 65535);        // 80000 capped
    EXPECT_EQ(cell(200, 306), 800 * 64);     // q = 36
    EXPECT_EQ(cell(203, 304), 800 * 75);     // q = 25
    const int rim[][2] = {{0, 10}, {0, -10}, {10, 0}, {-10, 0}, {6, 8}, {-6, 8}, {8, -6}, {-8, -6}};
    for (const auto& d : rim)
        EXPECT_EQ(cell(200 + d[0], 300 + d[1]), 0) << d[0] << "," << d[1];
    // Nothing but the present buffer changes.
    EXPECT_EQ(cell_field.buffers[1], before->buffers[1]);
    EXPECT_EQ(cell_field.velocity, before->velocity);
    EXPECT_EQ(cell_field.current, 0);
}

TEST_F(FieldTest, DropHeightsSaturateAt65535)
{
    cell(100, 100) = 65000;  // radius 1 adds 800 at its centre
    cell(200, 200) = 64735;  // lands exactly on 65535
    cell(300, 300) = 65535;
    stamp_drop(100, 100, 1);
    stamp_drop(200, 200, 1);
    stamp_drop(300, 300, 1);
    EXPECT_EQ(cell(100, 100), 65535);
    EXPECT_EQ(cell(200, 200), 65535);
    EXPECT_EQ(cell(300, 300), 65535);
    EXPECT_EQ(cell(100, 101), 0) << "radius 1 reaches only its centre";
}

TEST_F(FieldTest, DropsOutsideTheInteriorAndOddRadiiChangeNothingOutside)
{
    const auto before = snapshot();
    stamp_drop(240, 320, 0);
    stamp_drop(-50, 320, 10);
    stamp_drop(240, 700, 10);
    stamp_drop(INT_MIN, INT_MAX, 10);
    stamp_drop(INT_MAX, INT_MIN, 20);
    stamp_drop(240, 320, 21);
    stamp_drop(240, 320, -1);
    stamp_drop(240, 320, INT_MAX);
    EXPECT_EQ(changed_cells(before->buffers[0], cell_field.buffers[0]), 0);

    // The top-left corner keeps only the quarter disc inside rows and columns 1 and up.
    stamp_drop(0, 0, 10);
    EXPECT_EQ(changed_cells(before->buffers[0], cell_field.buffers[0]), 67);
    EXPECT_TRUE(borders_zero(cell_field.buffers[0]));
    EXPECT_EQ(cell(1, 9), 800 * 18);

    // A drop of radius 20 at the bottom-right edge stays inside too.
    stamp_drop(481, 641, 20);
    EXPECT_TRUE(borders_zero(cell_field.buffers[0]));
}

TEST_F(FieldTest, FrozenFrameShowsThePresentCellsAndChangesNothing)
{
    reset_field();
    stamp_drop(240, 320, 10);
    sim_mode.mode = 1;
    step_field(sim_mode, picture.data(), pitch);
    const auto after_step = snapshot();

    std::vector<std::uint32_t> first(picture.size()), second(picture.size());
    draw_frozen(first.data(), pitch, field_width, field_height);
    draw_frozen(second.data(), pitch, field_width, field_height);
    EXPECT_EQ(first, picture);
    EXPECT_EQ(second, picture);
    EXPECT_EQ(cell_field.buffers[0], after_step->buffers[0]);
    EXPECT_EQ(cell_field.buffers[1], after_step->buffers[1]);
    EXPECT_EQ(cell_field.velocity, after_step->velocity);
    EXPECT_EQ(cell_field.current, after_step->current);
    EXPECT_EQ(cell_field.frame_count, after_step->frame_count);
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
        for (int x = 0; x < 5; ++x) {
            const bool inside = x < 3 && y < 2;
            EXPECT_EQ(pixel(x, y), inside ? displayed_palette[((x + 1) * (y + 1)) >> 8] : 0xDEADBEEF) << x << "," << y;
        }

    // Oversized requests stop at the field's edge.
    std::vector<std::uint32_t> wide(static_cast<std::size_t>(700) * 500, 0xDEADBEEF);
    draw_frozen(wide.data(), 700 * 4, 700, 500);
    EXPECT_EQ(wide[639], displayed_palette[640 >> 8]);
    EXPECT_EQ(wide[640], 0xDEADBEEF);
    EXPECT_EQ(wide[480 * 700], 0xDEADBEEF);
}
