// The picture scaled to cover a window: every window pixel shows one, the
// shown part centred with one scale for both axes, and a change sent again
// exactly where it shows.
#include <gtest/gtest.h>

#include <vector>

#include "platform/x11/cover_scale.h"

namespace {

CoverMap mapped(std::int32_t width, std::int32_t height, std::int32_t source_width = 640,
                std::int32_t source_height = 480)
{
    CoverMap map;
    map_cover(map, source_width, source_height, width, height);
    return map;
}

// Within the picture, never decreasing, every index between its ends shown
// (no picture pixel skipped when enlarging), and centred: as much cut off
// before as after, to a pixel.
void expect_covering(const std::vector<std::int32_t>& to, std::int32_t source, std::int32_t first,
                     std::int32_t last)
{
    ASSERT_FALSE(to.empty());
    EXPECT_EQ(to.front(), first);
    EXPECT_EQ(to.back(), last);
    EXPECT_LE(std::abs(first - (source - 1 - last)), 1);
    for (std::size_t i = 1; i < to.size(); ++i) {
        EXPECT_GE(to[i], to[i - 1]) << i;
        EXPECT_LE(to[i], to[i - 1] + 1) << i;
    }
}

TEST(CoverScale, EveryShapeOfWindowIsCovered)
{
    const CoverMap same = mapped(800, 600);  // the view's own shape: all of it
    expect_covering(same.column, 640, 0, 639);
    expect_covering(same.row, 480, 0, 479);
    const CoverMap wide = mapped(1920, 1080);  // rows cut, 60 above and below
    expect_covering(wide.column, 640, 0, 639);
    expect_covering(wide.row, 480, 60, 419);
    const CoverMap tall = mapped(480, 640);  // columns cut, 140 either side
    expect_covering(tall.column, 640, 140, 499);
    expect_covering(tall.row, 480, 0, 479);
    const CoverMap stretched = mapped(2000, 200);  // the width decides
    expect_covering(stretched.column, 640, 0, 639);
    expect_covering(stretched.row, 480, 208, 271);
    const CoverMap exact = mapped(1280, 960);
    for (std::int32_t x = 0; x < 1280; ++x)
        ASSERT_EQ(exact.column[static_cast<std::size_t>(x)], x / 2) << x;
    const CoverMap dot = mapped(1, 1);  // the middle
    EXPECT_EQ(dot.column[0], 320);
    EXPECT_EQ(dot.row[0], 240);
    CoverMap half;  // shrunk: every second pixel, the centre of each pair
    map_cover(half, 640, 480, 320, 240);
    EXPECT_EQ(half.column[0], 1);
    EXPECT_EQ(half.column[319], 639);
    map_cover(half, 640, 480, 700, 500);  // the same map refilled for a new size
    EXPECT_EQ(half.column.size(), 700u);
    expect_covering(half.column, 640, 0, 639);
}

TEST(CoverScale, AChangeIsSentWhereItShows)
{
    const CoverMap exact = mapped(1280, 960);
    EXPECT_EQ(covered_by(exact, {100, 50, 101, 52}), (Rect{200, 100, 202, 104}));
    EXPECT_EQ(covered_by(exact, {0, 0, 640, 480}), (Rect{0, 0, 1280, 960}));
    const CoverMap wide = mapped(1920, 1080);
    EXPECT_EQ(covered_by(wide, {0, 0, 640, 60}), Rect{});  // cut off: nothing to send
    EXPECT_EQ(covered_by(wide, {0, 0, 640, 61}), (Rect{0, 0, 1920, 3}));
    EXPECT_EQ(covered_by(wide, {10, 10, 10, 400}), Rect{});
}

TEST(CoverScale, PixelsComeFromWhereTheMapSays)
{
    constexpr std::int32_t sw = 5, sh = 3, w = 12, h = 8;
    std::vector<std::uint32_t> source(sw * sh);
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<std::uint32_t>(i) * 0x010203u;
    const CoverMap map = mapped(w, h, sw, sh);
    constexpr std::uint32_t untouched = 0xDEADBEEF, fill = 0xFF000000;
    constexpr std::int32_t pitch_pixels = w + 3;  // rows with room after them
    std::vector<std::uint32_t> window(pitch_pixels * h, untouched);
    const Rect area{2, 1, 9, 7};
    scale_cover(map, {source.data(), sw * 4}, window.data(), pitch_pixels * 4, area, fill);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < pitch_pixels; ++x) {
            const bool inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
            const std::uint32_t expected =
                inside ? source[static_cast<std::size_t>(map.row[y] * sw + map.column[x])] | fill : untouched;
            ASSERT_EQ(window[static_cast<std::size_t>(y * pitch_pixels + x)], expected) << x << "," << y;
        }
}

}  // namespace
