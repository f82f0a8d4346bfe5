// The icon and bitmap readers on the committed icons, on small files made
// here and on broken ones; the fuzz targets look for reads past the end.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/portable/bmp_file.h"
#include "platform/portable/ico_file.h"
#include "platform/resources.h"
#include "resource_ids.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void put(Bytes& b, std::size_t at, std::uint32_t v, int size = 4)
{
    for (int i = 0; i < size; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> 8 * i);
}

bool untouched(const IcoImage& i) { return i.width == 0 && i.pixels.empty(); }
bool untouched(const MonoBitmap& b) { return b.width == 0 && b.bits.empty(); }

template <typename Picture>
struct Parsed { bool ok = false; Picture picture; std::string error; };
template <typename Picture, bool (*read)(const std::uint8_t*, std::size_t, Picture&, std::string&)>
Parsed<Picture> parse(const Bytes& b)
{
    Parsed<Picture> p;
    p.ok = read(b.empty() ? nullptr : b.data(), b.size(), p.picture, p.error);
    return p;
}
const auto parse_icon = parse<IcoImage, parse_ico>;
const auto parse_bitmap = parse<MonoBitmap, parse_mono_bmp>;

// A field of a good file set to a bad value, and what the reader must say.
struct Corruption {
    const char* what;
    std::size_t at;
    int size;  // 2 or 4 bytes
    std::uint32_t value;
    const char* error;
};
// Every shorter copy of `good`, exactly that long so that a read past its end is a sanitizer error (the empty one
// a null pointer), is refused as `truncated` says, the picture left alone; each corruption with its own message.
template <typename Parse, typename Truncated>
void expect_refusals(Parse parse, const Bytes& good, Truncated truncated, const std::string& prefix,
                     const std::vector<Corruption>& cases)
{
    for (std::size_t n = 0; n < good.size(); ++n) {
        const auto p = parse(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)));
        EXPECT_FALSE(p.ok) << n;
        EXPECT_EQ(p.error, prefix + truncated(n)) << n;
        EXPECT_TRUE(untouched(p.picture)) << n;
    }
    for (const Corruption& c : cases) {
        Bytes b = good;
        put(b, c.at, c.value, c.size);
        const auto p = parse(b);
        EXPECT_FALSE(p.ok) << c.what;
        EXPECT_EQ(p.error, prefix + c.error) << c.what;
    }
}

std::uint32_t at(const Parsed<IcoImage>& p, int x, int y)
{
    return p.picture.pixels[static_cast<std::size_t>(y * p.picture.width + x)];
}

Bytes resource_bytes(int id)
{
    const ResourceBytes r = load_resource("ICON", id);
    return r.data ? Bytes(r.data, r.data + r.size) : Bytes{};
}

// One-image icon of the given depth with an empty pixel area to fill in.
struct Made { Bytes bytes; std::size_t table, pixels, mask, xor_row, and_row; };
Made make_icon(int width, int height, int depth, bool with_mask = true)
{
    Made m;
    const std::size_t colours = depth <= 8 ? std::size_t{1} << depth : 0;
    m.xor_row = (static_cast<std::size_t>(width) * depth + 31) / 32 * 4;
    m.and_row = (static_cast<std::size_t>(width) + 31) / 32 * 4;
    const std::size_t body = 40 + 4 * colours + m.xor_row * height + (with_mask ? m.and_row * height : 0);
    m.bytes.assign(22 + body, 0);
    const auto w = static_cast<std::uint32_t>(width), h = static_cast<std::uint32_t>(height);
    const auto d = static_cast<std::uint32_t>(depth);
    for (const auto& [at, value, size] : {std::tuple{2u, 1u, 2}, {4u, 1u, 2}, {6u, w, 1}, {7u, h, 1}, {10u, 1u, 2},
                                         {12u, d, 2}, {14u, std::uint32_t(body), 4}, {18u, 22u, 4}, {22u, 40u, 4},
                                         {26u, w, 4}, {30u, 2 * h, 4}, {34u, 1u, 2}, {36u, d, 2}})
        put(m.bytes, at, value, size);
    m.table = 22 + 40;
    m.pixels = m.table + 4 * colours;
    m.mask = m.pixels + m.xor_row * height;
    return m;
}

constexpr std::uint32_t black = 0x000000, silver = 0xC0C0C0, grey = 0x808080, white = 0xFFFFFF;

std::set<std::uint32_t> colours_in(const Parsed<IcoImage>& p)
{
    std::set<std::uint32_t> seen;
    for (std::size_t i = 0; i < p.picture.pixels.size(); ++i)
        if (p.picture.opaque[i])
            seen.insert(p.picture.pixels[i]);
    return seen;
}

// The committed faces as the bar shows them: only the top left 23 x 23 opaque, in their state's colours.
TEST(IcoFile, FacesAre32By32WithTheTopLeft23By23SquareOpaqueInTheirStatesColours)
{
    using Colours = std::set<std::uint32_t>;
    const Colours lines{black, silver}, framed{black, silver, white};
    const std::pair<int, Colours> faces[] = {
        {105, lines}, {106, {black, white}}, {107, framed}, {108, {black, grey}}, {109, lines}, {110, lines},
        {111, framed}, {112, lines}, {113, lines}, {114, lines}, {115, lines}, {116, lines},
        {140, lines}, {141, lines}, {142, framed}, {143, framed}};
    std::vector<std::uint8_t> square(32 * 32);
    for (std::size_t i = 0; i < square.size(); ++i)
        square[i] = i % 32 < 23 && i / 32 < 23;
    for (const auto& [id, colours] : faces) {
        SCOPED_TRACE(id);
        const auto p = parse_icon(resource_bytes(id));
        ASSERT_TRUE(p.ok) << p.error;
        ASSERT_EQ((std::pair{p.picture.width, p.picture.height}), (std::pair{32, 32}));
        EXPECT_EQ(p.picture.opaque, square);
        EXPECT_EQ(colours_in(p), colours);
        const bool pressed_rule = id == 107 || id == 111, pause = id == 113 || id == 114 || id == 116;
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 23; ++x) {
                // pressed rule faces sit in a white frame; pause faces are mirror symmetric
                const bool edge = x == 0 || y == 0 || x == 22 || y == 22;
                EXPECT_TRUE(!(pressed_rule && edge) || at(p, x, y) == white) << x << "," << y;
                EXPECT_TRUE(!pause || at(p, x, y) == at(p, 22 - x, y)) << x << "," << y;
            }
    }
}

TEST(IcoFile, PicksThe32By32ImageOfTheApplicationIcon)
{
    const Bytes bytes = resource_bytes(IDI_APP);
    ASSERT_GE(bytes.size(), 6u + 32u);
    EXPECT_GE(bytes[4], 2) << "a 32x32 and a 16x16 image";
    const auto p = parse_icon(bytes);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ((std::pair{p.picture.width, p.picture.height}), (std::pair{32, 32}));
    EXPECT_EQ(p.picture.opaque[0], 0) << "round: the corners are transparent";
    EXPECT_EQ(p.picture.opaque[16 * 32 + 16], 1);
}

TEST(IcoFile, ReadsEightAndFourBitImagesThroughTheirColourTable)
{
    Made m = make_icon(3, 2, 8);
    put(m.bytes, m.table + 4 * 200, 0x123456);  // B, G, R = 56, 34, 12
    put(m.bytes, m.table + 4 * 7, 0xFFABCDEF);  // the unused fourth byte is dropped
    m.bytes[m.pixels + 0] = 200;            // bottom row, x = 0
    m.bytes[m.pixels + m.xor_row + 2] = 7;  // top row, x = 2
    m.bytes[m.mask + m.and_row] = 0x40;     // top row, x = 1 transparent
    auto p = parse_icon(m.bytes);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ((std::pair{p.picture.width, p.picture.height}), (std::pair{3, 2}));
    EXPECT_EQ(p.picture.pixels, (std::vector<std::uint32_t>{0, 0, 0xABCDEF, 0x123456, 0, 0}));
    EXPECT_EQ(p.picture.opaque, (std::vector<std::uint8_t>{1, 0, 1, 1, 1, 1}));
    m = make_icon(3, 1, 4);  // high nibble first
    put(m.bytes, m.table + 4 * 1, 0x111111);
    put(m.bytes, m.table + 4 * 15, 0xFFFFFF);
    m.bytes[m.pixels] = 0xF1;
    m.bytes[m.pixels + 1] = 0xF0;
    p = parse_icon(m.bytes);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.picture.pixels, (std::vector<std::uint32_t>{0xFFFFFF, 0x111111, 0xFFFFFF}));
}

TEST(IcoFile, ThirtyTwoBitImagesAreOpaqueWhereAlphaIsHighAndTheMaskAgrees)
{
    Made m = make_icon(4, 1, 32);
    const std::uint8_t bgra[] = {1, 2, 3, 255, 4, 5, 6, 128, 7, 8, 9, 127, 10, 11, 12, 255};
    std::copy(std::begin(bgra), std::end(bgra), m.bytes.begin() + static_cast<std::ptrdiff_t>(m.pixels));
    m.bytes[m.mask] = 0x10;  // x = 3 masked out
    auto p = parse_icon(m.bytes);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.picture.pixels, (std::vector<std::uint32_t>{0x030201, 0x060504, 0x090807, 0x0C0B0A}));
    EXPECT_EQ(p.picture.opaque, (std::vector<std::uint8_t>{1, 1, 0, 0}));
    // Without alpha the mask alone decides; without a mask the alpha does.
    Made no_alpha = make_icon(2, 1, 32);
    no_alpha.bytes[no_alpha.mask] = 0x40;  // x = 1 transparent
    Made no_mask = make_icon(2, 1, 32, false);
    no_mask.bytes[no_mask.pixels + 3] = 200;
    for (const Made* made : {&no_alpha, &no_mask}) {
        p = parse_icon(made->bytes);
        ASSERT_TRUE(p.ok) << p.error;
        EXPECT_EQ(p.picture.opaque, (std::vector<std::uint8_t>{1, 0}));
    }
}

// A case a condition; values the fuzz target would catch the reader taking are not repeated.
TEST(IcoFile, RefusesEachKindOfBrokenFileSayingWhy)
{
    const char *not_icon = "not an icon (wrong reserved or type field)", *past_end = "image lies past the end of the file",
               *header = "image header has a bad size", *size = "image has an impossible size",
               *table = "colour table is larger than the depth allows";
    expect_refusals(parse_icon, make_icon(4, 4, 4).bytes,  // 158 bytes, the image from 22
                    [=](std::size_t n) {
                        return n < 6 ? "shorter than its header" : n < 22 ? "image directory is truncated" : past_end;
                    },
                    "icon file: ",
                    {{"reserved", 0, 2, 1, not_icon},                    {"cursor type", 2, 2, 2, not_icon},
                     {"no images", 4, 2, 0, "holds no images"},          {"length", 14, 4, 0xFFFFFFF0, past_end},
                     {"offset", 18, 4, 0xFFFFFFF0, past_end},            {"zero height", 30, 4, 0, size},
                     {"short image", 14, 4, 30, "image header is truncated"}, {"header size", 22, 4, 12, header},
                     {"huge header", 22, 4, 0x7FFFFFFF, header},         {"zero width", 26, 4, 0, size},
                     {"width 257", 26, 4, 257, size},                    {"height 257", 30, 4, 514, size},
                     {"odd height", 30, 4, 7, size},
                     {"depth 24", 36, 2, 24, "only 4-, 8- and 32-bit images are supported"},
                     {"compressed", 38, 4, 1, "compressed images are not supported"},
                     {"table past depth", 54, 4, 17, table},
                     {"pixels cut", 14, 4, 110, "image pixels are truncated"},
                     {"mask cut", 14, 4, 130, "image mask is truncated"}});
    Bytes png = make_icon(4, 4, 4).bytes;
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::copy(signature, signature + 8, png.begin() + 22);
    EXPECT_EQ(parse_icon(png).error, "icon file: PNG-compressed images are not supported");
    EXPECT_TRUE(parse_icon(make_icon(256, 256, 4).bytes).ok) << "256 pixels a side is the most";
}

constexpr std::size_t bits_at = 14 + 40 + 8;

// A 1-bit bitmap, table black then white, from rows top first of '#' (black) and '.' (white).
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

const std::vector<std::string> sample = {
    "#.................#",
    "..#..............#.",
    "...................",
};

TEST(BmpFile, ReadsRowsBottomFirstWithOneForWhiteWhicheverWayTheyAreStored)
{
    const Bytes expected = {0xFF, 0xFF, 0xE0, 0, 0xDF, 0xFF, 0xA0, 0, 0x7F, 0xFF, 0xC0, 0};
    for (bool top_down : {false, true}) {
        const auto p = parse_bitmap(make_bmp(sample, top_down));
        ASSERT_TRUE(p.ok) << p.error;
        EXPECT_EQ((std::tuple{p.picture.width, p.picture.height, p.picture.bytes_per_row}), (std::tuple{19, 3, 4}));
        EXPECT_EQ(p.picture.bits, expected) << top_down;
    }
}

TEST(BmpFile, MapsBitsThroughTheColourTable)
{
    Bytes b = make_bmp(sample);
    put(b, 54, 0xFF8000);  // entry 0 light by its red and green, entry 1 dark blue: bits flip
    put(b, 58, 0x0000FF);
    const auto p = parse_bitmap(b);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.picture.bits, (Bytes{0x00, 0x00, 0x00, 0, 0x20, 0x00, 0x40, 0, 0x80, 0x00, 0x20, 0}));
}

TEST(BmpFile, RefusesEachKindOfBrokenFileSayingWhy)
{
    const char *header = "info header has a bad size", *size = "impossible size", *rows = "pixel rows are truncated";
    expect_refusals(parse_bitmap, make_bmp(sample),  // 74 bytes: the colour table at 54, the rows at 62
                    [=](std::size_t n) {
                        return n < 54 ? "shorter than its headers" : n < 62 ? "colour table is truncated" : rows;
                    },
                    "bitmap file: ",
                    {{"magic", 0, 2, 0x4142, "not a BMP (no 'BM' at the start)"},
                     {"offset into the table", 10, 4, 58, "pixel offset points into the headers"},
                     {"offset past end", 10, 4, 0xFFFFFFF0, rows},     {"offset near end", 10, 4, 70, rows},
                     {"core header", 14, 4, 12, header},               {"huge header", 14, 4, 0xFFFFFFFF, header},
                     {"zero width", 18, 4, 0, size},                   {"width past the limit", 18, 4, 16385, size},
                     {"zero height", 22, 4, 0, size},                  {"height past the limit", 22, 4, 16385, size},
                     {"negative height past it", 22, 4, 0xFFFFBFFF, size},
                     {"most negative height", 22, 4, 0x80000000, size}, {"two planes", 26, 2, 2, "must have one plane"},
                     {"24 bits", 28, 2, 24, "only 1 bit per pixel is supported"},
                     {"run-length", 30, 4, 1, "compressed bitmaps are not supported"},
                     {"three colours", 46, 4, 3, "colour table is larger than 1 bit allows"}});
    // 16384 pixels a side is the most, either way up.
    EXPECT_TRUE(parse_bitmap(make_bmp({std::string(16384, '.')})).ok);
    for (bool top_down : {false, true})
        EXPECT_TRUE(parse_bitmap(make_bmp(std::vector<std::string>(16384, "#"), top_down)).ok) << top_down;
}

}  // namespace
