// The bitmap reader on small bitmaps made here and on every kind of broken
// file; the picture stamp's test reads the committed title picture.
#include <gtest/gtest.h>

#include <string>

#include "platform/portable/bmp_file.h"
#include "synthetic_file.h"

namespace {

constexpr std::size_t bits_at = 14 + 40 + 8;

// A 1-bit bitmap, table black then white; rows given top row first as
// strings of '#' (black) and '.' (white).
Bytes make_bmp(const std::vector<std::string>& rows, bool top_down = false)
{
    const std::size_t width = rows[0].size(), height = rows.size();
    const std::size_t stride = (width + 31) / 32 * 4;
    Bytes b(bits_at + stride * height, 0);
    const auto h = static_cast<std::int32_t>(height);
    for (const auto& [at, value, size] : {std::tuple{0u, 0x4D42u, 2}, {2u, std::uint32_t(b.size()), 4},
                                         {10u, std::uint32_t(bits_at), 4}, {14u, 40u, 4}, {18u, std::uint32_t(width), 4},
                                         {22u, std::uint32_t(top_down ? -h : h), 4}, {26u, 1u, 2}, {28u, 1u, 2},
                                         {58u, 0xFFFFFFu, 4}})
        put(b, at, value, size);
    for (std::size_t y = 0; y < height; ++y) {
        const std::size_t stored = top_down ? y : height - 1 - y;
        for (std::size_t x = 0; x < width; ++x)
            if (rows[y][x] == '.')
                b[bits_at + stored * stride + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    return b;
}

struct Parsed {
    bool ok = false;
    MonoBitmap bm;
    std::string error;
};

Parsed parse(const std::uint8_t* data, std::size_t size)
{
    Parsed p;
    p.ok = parse_mono_bmp(data, size, p.bm, p.error);
    return p;
}
Parsed parse(const Bytes& b) { return parse(b.data(), b.size()); }

const std::vector<std::string> sample = {
    "#.................#",
    "..#..............#.",
    "...................",
};

TEST(BmpFile, ReadsRowsBottomFirstWithOneForWhiteWhicheverWayTheyAreStored)
{
    const Bytes expected = {0xFF, 0xFF, 0xE0, 0, 0xDF, 0xFF, 0xA0, 0, 0x7F, 0xFF, 0xC0, 0};
    for (bool top_down : {false, true}) {
        const Parsed p = parse(make_bmp(sample, top_down));
        ASSERT_TRUE(p.ok) << p.error;
        EXPECT_EQ(p.bm.width, 19);
        EXPECT_EQ(p.bm.height, 3);
        EXPECT_EQ(p.bm.bytes_per_row, 4);
        EXPECT_EQ(p.bm.bits, expected) << top_down;
    }
}

TEST(BmpFile, MapsBitsThroughTheColourTable)
{
    Bytes b = make_bmp(sample);
    put(b, 54, 0xF0F0F0);  // entry 0 light, entry 1 dark: bits flip
    put(b, 58, 0x101010);
    const Parsed p = parse(b);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.bm.bits, (Bytes{0x00, 0x00, 0x00, 0, 0x20, 0x00, 0x40, 0, 0x80, 0x00, 0x20, 0}));
}

TEST(BmpFile, RefusesBrokenFilesAndSurvivesDamagedOnes)
{
    const Bytes good = make_bmp(sample);
    each_truncation(good, [](const Bytes& cut, std::size_t n) {
        const Parsed p = parse(cut);
        EXPECT_FALSE(p.ok) << n;
        EXPECT_EQ(p.error.rfind("bitmap file: ", 0), 0u) << n;
        EXPECT_TRUE(p.bm.bits.empty());
    });
    EXPECT_FALSE(parse(nullptr, 0).ok);
    each_corrupted_field(good,
                         {{"magic", 0, 2, 0x4142},            {"offset into headers", 10, 4, 20},
                          {"offset past end", 10, 4, 0xFFFFFFF0}, {"offset near end", 10, 4, 70},
                          {"core header", 14, 4, 12},         {"huge header", 14, 4, 0xFFFFFFFF},
                          {"zero width", 18, 4, 0},           {"negative width", 18, 4, 0xFFFFFFFF},
                          {"huge width", 18, 4, 0x7FFFFFFF},  {"zero height", 22, 4, 0},
                          {"huge height", 22, 4, 1000000},    {"most negative height", 22, 4, 0x80000000},
                          {"two planes", 26, 2, 2},           {"4 bits", 28, 2, 4},
                          {"24 bits", 28, 2, 24},             {"run-length", 30, 4, 1},
                          {"bit fields", 30, 4, 3},           {"three colours", 46, 4, 3},
                          {"huge table", 46, 4, 0xFFFFFFFF}},
                         [](const Bytes& bad, const char* what) {
                             const Parsed p = parse(bad);
                             EXPECT_FALSE(p.ok) << what;
                             EXPECT_FALSE(p.error.empty()) << what;
                         });
    // Damaged anywhere, a file that is still accepted has all its rows.
    each_byte_set_to(good, {0x00, 0x80, 0xFF}, [](const Bytes& bad, std::size_t i) {
        const Parsed p = parse(bad);
        EXPECT_TRUE(!p.ok || p.bm.bits.size() == static_cast<std::size_t>(p.bm.bytes_per_row * p.bm.height)) << i;
    });
}

}  // namespace
