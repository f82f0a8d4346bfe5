// Windows share one framebuffer; none may paint over another.
#include "platform/canvas.h"
#include "window_fixture.h"

namespace {

class Clipping : public WindowTest {
protected:
    WindowHandle main = nullptr;
    WindowHandle child = nullptr;
    void SetUp() override
    {
        WindowTest::SetUp();
        main = make_main(100, 80);
        child = make_child(main, {20, 10, 50, 40});
    }
    // Everything a canvas can draw, reaching far beyond the window.
    static void paint_everything(WindowHandle w, std::uint32_t colour)
    {
        Canvas* c = begin_paint(w);
        PenHandle pen = create_pen(colour);
        BrushHandle brush = create_brush(colour);
        select_pen(c, pen);
        select_brush(c, brush);
        rectangle(c, -1000, -1000, 1000, 1000);
        move_to(c, -500, -400);
        line_to(c, 700, 600);
        const Point big[] = {{-300, -300}, {400, -200}, {100, 500}};
        polygon(c, big, 3);
        select_pen(c, black_pen());
        select_brush(c, black_brush());
        delete_pen(pen);
        delete_brush(brush);
        end_paint(w, c);
    }
    static int count(std::uint32_t colour, const Rect& area)
    {
        int n = 0;
        for (std::int32_t y = area.top; y < area.bottom; ++y)
            for (std::int32_t x = area.left; x < area.right; ++x)
                n += pixel(x, y) == colour;
        return n;
    }
};

TEST_F(Clipping, AChildPaintsOnlyItselfAndItsParentNeverCoversIt)
{
    paint_everything(child, 0x00FF00);
    EXPECT_EQ(count(0x00FF00, {0, 0, 100, 80}), 30 * 30);
    EXPECT_EQ(count(0x00FF00, {20, 10, 50, 40}), 30 * 30);
    paint_everything(main, 0x0000FF);
    EXPECT_EQ(count(0x00FF00, {20, 10, 50, 40}), 30 * 30);
    EXPECT_EQ(count(0x0000FF, {0, 0, 100, 80}), 100 * 80 - 30 * 30);
}

TEST_F(Clipping, AWindowIsCutAtItsParentsEdges)
{
    WindowHandle grandchild = make_child(child, {5, 5, 100, 100}, 2);  // reaching beyond its parent
    paint_everything(grandchild, 0xFF0000);
    EXPECT_EQ(count(0xFF0000, {0, 0, 100, 80}), 25 * 25);
    destroy_window(grandchild);
    move_window(child, 80, 60, 40, 40, true);  // and beyond the main window
    paint_everything(child, 0x00FF00);
    EXPECT_EQ(count(0x00FF00, {0, 0, 100, 80}), 20 * 20);
}

TEST_F(Clipping, PaintingTellsTheHostWhatChanged)
{
    test_host().changes.clear();
    Canvas* c = begin_paint(child);
    rectangle(c, 1, 2, 5, 6);
    end_paint(child, c);
    EXPECT_EQ(test_host().changes, (std::vector<Rect>{{21, 12, 25, 16}}));  // framebuffer coordinates
}

TEST_F(Clipping, BeginPaintValidatesAndGetCanvasDoesNot)
{
    invalidate(child, nullptr, false);
    release_canvas(child, get_canvas(child));
    ASSERT_EQ(pump(1).size(), 1u);  // still owed a paint; the default procedure pays it
    invalidate(child, nullptr, false);
    end_paint(child, begin_paint(child));
    EXPECT_TRUE(pump().empty());
}

}  // namespace
