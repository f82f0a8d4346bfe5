// The picture stamp: the title picture over the whole field, smoothed by
// twenty hidden diffusion steps that change nothing else.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "iconbar/picture_stamp.h"
#include "platform/picture.h"
#include "sim/cell_field.h"
#include "sim/random.h"
#include "sim/rules.h"

namespace {

// Whether every cell within a Manhattan distance of 20 of (row, column) held
// the same value as it after stamping (the zero border counting as white):
// then twenty smoothing steps cannot have changed it.
bool uniform_neighbourhood(const std::vector<std::int32_t>& stamped, int row, int column)
{
    const std::int32_t centre = stamped[cell_index(row, column)];
    for (int dy = -20; dy <= 20; ++dy)
        for (int dx = -20 + (dy < 0 ? -dy : dy); dx <= 20 - (dy < 0 ? -dy : dy); ++dx) {
            const int r = row + dy, c = column + dx;
            if (r < 1 || r > field_height || c < 1 || c > field_width) {
                if (centre != 0)
                    return false;  // the zero border darkens black near the edge
                continue;
            }
            if (stamped[cell_index(r, c)] != centre)
                return false;
        }
    return true;
}

}  // namespace

TEST(PictureStamp, WritesThePictureAndSmoothsItWithoutSideEffects)
{
    PictureBits picture;
    ASSERT_TRUE(load_picture_bits(title_picture_id, picture));
    ASSERT_EQ(picture.width, 640);
    ASSERT_EQ(picture.height, 480);
    ASSERT_EQ(picture.bits.size(), 80u * 480u);

    // The picture as stamped before smoothing: white 0, black 32767, upright.
    std::vector<std::int32_t> stamped(grid_cells, 0);
    int black = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const std::uint8_t byte = picture.bits[(479 - y) * picture.bytes_per_row + x / 8];
            stamped[cell_index(y + 1, x + 1)] = (byte >> (7 - x % 8)) & 1 ? 0 : 32767;
            black += stamped[cell_index(y + 1, x + 1)] != 0;
        }
    // The title's word and its ripples in ink on a white ground, corners white.
    EXPECT_GT(black, 640 * 480 / 20);
    EXPECT_LT(black, 640 * 480 / 2);
    EXPECT_EQ(stamped[cell_index(1, 1)] + stamped[cell_index(480, 640)], 0);

    reset_field();
    cell_field.current = 1;
    cell_field.velocity.fill(5);
    sim_mode = SimMode{1, 1234, 0xFFFF};
    seed_random(99);
    stamp_picture();

    EXPECT_EQ(cell_field.current, 1);
    EXPECT_EQ(sim_mode.mode, 1);
    EXPECT_EQ(sim_mode.parameter, 1234);
    EXPECT_EQ(random_state(), 99u) << "the smoothing draws nothing";
    EXPECT_EQ(cell_field.velocity[cell_index(10, 10)], 5);

    int exact = 0, strong = 0;
    const Grid& cells = cell_field.buffers[1];
    for (int row = 1; row <= field_height; row += 3)
        for (int column = 1; column <= field_width; column += 3) {
            const std::int32_t v = cells[cell_index(row, column)];
            ASSERT_TRUE(v >= 0 && v <= 32767);
            if (uniform_neighbourhood(stamped, row, column)) {
                ASSERT_EQ(v, stamped[cell_index(row, column)]) << row << "," << column;
                ++exact;
            }
            strong += v > 30000;
        }
    EXPECT_GT(exact, 1000) << "the picture has wide areas of one colour";
    EXPECT_GT(strong, 100) << "the letters' strokes survive the smoothing";

    // Both buffers hold the smoothed picture (nineteen and twenty steps), and
    // a second stamp gives the same field as the first.
    const auto first = std::make_unique<Grid>(cells);
    stamp_picture();
    EXPECT_EQ(cell_field.buffers[1], *first);
    for (int x = 0; x < grid_width; ++x)
        ASSERT_EQ(cells[cell_index(0, x)], 0);
}
