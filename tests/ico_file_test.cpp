// The icon reader on the committed icons, on small icons made here, and on
// every kind of broken file: it must refuse them without reading past the end.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/portable/ico_file.h"
#include "platform/resources.h"
#include "resource_ids.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes resource_bytes(const char* type, int id)
{
    const ResourceBytes r = load_resource(type, id);
    return r.data ? Bytes(r.data, r.data + r.size) : Bytes{};
}

// Parses a copy of exactly `size` bytes, so a read past the end is a
// sanitizer error rather than a lucky read of the next byte.
bool parse_prefix(const Bytes& file, std::size_t size, IcoImage& image, std::string& error)
{
    const Bytes copy(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
    return parse_ico(copy.data(), copy.size(), image, error);
}

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
    put16(m.bytes, 2, 1);
    put16(m.bytes, 4, 1);
    m.bytes[6] = static_cast<std::uint8_t>(width);
    m.bytes[7] = static_cast<std::uint8_t>(height);
    put16(m.bytes, 10, 1);
    put16(m.bytes, 12, static_cast<unsigned>(depth));
    put32(m.bytes, 14, static_cast<std::uint32_t>(body));
    put32(m.bytes, 18, 22);
    put32(m.bytes, 22, 40);
    put32(m.bytes, 26, static_cast<std::uint32_t>(width));
    put32(m.bytes, 30, static_cast<std::uint32_t>(2 * height));
    put16(m.bytes, 34, 1);
    put16(m.bytes, 36, static_cast<unsigned>(depth));
    m.table = 22 + 40;
    m.pixels = m.table + 4 * colours;
    m.mask = m.pixels + m.xor_row * height;
    return m;
}

const int face_ids[] = {105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 140, 141, 142, 143};
constexpr std::uint32_t black = 0x000000, silver = 0xC0C0C0, grey = 0x808080, white = 0xFFFFFF;

IcoImage face(int id)
{
    IcoImage image;
    std::string error;
    const Bytes bytes = resource_bytes("ICON", id);
    EXPECT_TRUE(parse_ico(bytes.data(), bytes.size(), image, error)) << id << ": " << error;
    return image;
}

std::set<std::uint32_t> colours_in(const IcoImage& image)
{
    std::set<std::uint32_t> seen;
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        if (image.opaque[i]) seen.insert(image.pixels[i]);
    return seen;
}

std::uint32_t at(const IcoImage& image, int x, int y) { return image.pixels[static_cast<std::size_t>(y * image.width + x)]; }

TEST(IcoFile, EveryFaceIsA32By32IconShowingOnlyItsTopLeft23By23Square)
{
    for (int id : face_ids) {
        const IcoImage image = face(id);
        ASSERT_EQ(image.width, 32) << id;
        ASSERT_EQ(image.height, 32) << id;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                EXPECT_EQ(image.opaque[static_cast<std::size_t>(y * 32 + x)], x < 23 && y < 23 ? 1 : 0)
                    << id << " at " << x << "," << y;
        for (std::uint32_t c : colours_in(image))
            EXPECT_TRUE(c == black || c == silver || c == grey || c == white) << id << ": " << std::hex << c;
    }
}

TEST(IcoFile, FacesUseTheColoursTheirStatesCallFor)
{
    EXPECT_EQ(colours_in(face(105)), (std::set<std::uint32_t>{black, silver}));
    EXPECT_EQ(colours_in(face(106)), (std::set<std::uint32_t>{black, white}));
    EXPECT_EQ(colours_in(face(108)), (std::set<std::uint32_t>{black, grey}));
    EXPECT_EQ(colours_in(face(140)), (std::set<std::uint32_t>{black, silver}));
    EXPECT_EQ(colours_in(face(142)), (std::set<std::uint32_t>{black, silver, white}));
}

TEST(IcoFile, PressedRuleFacesSitInAWhiteFrame)
{
    for (int id : {107, 111}) {
        const IcoImage image = face(id);
        for (int i = 0; i < 23; ++i) {
            EXPECT_EQ(at(image, i, 0), white) << id;
            EXPECT_EQ(at(image, i, 22), white) << id;
            EXPECT_EQ(at(image, 0, i), white) << id;
            EXPECT_EQ(at(image, 22, i), white) << id;
        }
    }
    EXPECT_EQ(at(face(105), 0, 0), black);
}

TEST(IcoFile, PauseFacesAreMirrorSymmetric)
{
    for (int id : {113, 114, 116}) {
        const IcoImage image = face(id);
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 23; ++x) EXPECT_EQ(at(image, x, y), at(image, 22 - x, y)) << id << " at " << x << "," << y;
    }
}

TEST(IcoFile, PicksThe32By32ImageOfTheApplicationIcon)
{
    const Bytes bytes = resource_bytes("ICON", IDI_APP);
    ASSERT_GE(bytes.size(), 6u + 32u);
    EXPECT_GE(bytes[4], 2) << "a 32x32 and a 16x16 image";
    IcoImage image;
    std::string error;
    ASSERT_TRUE(parse_ico(bytes.data(), bytes.size(), image, error)) << error;
    EXPECT_EQ(image.width, 32);
    EXPECT_EQ(image.height, 32);
    EXPECT_EQ(image.opaque[0], 0) << "round: the corners are transparent";
    EXPECT_EQ(image.opaque[16 * 32 + 16], 1);
}

TEST(IcoFile, ReadsEightBitImagesThroughTheirColourTable)
{
    Made m = make_icon(3, 2, 8);
    put32(m.bytes, m.table + 4 * 200, 0x123456);  // B, G, R = 56, 34, 12
    put32(m.bytes, m.table + 4 * 7, 0xABCDEF);
    m.bytes[m.pixels + 0] = 200;                  // bottom row, x = 0
    m.bytes[m.pixels + m.xor_row + 2] = 7;        // top row, x = 2
    m.bytes[m.mask + m.and_row] = 0x40;           // top row, x = 1 transparent
    IcoImage image;
    std::string error;
    ASSERT_TRUE(parse_ico(m.bytes.data(), m.bytes.size(), image, error)) << error;
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.pixels, (std::vector<std::uint32_t>{0, 0, 0xABCDEF, 0x123456, 0, 0}));
    EXPECT_EQ(image.opaque, (std::vector<std::uint8_t>{1, 0, 1, 1, 1, 1}));
}

TEST(IcoFile, ReadsFourBitImagesHighNibbleFirst)
{
    Made m = make_icon(3, 1, 4);
    put32(m.bytes, m.table + 4 * 1, 0x111111);
    put32(m.bytes, m.table + 4 * 15, 0xFFFFFF);
    m.bytes[m.pixels] = 0xF1;
    m.bytes[m.pixels + 1] = 0xF0;
    IcoImage image;
    std::string error;
    ASSERT_TRUE(parse_ico(m.bytes.data(), m.bytes.size(), image, error)) << error;
    EXPECT_EQ(image.pixels, (std::vector<std::uint32_t>{0xFFFFFF, 0x111111, 0xFFFFFF}));
}

TEST(IcoFile, ThirtyTwoBitImagesAreOpaqueWhereAlphaIsHighAndTheMaskAgrees)
{
    Made m = make_icon(4, 1, 32);
    const std::uint8_t bgra[4][4] = {{1, 2, 3, 255}, {4, 5, 6, 128}, {7, 8, 9, 127}, {10, 11, 12, 255}};
    for (int x = 0; x < 4; ++x)
        for (int k = 0; k < 4; ++k) m.bytes[m.pixels + 4 * static_cast<std::size_t>(x) + static_cast<std::size_t>(k)] = bgra[x][k];
    m.bytes[m.mask] = 0x10;  // x = 3 masked out
    IcoImage image;
    std::string error;
    ASSERT_TRUE(parse_ico(m.bytes.data(), m.bytes.size(), image, error)) << error;
    EXPECT_EQ(image.pixels, (std::vector<std::uint32_t>{0x030201, 0x060504, 0x090807, 0x0C0B0A}));
    EXPECT_EQ(image.opaque, (std::vector<std::uint8_t>{1, 1, 0, 0}));
}

TEST(IcoFile, ThirtyTwoBitImagesWithoutAlphaOrMaskFallBackToTheOther)
{
    Made no_alpha = make_icon(2, 1, 32);
    no_alpha.bytes[no_alpha.mask] = 0x40;  // x = 1 transparent
    IcoImage image;
    std::string error;
    ASSERT_TRUE(parse_ico(no_alpha.bytes.data(), no_alpha.bytes.size(), image, error)) << error;
    EXPECT_EQ(image.opaque, (std::vector<std::uint8_t>{1, 0}));

    Made no_mask = make_icon(2, 1, 32, false);
    no_mask.bytes[no_mask.pixels + 3] = 200;
    ASSERT_TRUE(parse_ico(no_mask.bytes.data(), no_mask.bytes.size(), image, error)) << error;
    EXPECT_EQ(image.opaque, (std::vector<std::uint8_t>{1, 0}));
}

TEST(IcoFile, RefusesEveryTruncationOfAFace)
{
    const Bytes bytes = resource_bytes("ICON", 105);
    ASSERT_FALSE(bytes.empty());
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        IcoImage image;
        std::string error;
        EXPECT_FALSE(parse_prefix(bytes, n, image, error)) << n;
        EXPECT_EQ(error.rfind("icon file: ", 0), 0u) << n;
        EXPECT_EQ(image.width, 0) << "left untouched";
    }
}

TEST(IcoFile, SurvivesEveryTruncationOfTheApplicationIcon)
{
    const Bytes bytes = resource_bytes("ICON", IDI_APP);
    for (std::size_t n = 0; n <= bytes.size(); ++n) {
        IcoImage image;
        std::string error;
        if (parse_prefix(bytes, n, image, error)) {
            EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(image.width * image.height));
        }
    }
}

TEST(IcoFile, RefusesCorruptedFields)
{
    const Bytes good = make_icon(4, 4, 4).bytes;
    struct Case {
        const char* what;
        std::size_t at;
        int width;  // 2 or 4 bytes
        std::uint32_t value;
    };
    const Case cases[] = {
        {"reserved", 0, 2, 1},          {"cursor type", 2, 2, 2},        {"no images", 4, 2, 0},
        {"many images", 4, 2, 0xFFFF},  {"length", 14, 4, 0xFFFFFFF0},   {"offset", 18, 4, 0xFFFFFFF0},
        {"offset past end", 18, 4, 40}, {"header size", 22, 4, 12},      {"huge header", 22, 4, 0x7FFFFFFF},
        {"zero width", 26, 4, 0},       {"negative width", 26, 4, 0xFFFFFFFF}, {"huge width", 26, 4, 100000},
        {"odd height", 30, 4, 7},       {"zero height", 30, 4, 0},       {"negative height", 30, 4, 0xFFFFFFF8},
        {"depth 1", 36, 2, 1},          {"depth 24", 36, 2, 24},         {"compressed", 38, 4, 2},
        {"huge table", 54, 4, 0xFFFFFFFF}, {"table past depth", 54, 4, 17},
    };
    for (const Case& c : cases) {
        Bytes bad = good;
        if (c.width == 2)
            put16(bad, c.at, c.value);
        else
            put32(bad, c.at, c.value);
        IcoImage image;
        std::string error;
        EXPECT_FALSE(parse_ico(bad.data(), bad.size(), image, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(IcoFile, RefusesPngImagesAndNoBytesAtAll)
{
    Made m = make_icon(4, 4, 4);
    const std::uint8_t png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::copy(png, png + 8, m.bytes.begin() + 22);
    IcoImage image;
    std::string error;
    EXPECT_FALSE(parse_ico(m.bytes.data(), m.bytes.size(), image, error));
    EXPECT_NE(error.find("PNG"), std::string::npos) << error;
    EXPECT_FALSE(parse_ico(nullptr, 0, image, error));
}

TEST(IcoFile, NoSingleByteCorruptionOfAFaceCrashes)
{
    const Bytes good = resource_bytes("ICON", 140);
    for (std::size_t i = 0; i < good.size(); ++i)
        for (std::uint8_t v : {std::uint8_t{0x00}, std::uint8_t{0x7F}, std::uint8_t{0xFF}}) {
            Bytes bad = good;
            bad[i] = v;
            IcoImage image;
            std::string error;
            if (parse_ico(bad.data(), bad.size(), image, error)) {
                EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(image.width * image.height));
                EXPECT_EQ(image.opaque.size(), image.pixels.size());
            }
        }
}

}  // namespace
