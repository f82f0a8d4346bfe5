// modra-saver's command line: the forms xscreensaver and people write, which
// window each one picks (XSCREENSAVER_WINDOW among them), and a clear line
// for everything else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    expect_target(parse({"-root"}), X11Target::root);
    expect_target(parse({"--root", "-root"}), X11Target::root);
    expect_target(parse({"-window-id", "4194311"}), X11Target::given_window, 4194311);
    expect_target(parse({"--window-id", "0x400007"}), X11Target::given_window, 0x400007);
    expect_target(parse({"-window-id", "0X1aF"}), X11Target::given_window, 0x1AF);
    expect_target(parse({"-window-id", "0xFFFFFFFF"}), X11Target::given_window, 0xFFFFFFFF);
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
    expect_target(parse({}, ""), X11Target::own_window);
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
}

}  // namespace
