// The picture stamp: the title picture over the whole field, smoothed by
// twenty hidden diffusion steps that change nothing else.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "iconbar/picture_stamp.h"
#include "palette/palette.h"
#include "platform/picture.h"
#include "sim/cell_field.h"
#include "sim/random.h"
#include "sim/rule_kernels.h"

TEST(PictureStamp, WritesThePictureAndSmoothsItWithoutSideEffects)
{
    PictureBits picture;
    ASSERT_TRUE(load_picture_bits(title_picture_id, picture));
    ASSERT_EQ(picture.width, 640);
    ASSERT_EQ(picture.height, 480);
    ASSERT_EQ(picture.bits.size(), 80u * 480u);

    // The picture upright, white 0 and black 32767, then twenty steps of the
    // diffusion rule at parameter 0: the field after them, and after nineteen.
    auto expected = std::make_unique<std::array<Grid, 2>>();
    (*expected)[0].fill(0);
    int black = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const std::uint8_t byte = picture.bits[(479 - y) * picture.bytes_per_row + x / 8];
            black += ((*expected)[0][cell_index(y + 1, x + 1)] = (byte >> (7 - x % 8)) & 1 ? 0 : 32767) != 0;
        }
    // The title's word and its ripples in ink on a white ground, corners white.
    EXPECT_TRUE(black > 640 * 480 / 20 && black < 640 * 480 / 2) << black;
    EXPECT_EQ((*expected)[0][cell_index(1, 1)] + (*expected)[0][cell_index(480, 640)], 0);
    std::vector<std::uint32_t> scratch(field_width);
    for (int i = 0; i < 20; ++i)
        diffuse_scalar((*expected)[i % 2].data(), (*expected)[1 - i % 2].data(), 0, 0xFFFF, false,
                       displayed_palette.data(), scratch.data(), 0);

    reset_field();
    cell_field.current = 1;
    cell_field.velocity.fill(5);
    sim_mode = SimMode{1, 1234, 0xFFFF};
    seed_random(99);
    stamp_picture();
    EXPECT_TRUE(cell_field.current == 1 && sim_mode.mode == 1 && sim_mode.parameter == 1234);
    EXPECT_EQ(random_state(), 99u) << "the smoothing draws nothing";
    EXPECT_EQ(cell_field.velocity[cell_index(10, 10)], 5);
    EXPECT_TRUE(cell_field.buffers[1] == (*expected)[0]) << "twenty steps";
    EXPECT_TRUE(cell_field.buffers[0] == (*expected)[1]) << "nineteen steps";
}
