// The canvas's pixel rules, read back from the framebuffer. Pictures are
// written with 'P' for the pen, 'B' for the brush and '.' for untouched.
#include <string>

#include "platform/canvas.h"
#include "platform/portable/icon.h"
#include "window_fixture.h"

namespace {

constexpr std::uint32_t pen_colour = 0xFFFFFF;
constexpr std::uint32_t brush_colour = 0x808080;

struct Drawing {
    const char* name;
    void (*draw)(Canvas*);  // with the white pen and the grey brush selected
    Rect area;
    const char* picture;
};

constexpr const char* rectangle_1_1_6_5 =
    ".......\n"
    ".PPPPP.\n"
    ".PBBBP.\n"
    ".PBBBP.\n"
    ".PPPPP.\n"
    ".......\n";

const Drawing drawings[] = {
    {"RectangleOutlinesItsEdgePixelsAndFillsInside", [](Canvas* c) { rectangle(c, 1, 1, 6, 5); }, {0, 0, 7, 6},
     rectangle_1_1_6_5},
    {"UpsideDownRectangleIsTheSameRectangle", [](Canvas* c) { rectangle(c, 6, 5, 1, 1); }, {0, 0, 7, 6},
     rectangle_1_1_6_5},
    {"HollowBrushLeavesTheInsideAndThinRectanglesAreAllEdge",
     [](Canvas* c) {
         move_to(c, 1, 1);
         line_to(c, 2, 1);  // a mark inside, which the hollow rectangle leaves
         select_brush(c, hollow_brush());
         rectangle(c, 0, 0, 4, 3);
         rectangle(c, 5, 0, 6, 3);  // one column wide
         rectangle(c, 7, 0, 7, 3);  // empty: nothing
     },
     {0, 0, 8, 3},
     "PPPP.P..\n"
     "PP.P.P..\n"
     "PPPP.P..\n"},
    {"LinesStopBeforeTheirEndPoint",
     [](Canvas* c) {
         move_to(c, 1, 0);
         line_to(c, 5, 0);  // right
         line_to(c, 5, 3);  // down, from where the last one stopped
         move_to(c, 4, 2);
         line_to(c, 1, 2);  // left
         move_to(c, 0, 3);
         line_to(c, 0, 1);  // up
     },
     {0, 0, 7, 4},
     ".PPPPP.\n"
     ".....P.\n"
     "P.PPPP.\n"
     "P......\n"},
    {"SlopedLinesTakeOnePixelPerStepOfTheLongerAxis",
     [](Canvas* c) {
         move_to(c, 0, 0);
         line_to(c, 4, 4);
         move_to(c, 0, 5);
         line_to(c, 6, 7);
     },
     {0, 0, 7, 8},
     "P......\n"
     ".P.....\n"
     "..P....\n"
     "...P...\n"
     ".......\n"
     "PP.....\n"
     "..PPP..\n"
     ".....P.\n"},
    // A slider's end arrow: every corner outlined once, the inside filled,
    // symmetric about its apex column.
    {"SliderArrowIsOutlinedAtEveryCornerAndFilledInside",
     [](Canvas* c) {
         const Point arrow[] = {{2, 19}, {20, 19}, {11, 0}};
         polygon(c, arrow, 3);
     },
     {0, 0, 23, 21},
     "...........P...........\n"
     "...........P...........\n"
     "..........PBP..........\n"
     "..........PBP..........\n"
     ".........PBBBP.........\n"
     ".........PBBBP.........\n"
     "........PBBBBBP........\n"
     "........PBBBBBP........\n"
     ".......PBBBBBBBP.......\n"
     ".......PBBBBBBBP.......\n"
     "......PBBBBBBBBBP......\n"
     "......PBBBBBBBBBP......\n"
     ".....PBBBBBBBBBBBP.....\n"
     ".....PBBBBBBBBBBBP.....\n"
     "....PBBBBBBBBBBBBBP....\n"
     "....PBBBBBBBBBBBBBP....\n"
     "...PBBBBBBBBBBBBBBBP...\n"
     "...PBBBBBBBBBBBBBBBP...\n"
     "..PBBBBBBBBBBBBBBBBBP..\n"
     "..PPPPPPPPPPPPPPPPPPP..\n"
     ".......................\n"},
    {"IconsDrawOnlyTheirOpaquePixels",
     [](Canvas* c) {
         const std::uint32_t colours[] = {pen_colour, brush_colour, pen_colour, brush_colour};
         const std::uint8_t opaque[] = {1, 0, 0, 1};
         IconHandle icon = make_icon(2, 2, colours, opaque);
         draw_icon(c, 3, 1, icon);
         destroy_icon(icon);
     },
     {2, 0, 6, 4},
     "....\n"
     ".P..\n"
     "..B.\n"
     "....\n"},
};
void PrintTo(const Drawing& d, std::ostream* os) { *os << d.name; }

class CanvasPixels : public WindowTest, public ::testing::WithParamInterface<Drawing> {
protected:
    WindowHandle main = nullptr;
    Canvas* canvas = nullptr;
    void SetUp() override
    {
        WindowTest::SetUp();
        main = make_main(40, 30);
        canvas = get_canvas(main);
        select_pen(canvas, white_pen());
        select_brush(canvas, grey_brush());
    }
    void TearDown() override
    {
        release_canvas(main, canvas);
        WindowTest::TearDown();
    }
    static std::string picture(const Rect& area)
    {
        std::string out;
        for (std::int32_t y = area.top; y < area.bottom; ++y) {
            for (std::int32_t x = area.left; x < area.right; ++x) {
                const std::uint32_t p = pixel(x, y);
                out += p == pen_colour ? 'P' : p == brush_colour ? 'B' : p == 0 ? '.' : '?';
            }
            out += '\n';
        }
        return out;
    }
};

TEST_P(CanvasPixels, Rule)
{
    GetParam().draw(canvas);
    EXPECT_EQ(picture(GetParam().area), GetParam().picture);
}

INSTANTIATE_TEST_SUITE_P(Drawings, CanvasPixels, ::testing::ValuesIn(drawings),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CanvasPixels, ResourceIconsAreSharedAndStockObjectsOutliveDeletion)
{
    EXPECT_EQ(load_icon(9999), nullptr) << "no such resource";
    ASSERT_NE(load_icon(105), nullptr);
    EXPECT_EQ(load_icon(105), load_icon(105)) << "a resource icon is shared";
    EXPECT_EQ(load_icon(105)->width, 32);

    delete_pen(white_pen());
    delete_brush(grey_brush());
    PenHandle red = create_pen(0xFF0000);
    EXPECT_EQ(select_pen(canvas, red), white_pen());
    EXPECT_EQ(select_pen(canvas, white_pen()), red);
    delete_pen(red);
    rectangle(canvas, 0, 0, 3, 3);
    EXPECT_EQ(picture({0, 0, 3, 3}), "PPP\nPBP\nPPP\n");
}

}  // namespace
