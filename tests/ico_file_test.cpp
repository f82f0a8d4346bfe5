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

Parsed face(int id)
{
    Parsed p = parse(resource_bytes(id));
    EXPECT_TRUE(p.ok) << id << ": " << p.error;
    return p;
}

std::set<std::uint32_t> colours_in(const Parsed& p)
{
    std::set<std::uint32_t> seen;
    for (std::size_t i = 0; i < p.image.pixels.size(); ++i)
        if (p.image.opaque[i])
            seen.insert(p.image.pixels[i]);
    return seen;
}

TEST(IcoFile, FacesAre32By32WithTheTopLeft23By23SquareOpaqueInTheirStatesColours)
{
    using Colours = std::set<std::uint32_t>;
    const Colours lines{black, silver}, framed{black, silver, white};
    const std::pair<int, Colours> faces[] = {
        {105, lines}, {106, {black, white}}, {107, framed}, {108, {black, grey}}, {109, lines}, {110, lines},
        {111, framed}, {112, lines}, {113, lines}, {114, lines}, {115, lines}, {116, lines},
        {140, lines}, {141, lines}, {142, framed}, {143, framed}};
    for (const auto& [id, colours] : faces) {
        const Parsed p = face(id);
        ASSERT_EQ(p.image.width, 32) << id;
        ASSERT_EQ(p.image.height, 32) << id;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                EXPECT_EQ(p.image.opaque[static_cast<std::size_t>(y * 32 + x)], x < 23 && y < 23 ? 1 : 0)
                    << id << " at " << x << "," << y;
        EXPECT_EQ(colours_in(p), colours) << id;
    }
    EXPECT_EQ(face(105).at(0, 0), black);
    for (int id : {107, 111}) {  // pressed rule faces sit in a white frame
        const Parsed p = face(id);
        for (int i = 0; i < 23; ++i)
            EXPECT_TRUE(p.at(i, 0) == white && p.at(i, 22) == white && p.at(0, i) == white && p.at(22, i) == white)
                << id << " at " << i;
    }
    for (int id : {113, 114, 116}) {  // pause faces are mirror symmetric
        const Parsed p = face(id);
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 23; ++x)
                EXPECT_EQ(p.at(x, y), p.at(22 - x, y)) << id << " at " << x << "," << y;
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
    put(m.bytes, m.table + 4 * 7, 0xABCDEF);
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

TEST(IcoFile, RefusesBrokenFilesAndSurvivesDamagedOnes)
{
    const Bytes face_105 = resource_bytes(105);
    ASSERT_FALSE(face_105.empty());
    each_truncation(face_105, [](const Bytes& cut, std::size_t n) {
        const Parsed p = parse(cut);
        EXPECT_FALSE(p.ok) << n;
        EXPECT_EQ(p.error.rfind("icon file: ", 0), 0u) << n;
        EXPECT_EQ(p.image.width, 0) << "left untouched";
    });

    const Bytes good = make_icon(4, 4, 4).bytes;
    each_corrupted_field(good,
                         {{"reserved", 0, 2, 1},           {"cursor type", 2, 2, 2},
                          {"no images", 4, 2, 0},          {"many images", 4, 2, 0xFFFF},
                          {"length", 14, 4, 0xFFFFFFF0},   {"offset", 18, 4, 0xFFFFFFF0},
                          {"offset past end", 18, 4, 40},  {"header size", 22, 4, 12},
                          {"huge header", 22, 4, 0x7FFFFFFF}, {"zero width", 26, 4, 0},
                          {"negative width", 26, 4, 0xFFFFFFFF}, {"huge width", 26, 4, 100000},
                          {"odd height", 30, 4, 7},        {"zero height", 30, 4, 0},
                          {"negative height", 30, 4, 0xFFFFFFF8}, {"depth 1", 36, 2, 1},
                          {"depth 24", 36, 2, 24},         {"compressed", 38, 4, 2},
                          {"huge table", 54, 4, 0xFFFFFFFF}, {"table past depth", 54, 4, 17}},
                         [](const Bytes& bad, const char* what) {
                             const Parsed p = parse(bad);
                             EXPECT_FALSE(p.ok) << what;
                             EXPECT_FALSE(p.error.empty()) << what;
                         });
    Made png = make_icon(4, 4, 4);
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::copy(signature, signature + 8, png.bytes.begin() + 22);
    const Parsed refused = parse(png.bytes);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find("PNG"), std::string::npos) << refused.error;

    // Cut or damaged anywhere, a file that is still accepted is a whole image.
    const auto whole = [](const Bytes& bad, std::size_t at) {
        const Parsed p = parse(bad);
        const auto n = static_cast<std::size_t>(p.image.width * p.image.height);
        EXPECT_TRUE(!p.ok || (p.image.pixels.size() == n && p.image.opaque.size() == n)) << at;
    };
    each_truncation(resource_bytes(IDI_APP), whole);
    each_byte_set_to(resource_bytes(140), {0x00, 0x7F, 0xFF}, whole);
}

}  // namespace
