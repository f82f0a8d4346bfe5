// The canvas's pixel rules, read back from the framebuffer. Pictures are
// written with 'P' for the pen, 'B' for the brush and '.' for untouched.
#include "window_fixture.h"

#include <string>

#include "platform/canvas.h"
#include "platform/portable/icon.h"

namespace {

constexpr std::uint32_t pen_colour = 0xFFFFFF;
constexpr std::uint32_t brush_colour = 0x808080;

class CanvasPixels : public WindowTest {
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

TEST_F(CanvasPixels, RectangleOutlinesItsEdgePixelsAndFillsInside)
{
    rectangle(canvas, 1, 1, 6, 5);
    EXPECT_EQ(picture({0, 0, 7, 6}),
              ".......\n"
              ".PPPPP.\n"
              ".PBBBP.\n"
              ".PBBBP.\n"
              ".PPPPP.\n"
              ".......\n");
}

TEST_F(CanvasPixels, UpsideDownRectangleIsTheSameRectangle)
{
    rectangle(canvas, 6, 5, 1, 1);
    const std::string reversed = picture({0, 0, 7, 6});
    rectangle(canvas, 1, 1, 6, 5);
    EXPECT_EQ(reversed, picture({0, 0, 7, 6}));
    EXPECT_EQ(pixel(3, 2), brush_colour);
}

TEST_F(CanvasPixels, HollowBrushLeavesTheInsideAndThinRectanglesAreAllEdge)
{
    select_brush(canvas, hollow_brush());
    rectangle(canvas, 0, 0, 4, 3);
    rectangle(canvas, 5, 0, 6, 3);  // one column wide
    rectangle(canvas, 7, 0, 7, 3);  // empty: nothing
    EXPECT_EQ(picture({0, 0, 8, 3}),
              "PPPP.P..\n"
              "P..P.P..\n"
              "PPPP.P..\n");
}

TEST_F(CanvasPixels, LinesStopBeforeTheirEndPoint)
{
    move_to(canvas, 1, 0);
    line_to(canvas, 5, 0);  // right
    line_to(canvas, 5, 3);  // down, from where the last one stopped
    move_to(canvas, 4, 2);
    line_to(canvas, 1, 2);  // left
    move_to(canvas, 0, 3);
    line_to(canvas, 0, 1);  // up
    EXPECT_EQ(picture({0, 0, 7, 4}),
              ".PPPPP.\n"
              ".....P.\n"
              "P.PPPP.\n"
              "P......\n");
}

TEST_F(CanvasPixels, SlopedLinesTakeOnePixelPerStepOfTheLongerAxis)
{
    move_to(canvas, 0, 0);
    line_to(canvas, 4, 4);
    move_to(canvas, 0, 5);
    line_to(canvas, 6, 7);
    EXPECT_EQ(picture({0, 0, 7, 8}),
              "P......\n"
              ".P.....\n"
              "..P....\n"
              "...P...\n"
              ".......\n"
              "PP.....\n"
              "..PPP..\n"
              ".....P.\n");
}

TEST_F(CanvasPixels, SliderArrowIsOutlinedAtEveryCornerAndFilledInside)
{
    const Point arrow[] = {{2, 19}, {20, 19}, {11, 0}};
    polygon(canvas, arrow, 3);
    EXPECT_EQ(pixel(2, 19), pen_colour);
    EXPECT_EQ(pixel(20, 19), pen_colour);
    EXPECT_EQ(pixel(11, 0), pen_colour);
    const std::string art = picture({0, 0, 23, 21});
    for (std::int32_t y = 0; y < 21; ++y) {
        const std::string row = art.substr(static_cast<std::size_t>(y) * 24, 23);
        EXPECT_EQ(row, std::string(row.rbegin(), row.rend())) << "row " << y;  // symmetric about column 11
        if (y == 20) {
            EXPECT_EQ(row.find_first_not_of('.'), std::string::npos);
            continue;
        }
        // Pen at both ends, brush only in between, nothing outside.
        const auto first = row.find_first_not_of('.');
        const auto last = row.find_last_not_of('.');
        ASSERT_NE(first, std::string::npos) << "row " << y;
        EXPECT_EQ(row[first], 'P');
        EXPECT_EQ(row[last], 'P');
        EXPECT_EQ(row.substr(first, last - first + 1).find('.'), std::string::npos) << "row " << y;
        if (y < 19 && last - first > 2) {
            EXPECT_NE(row.find('B'), std::string::npos) << "row " << y;
        }
    }
    EXPECT_EQ(art.substr(19 * 24, 23), "..PPPPPPPPPPPPPPPPPPP..");
}

TEST_F(CanvasPixels, IconsDrawOnlyTheirOpaquePixels)
{
    const std::uint32_t colours[] = {pen_colour, brush_colour, pen_colour, brush_colour};
    const std::uint8_t opaque[] = {1, 0, 0, 1};
    IconHandle icon = make_icon(2, 2, colours, opaque);
    draw_icon(canvas, 3, 1, icon);
    EXPECT_EQ(picture({2, 0, 6, 4}),
              "....\n"
              ".P..\n"
              "..B.\n"
              "....\n");
    destroy_icon(icon);
    EXPECT_EQ(load_icon(9999), nullptr) << "no such resource";
    ASSERT_NE(load_icon(105), nullptr);
    EXPECT_EQ(load_icon(105), load_icon(105)) << "a resource icon is shared";
    EXPECT_EQ(load_icon(105)->width, 32);
}

TEST_F(CanvasPixels, StockObjectsOutliveDeletionAndSelectionReturnsThePrevious)
{
    delete_pen(white_pen());
    delete_brush(grey_brush());
    PenHandle red = create_pen(0xFF0000);
    EXPECT_EQ(select_pen(canvas, red), white_pen());
    EXPECT_EQ(select_pen(canvas, white_pen()), red);
    delete_pen(red);
    rectangle(canvas, 0, 0, 3, 3);
    EXPECT_EQ(pixel(0, 0), pen_colour);
    EXPECT_EQ(pixel(1, 1), brush_colour);

    EXPECT_EQ(colour_depth(canvas), 32);
    test_host().colour_depth = 16;
    EXPECT_EQ(colour_depth(canvas), 16);
}

}  // namespace
