// The icon reader on the committed icons, on small icons made here, and on
// every kind of broken file: it must refuse them without reading past the end.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/portable/ico_file.h"
#include "platform/resources.h"
#include "resource_ids.h"
#include "synthetic_file.h"

namespace {

struct Parsed {
    bool ok = false;
    IcoImage image;
    std::string error;
    std::uint32_t at(int x, int y) const { return image.pixels[static_cast<std::size_t>(y * image.width + x)]; }
};

Parsed parse(const Bytes& b)
{
    Parsed p;
    p.ok = parse_ico(b.data(), b.size(), p.image, p.error);
    return p;
}

Bytes resource_bytes(int id)
{
    const ResourceBytes r = load_resource("ICON", id);
    return r.data ? Bytes(r.data, r.data + r.size) : Bytes{};
}

// One-image icon of the given depth with an empty pixel area to fill in.
struct Made {
    Bytes bytes;
    std::size_t table, pixels, mask, xor_row, and_row;
};
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

std::set<std::uint32_t> colours_in(const Parsed& p)
{
    std::set<std::uint32_t> seen;
    for (std::size_t i = 0; i < p.image.pixels.size(); ++i)
        if (p.image.opaque[i])
            seen.insert(p.image.pixels[i]);
    return seen;
}

// The committed faces, as the bar shows them: only their top left 23 x 23
// is opaque, in the colours of their state.
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
        const Parsed p = parse(resource_bytes(id));
        ASSERT_TRUE(p.ok) << p.error;
        ASSERT_EQ(p.image.width, 32);
        ASSERT_EQ(p.image.height, 32);
        EXPECT_EQ(p.image.opaque, square);
        EXPECT_EQ(colours_in(p), colours);
        const bool pressed_rule = id == 107 || id == 111, pause = id == 113 || id == 114 || id == 116;
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 23; ++x) {
                // pressed rule faces sit in a white frame; pause faces are mirror symmetric
                const bool edge = x == 0 || y == 0 || x == 22 || y == 22;
                EXPECT_TRUE(!(pressed_rule && edge) || p.at(x, y) == white) << x << "," << y;
                EXPECT_TRUE(!pause || p.at(x, y) == p.at(22 - x, y)) << x << "," << y;
            }
    }
}

TEST(IcoFile, PicksThe32By32ImageOfTheApplicationIcon)
{
    const Bytes bytes = resource_bytes(IDI_APP);
    ASSERT_GE(bytes.size(), 6u + 32u);
    EXPECT_GE(bytes[4], 2) << "a 32x32 and a 16x16 image";
    const Parsed p = parse(bytes);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.image.width, 32);
    EXPECT_EQ(p.image.height, 32);
    EXPECT_EQ(p.image.opaque[0], 0) << "round: the corners are transparent";
    EXPECT_EQ(p.image.opaque[16 * 32 + 16], 1);
}

TEST(IcoFile, ReadsEightAndFourBitImagesThroughTheirColourTable)
{
    Made m = make_icon(3, 2, 8);
    put(m.bytes, m.table + 4 * 200, 0x123456);  // B, G, R = 56, 34, 12
    put(m.bytes, m.table + 4 * 7, 0xFFABCDEF);  // the unused fourth byte is dropped
    m.bytes[m.pixels + 0] = 200;            // bottom row, x = 0
    m.bytes[m.pixels + m.xor_row + 2] = 7;  // top row, x = 2
    m.bytes[m.mask + m.and_row] = 0x40;     // top row, x = 1 transparent
    Parsed p = parse(m.bytes);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.image.width, 3);
    EXPECT_EQ(p.image.height, 2);
    EXPECT_EQ(p.image.pixels, (std::vector<std::uint32_t>{0, 0, 0xABCDEF, 0x123456, 0, 0}));
    EXPECT_EQ(p.image.opaque, (std::vector<std::uint8_t>{1, 0, 1, 1, 1, 1}));

    m = make_icon(3, 1, 4);  // high nibble first
    put(m.bytes, m.table + 4 * 1, 0x111111);
    put(m.bytes, m.table + 4 * 15, 0xFFFFFF);
    m.bytes[m.pixels] = 0xF1;
    m.bytes[m.pixels + 1] = 0xF0;
    p = parse(m.bytes);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.image.pixels, (std::vector<std::uint32_t>{0xFFFFFF, 0x111111, 0xFFFFFF}));
}

TEST(IcoFile, ThirtyTwoBitImagesAreOpaqueWhereAlphaIsHighAndTheMaskAgrees)
{
    Made m = make_icon(4, 1, 32);
    const std::uint8_t bgra[] = {1, 2, 3, 255, 4, 5, 6, 128, 7, 8, 9, 127, 10, 11, 12, 255};
    std::copy(std::begin(bgra), std::end(bgra), m.bytes.begin() + static_cast<std::ptrdiff_t>(m.pixels));
    m.bytes[m.mask] = 0x10;  // x = 3 masked out
    Parsed p = parse(m.bytes);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.image.pixels, (std::vector<std::uint32_t>{0x030201, 0x060504, 0x090807, 0x0C0B0A}));
    EXPECT_EQ(p.image.opaque, (std::vector<std::uint8_t>{1, 1, 0, 0}));

    // Without alpha the mask alone decides; without a mask the alpha does.
    Made no_alpha = make_icon(2, 1, 32);
    no_alpha.bytes[no_alpha.mask] = 0x40;  // x = 1 transparent
    Made no_mask = make_icon(2, 1, 32, false);
    no_mask.bytes[no_mask.pixels + 3] = 200;
    for (const Made* made : {&no_alpha, &no_mask}) {
        p = parse(made->bytes);
        ASSERT_TRUE(p.ok) << p.error;
        EXPECT_EQ(p.image.opaque, (std::vector<std::uint8_t>{1, 0}));
    }
}

TEST(IcoFile, RefusesEachKindOfBrokenFileSayingWhy)
{
    const Bytes good = make_icon(4, 4, 4).bytes;  // 158 bytes, the image from 22
    for (std::size_t n = 0; n < good.size(); ++n) {
        const Parsed p = parse(first_bytes(good, n));
        EXPECT_FALSE(p.ok) << n;
        EXPECT_EQ(p.error, n < 6 ? "icon file: shorter than its header"
                           : n < 22 ? "icon file: image directory is truncated"
                                    : "icon file: image lies past the end of the file")
            << n;
        EXPECT_EQ(p.image.width, 0) << "left untouched";
    }
    const char *not_icon = "not an icon (wrong reserved or type field)", *past_end = "image lies past the end of the file",
               *header = "image header has a bad size", *size = "image has an impossible size",
               *depth = "only 4-, 8- and 32-bit images are supported", *table = "colour table is larger than the depth allows";
    const Corruption cases[] = {
        {"reserved", 0, 2, 1, not_icon},                    {"cursor type", 2, 2, 2, not_icon},
        {"no images", 4, 2, 0, "holds no images"},          {"many images", 4, 2, 0xFFFF, "image directory is truncated"},
        {"length", 14, 4, 0xFFFFFFF0, past_end},            {"offset", 18, 4, 0xFFFFFFF0, past_end},
        {"offset past end", 18, 4, 40, past_end},           {"short image", 14, 4, 30, "image header is truncated"},
        {"header size", 22, 4, 12, header},                 {"huge header", 22, 4, 0x7FFFFFFF, header},
        {"zero width", 26, 4, 0, size},                     {"negative width", 26, 4, 0xFFFFFFFF, size},
        {"width 257", 26, 4, 257, size},                    {"height 257", 30, 4, 514, size},
        {"odd height", 30, 4, 7, size},                     {"zero height", 30, 4, 0, size},
        {"negative height", 30, 4, 0xFFFFFFF8, size},       {"depth 1", 36, 2, 1, depth},
        {"depth 24", 36, 2, 24, depth},                     {"compressed", 38, 4, 1, "compressed images are not supported"},
        {"huge table", 54, 4, 0xFFFFFFFF, table},           {"table past depth", 54, 4, 17, table},
        {"pixels cut", 14, 4, 110, "image pixels are truncated"}, {"mask cut", 14, 4, 130, "image mask is truncated"}};
    for (const Corruption& c : cases) {
        const Parsed p = parse(corrupted(good, c));
        EXPECT_FALSE(p.ok) << c.what;
        EXPECT_EQ(p.error, std::string("icon file: ") + c.error) << c.what;
    }
    Bytes png = good;
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::copy(signature, signature + 8, png.begin() + 22);
    EXPECT_EQ(parse(png).error, "icon file: PNG-compressed images are not supported");
    EXPECT_TRUE(parse(make_icon(256, 256, 4).bytes).ok) << "256 pixels a side is the most";
}

}  // namespace
