// modra-render's command line: what it accepts, in both spellings. What it
// refuses is checked on the real program, in render_cli.sh.
#include <gtest/gtest.h>

#include "app/render_options.h"

namespace {

std::string parse(std::vector<std::string> args, RenderOptions& options) { return parse_render_options(args, options); }

}  // namespace

TEST(RenderOptions, AcceptsEveryOptionInBothSpellings)
{
    RenderOptions o;
    EXPECT_EQ(parse({"--rule", "wave", "--parameter=-2000", "--palette", "7", "--seed", "4294967295", "--frames", "0",
                     "--drop", "240,320", "--drop=-5,700", "--out", "a.PNG", "--dump-field", "f.bin"},
                    o),
              "");
    EXPECT_EQ(o.rule, 1);
    EXPECT_EQ(o.parameter, -2000);
    EXPECT_EQ(o.palette, 7);
    EXPECT_EQ(o.seed, 4294967295u);
    EXPECT_EQ(o.frames, 0);
    ASSERT_EQ(o.drops.size(), 2u);
    EXPECT_EQ(o.drops[1].row, -5);
    EXPECT_EQ(o.drops[1].column, 700);
    EXPECT_EQ(o.out, "a.PNG");
    EXPECT_EQ(o.dump_field, "f.bin");

    RenderOptions windowed;
    EXPECT_EQ(parse({"--script", "-", "--size", "500,400", "--window", "w.ppm"}, windowed), "");
    EXPECT_EQ(windowed.script, "-");
    EXPECT_EQ(windowed.width, 500);
    EXPECT_EQ(windowed.height, 400);
    EXPECT_EQ(windowed.window, "w.ppm");

    RenderOptions defaults;
    EXPECT_EQ(parse({"--out", "x.ppm"}, defaults), "");
    EXPECT_EQ(defaults.rule, 0);
    EXPECT_FALSE(defaults.frames.has_value());
    EXPECT_EQ(defaults.width, 710);
    EXPECT_EQ(defaults.height, 580);
    EXPECT_FALSE(defaults.seed.has_value());
    EXPECT_FALSE(defaults.palette.has_value());

    RenderOptions help;
    EXPECT_EQ(parse({"--help"}, help), "");
    EXPECT_TRUE(help.help);
}
