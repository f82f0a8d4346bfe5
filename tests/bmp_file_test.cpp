// The bitmap reader on the committed title picture, on small bitmaps made
// here, and on every kind of broken file.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/portable/bmp_file.h"
#include "platform/resources.h"
#include "resource_ids.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::size_t at, unsigned v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

constexpr std::size_t bits_at = 14 + 40 + 8;

// A 1-bit bitmap, bottom row first, table black then white; rows given top
// row first as strings of '#' (black) and '.' (white).
Bytes make_bmp(const std::vector<std::string>& rows, bool top_down = false)
{
    const std::size_t width = rows[0].size(), height = rows.size();
    const std::size_t stride = (width + 31) / 32 * 4;
    Bytes b(bits_at + stride * height, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, bits_at);
    put32(b, 14, 40);
    put32(b, 18, static_cast<std::uint32_t>(width));
    put32(b, 22, static_cast<std::uint32_t>(top_down ? -static_cast<std::int32_t>(height) : static_cast<std::int32_t>(height)));
    put16(b, 26, 1);
    put16(b, 28, 1);
    put32(b, 58, 0xFFFFFF);
    for (std::size_t y = 0; y < height; ++y) {
        const std::size_t stored = top_down ? y : height - 1 - y;
        for (std::size_t x = 0; x < width; ++x)
            if (rows[y][x] == '.') b[bits_at + stored * stride + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    return b;
}

bool parse(const Bytes& bytes, MonoBitmap& bitmap, std::string& error)
{
    return parse_mono_bmp(bytes.data(), bytes.size(), bitmap, error);
}

int bit(const MonoBitmap& bm, int x, int row_from_bottom)
{
    return bm.bits[static_cast<std::size_t>(row_from_bottom * bm.bytes_per_row + x / 8)] >> (7 - x % 8) & 1;
}

const std::vector<std::string> sample = {
    "#.................#",
    "..#..............#.",
    "...................",
};

TEST(BmpFile, TheTitlePictureIs640By480WithInkOnAWhiteGround)
{
    const ResourceBytes r = load_resource("BITMAP", IDB_TITLE);
    ASSERT_NE(r.data, nullptr);
    MonoBitmap bm;
    std::string error;
    ASSERT_TRUE(parse_mono_bmp(r.data, r.size, bm, error)) << error;
    EXPECT_EQ(bm.width, 640);
    EXPECT_EQ(bm.height, 480);
    EXPECT_EQ(bm.bytes_per_row, 80);
    ASSERT_EQ(bm.bits.size(), 80u * 480u);
    EXPECT_EQ(bit(bm, 0, 0), 1);
    EXPECT_EQ(bit(bm, 639, 479), 1);
    std::size_t black = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) black += bit(bm, x, y) == 0;
    EXPECT_GT(black, 640u * 480u / 20) << "the word and its ripples are there";
    EXPECT_LT(black, 640u * 480u / 2) << "ink, not background";
}

TEST(BmpFile, ReadsRowsBottomFirstWithOneForWhite)
{
    MonoBitmap bm;
    std::string error;
    ASSERT_TRUE(parse(make_bmp(sample), bm, error)) << error;
    EXPECT_EQ(bm.width, 19);
    EXPECT_EQ(bm.height, 3);
    EXPECT_EQ(bm.bytes_per_row, 4);
    EXPECT_EQ(bm.bits, (Bytes{0xFF, 0xFF, 0xE0, 0, 0xDF, 0xFF, 0xA0, 0, 0x7F, 0xFF, 0xC0, 0}));
}

TEST(BmpFile, ReadsTopDownRowsIntoTheSameOrder)
{
    MonoBitmap bottom_up, top_down;
    std::string error;
    ASSERT_TRUE(parse(make_bmp(sample), bottom_up, error)) << error;
    ASSERT_TRUE(parse(make_bmp(sample, true), top_down, error)) << error;
    EXPECT_EQ(top_down.bits, bottom_up.bits);
    EXPECT_EQ(top_down.height, 3);
}

TEST(BmpFile, MapsBitsThroughTheColourTable)
{
    Bytes b = make_bmp(sample);
    put32(b, 54, 0xF0F0F0);  // entry 0 light, entry 1 dark: bits flip
    put32(b, 58, 0x101010);
    MonoBitmap bm;
    std::string error;
    ASSERT_TRUE(parse(b, bm, error)) << error;
    EXPECT_EQ(bm.bits, (Bytes{0x00, 0x00, 0x00, 0, 0x20, 0x00, 0x40, 0, 0x80, 0x00, 0x20, 0}));
}

TEST(BmpFile, RefusesEveryTruncation)
{
    const Bytes good = make_bmp(sample);
    for (std::size_t n = 0; n < good.size(); ++n) {
        const Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        MonoBitmap bm;
        std::string error;
        EXPECT_FALSE(parse_mono_bmp(cut.data(), cut.size(), bm, error)) << n;
        EXPECT_EQ(error.rfind("bitmap file: ", 0), 0u) << n;
        EXPECT_TRUE(bm.bits.empty());
    }
}

TEST(BmpFile, RefusesCorruptedFields)
{
    const Bytes good = make_bmp(sample);
    struct Case {
        const char* what;
        std::size_t at;
        int width;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"magic", 0, 2, 0x4142},          {"offset into headers", 10, 4, 20},
        {"offset past end", 10, 4, 0xFFFFFFF0}, {"offset near end", 10, 4, 70},
        {"core header", 14, 4, 12},       {"huge header", 14, 4, 0xFFFFFFFF},
        {"zero width", 18, 4, 0},         {"negative width", 18, 4, 0xFFFFFFFF},
        {"huge width", 18, 4, 0x7FFFFFFF}, {"zero height", 22, 4, 0},
        {"huge height", 22, 4, 1000000},  {"most negative height", 22, 4, 0x80000000},
        {"two planes", 26, 2, 2},         {"4 bits", 28, 2, 4},
        {"24 bits", 28, 2, 24},           {"run-length", 30, 4, 1},
        {"bit fields", 30, 4, 3},         {"three colours", 46, 4, 3},
        {"huge table", 46, 4, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        Bytes bad = good;
        if (c.width == 2)
            put16(bad, c.at, c.value);
        else
            put32(bad, c.at, c.value);
        MonoBitmap bm;
        std::string error;
        EXPECT_FALSE(parse(bad, bm, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
    MonoBitmap bm;
    std::string error;
    EXPECT_FALSE(parse_mono_bmp(nullptr, 0, bm, error));
}

TEST(BmpFile, NoSingleByteCorruptionCrashes)
{
    const Bytes good = make_bmp(sample);
    for (std::size_t i = 0; i < good.size(); ++i)
        for (std::uint8_t v : {std::uint8_t{0x00}, std::uint8_t{0x80}, std::uint8_t{0xFF}}) {
            Bytes bad = good;
            bad[i] = v;
            MonoBitmap bm;
            std::string error;
            if (parse(bad, bm, error)) {
                EXPECT_EQ(bm.bits.size(), static_cast<std::size_t>(bm.bytes_per_row) * static_cast<std::size_t>(bm.height));
            }
        }
}

}  // namespace
