// The main window's grid at the sizes a user gives it.
#include <gtest/gtest.h>

#include <array>

#include "app/layout.h"

TEST(Layout, WorkedSizes)
{
    struct Case {
        std::int32_t width, height;
        std::array<std::int32_t, 4> x;
        std::array<std::int32_t, 6> y;
    };
    const Case cases[] = {
        {710, 580, {20, 660, 667, 690}, {20, 500, 507, 530, 537, 560}},
        {1000, 700, {165, 805, 812, 835}, {80, 560, 567, 590, 597, 620}},
        {711, 581, {20, 660, 667, 690}, {20, 500, 507, 530, 537, 560}},
        {500, 400, {20, 450, 457, 480}, {20, 320, 327, 350, 357, 380}},
        {0, 0, {20, 120, 127, 150}, {20, 120, 127, 150, 157, 180}},
        {169, 199, {20, 120, 127, 150}, {20, 120, 127, 150, 157, 180}},
    };
    for (const Case& c : cases) {
        compute_layout(c.width, c.height);
        EXPECT_EQ((std::array<std::int32_t, 4>{layout_x[0], layout_x[1], layout_x[2], layout_x[3]}), c.x)
            << c.width << " x " << c.height;
        EXPECT_EQ((std::array<std::int32_t, 6>{layout_y[0], layout_y[1], layout_y[2], layout_y[3], layout_y[4],
                                               layout_y[5]}),
                  c.y)
            << c.width << " x " << c.height;
    }
    // The view never grows past 640 x 480, and shrinks no further than 100.
    for (std::int32_t size = 0; size < 3000; size += 7) {
        compute_layout(size, size);
        ASSERT_LE(span_x(0, 1), 640);
        ASSERT_LE(span_y(0, 1), 480);
        ASSERT_GE(span_x(0, 1), 100);
        ASSERT_EQ(span_x(2, 3), 23);
        ASSERT_EQ(span_y(4, 5), 23);
    }
}
