// modra-saver: which window each form of its command line picks, and the picture scaled to cover a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/x11/cover_scale.h"
#include "programs/modra-saver/saver_options.h"

namespace {

struct Parsed {
    std::string error;
    SaverOptions options;
};

Parsed parse(const std::vector<std::string>& args, const char* environment = nullptr)
{
    Parsed p;
    p.error = parse_saver_options(args, environment, p.options);
    return p;
}

void expect_target(const Parsed& p, X11Target::Kind kind, std::uint32_t window = 0)
{
    EXPECT_EQ(p.error, "");
    EXPECT_EQ(p.options.target.kind, kind);
    if (kind == X11Target::given_window) {
        EXPECT_EQ(p.options.target.window, window);
    }
}

TEST(SaverOptions, EachFormPicksItsWindow)
{
    expect_target(parse({}), X11Target::own_window);
    expect_target(parse({"--root", "-root"}), X11Target::root);  // either form, and said twice
    expect_target(parse({"-window-id", "4194311"}), X11Target::given_window, 4194311);
    expect_target(parse({"--window-id", "0x400007"}), X11Target::given_window, 0x400007);
    expect_target(parse({"-window-id", "0X1aF"}), X11Target::given_window, 0x1AF);
    expect_target(parse({"-window-id", "0xFFFFFFFF"}), X11Target::given_window, 0xFFFFFFFF);
    expect_target(parse({"-desktop"}), X11Target::desktop);
    expect_target(parse({"--desktop"}), X11Target::desktop);
    for (const char* help : {"-h", "-help", "--help"}) {
        const Parsed p = parse({help});
        EXPECT_EQ(p.error, "") << help;
        EXPECT_TRUE(p.options.help) << help;
    }
    EXPECT_FALSE(parse({"-root"}).options.help);
}

// xscreensaver runs "hack -root" with its own window in the environment.
TEST(SaverOptions, XscreensaverWindowStandsForTheScreen)
{
    expect_target(parse({}, "0x600003"), X11Target::given_window, 0x600003);
    expect_target(parse({"-root"}, "6291459"), X11Target::given_window, 6291459);
    expect_target(parse({"-window-id", "77"}, "0x600003"), X11Target::given_window, 77);
    expect_target(parse({"-root"}, ""), X11Target::root);
    expect_target(parse({"-desktop"}, "0x600003"), X11Target::desktop);
    const Parsed bad = parse({"-root"}, "window 7");
    EXPECT_NE(bad.error.find("XSCREENSAVER_WINDOW"), std::string::npos) << bad.error;
    EXPECT_NE(bad.error.find("'window 7'"), std::string::npos) << bad.error;
}

TEST(SaverOptions, BadWindowIdsAreRefused)
{
    for (const char* id : {"", "0", "0x0", "0x", "-5", "+5", " 5", "5 ", "12abc", "0x1g", "0x0x1", "1e3", "x10",
                           "4294967296", "0x100000000", "99999999999999999999"}) {
        std::uint32_t kept = 123;
        EXPECT_FALSE(parse_window_id(id, kept)) << "'" << id << "'";
        EXPECT_EQ(kept, 123u) << "'" << id << "'";
        const Parsed p = parse({"-window-id", id});
        EXPECT_NE(p.error.find("-window-id takes a window id"), std::string::npos) << p.error;
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << p.error;
    }
    EXPECT_EQ(parse({"-window-id"}).error, "-window-id needs a window id");
}

TEST(SaverOptions, AnythingElseIsSaidOnOneLine)
{
    for (const char* option : {"-roots", "root", "---root", "-window", "-r", "-", "", "--", "-fps", "-H"}) {
        const Parsed p = parse({option});
        EXPECT_EQ(p.error, "unknown option '" + std::string(option) + "' (try -help)");
    }
    EXPECT_EQ(parse({"-root", "\n"}).error, "unknown option '\\x0a' (try -help)");
    EXPECT_NE(parse({"-root", "-window-id", "5"}).error, "");
    EXPECT_NE(parse({"-window-id", "5", "--root"}).error, "");
    EXPECT_NE(parse({"-desktop", "-root"}).error, "");
    EXPECT_NE(parse({"-window-id", "5", "-desktop"}).error, "");
}

CoverMap mapped(std::int32_t width, std::int32_t height, std::int32_t source_width = 640,
                std::int32_t source_height = 480)
{
    CoverMap map;
    map_cover(map, source_width, source_height, width, height);
    return map;
}

// Within the picture, never decreasing, every index between its ends shown (none skipped when enlarging),
// and centred: as much cut off before as after, to a pixel.
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
    const CoverMap wide = mapped(1920, 1080);  // rows cut, 60 above and below
    expect_covering(wide.column, 640, 0, 639);
    expect_covering(wide.row, 480, 60, 419);
    const CoverMap tall = mapped(480, 640);  // columns cut, 140 either side
    expect_covering(tall.column, 640, 140, 499);
    expect_covering(tall.row, 480, 0, 479);
    const CoverMap stretched = mapped(2000, 200);  // the width decides
    expect_covering(stretched.column, 640, 0, 639);
    expect_covering(stretched.row, 480, 208, 271);
    const CoverMap exact = mapped(1280, 960);  // the view's own shape: all of it, each pixel twice
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
