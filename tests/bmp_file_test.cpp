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
    put(b, 54, 0xFF8000);  // entry 0 light by its red and green, entry 1 dark blue: bits flip
    put(b, 58, 0x0000FF);
    const Parsed p = parse(b);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.bm.bits, (Bytes{0x00, 0x00, 0x00, 0, 0x20, 0x00, 0x40, 0, 0x80, 0x00, 0x20, 0}));
}

TEST(BmpFile, RefusesEachKindOfBrokenFileSayingWhy)
{
    const Bytes good = make_bmp(sample);  // 74 bytes: the colour table at 54, the rows at 62
    for (std::size_t n = 0; n < good.size(); ++n) {
        const Parsed p = parse(first_bytes(good, n));
        EXPECT_FALSE(p.ok) << n;
        EXPECT_EQ(p.error, n < 54 ? "bitmap file: shorter than its headers"
                           : n < 62 ? "bitmap file: colour table is truncated"
                                    : "bitmap file: pixel rows are truncated")
            << n;
        EXPECT_TRUE(p.bm.bits.empty()) << "left untouched";
    }
    EXPECT_EQ(parse(nullptr, 0).error, "bitmap file: shorter than its headers");
    const char *header = "info header has a bad size", *size = "impossible size", *rows = "pixel rows are truncated",
               *compressed = "compressed bitmaps are not supported", *table = "colour table is larger than 1 bit allows";
    const Corruption cases[] = {
        {"magic", 0, 2, 0x4142, "not a BMP (no 'BM' at the start)"},
        {"offset into headers", 10, 4, 20, "pixel offset points into the headers"},
        {"offset into the table", 10, 4, 58, "pixel offset points into the headers"},
        {"offset past end", 10, 4, 0xFFFFFFF0, rows},     {"offset near end", 10, 4, 70, rows},
        {"core header", 14, 4, 12, header},               {"huge header", 14, 4, 0xFFFFFFFF, header},
        {"table past end", 14, 4, 56, "colour table is truncated"},
        {"zero width", 18, 4, 0, size},                   {"negative width", 18, 4, 0xFFFFFFFF, size},
        {"width past the limit", 18, 4, 16385, size},     {"zero height", 22, 4, 0, size},
        {"height past the limit", 22, 4, 16385, size},    {"negative height past it", 22, 4, 0xFFFFBFFF, size},
        {"most negative height", 22, 4, 0x80000000, size}, {"two planes", 26, 2, 2, "must have one plane"},
        {"4 bits", 28, 2, 4, "only 1 bit per pixel is supported"}, {"24 bits", 28, 2, 24, "only 1 bit per pixel is supported"},
        {"run-length", 30, 4, 1, compressed},             {"bit fields", 30, 4, 3, compressed},
        {"three colours", 46, 4, 3, table},               {"huge table", 46, 4, 0xFFFFFFFF, table}};
    for (const Corruption& c : cases) {
        const Parsed p = parse(corrupted(good, c));
        EXPECT_FALSE(p.ok) << c.what;
        EXPECT_EQ(p.error, std::string("bitmap file: ") + c.error) << c.what;
    }
    // 16384 pixels a side is the most, either way up.
    EXPECT_TRUE(parse(make_bmp({std::string(16384, '.')})).ok);
    for (bool top_down : {false, true})
        EXPECT_TRUE(parse(make_bmp(std::vector<std::string>(16384, "#"), top_down)).ok) << top_down;
}

}  // namespace
