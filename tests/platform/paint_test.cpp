// What windows paint: the canvas's pixel rules, clipping to the window, and
// pixel surfaces presented 1:1 into a window. Pictures are written with 'P'
// for the pen, 'B' for the brush and '.' for untouched.
#include <array>
#include <memory>

#include "platform/portable/icon.h"
#include "platform/portable/surface_testing.h"
#include "platform/surface.h"
#include "window_fixture.h"

namespace {

constexpr std::uint32_t pen_colour = 0xFFFFFF;
constexpr std::uint32_t brush_colour = 0x808080;

// A 2 x 2 icon, kept for the whole run as resource icons are.
IconHandle two_by_two(std::array<std::uint32_t, 4> colours, std::array<std::uint8_t, 4> opaque)
{
    static std::vector<std::unique_ptr<Icon, void (*)(IconHandle)>> made;
    return made.emplace_back(make_icon(2, 2, colours.data(), opaque.data()), destroy_icon).get();
}

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
     // A mark inside, which the hollow rectangle leaves; one column wide; empty, so nothing.
     [](Canvas* c) {
         move_to(c, 1, 1); line_to(c, 2, 1); select_brush(c, hollow_brush());
         rectangle(c, 0, 0, 4, 3); rectangle(c, 5, 0, 6, 3); rectangle(c, 7, 0, 7, 3);
     },
     {0, 0, 8, 3},
     "PPPP.P..\n"
     "PP.P.P..\n"
     "PPPP.P..\n"},
    {"LinesStopBeforeTheirEndPoint",
     // Right, then down from where that one stopped; left; up.
     [](Canvas* c) {
         move_to(c, 1, 0); line_to(c, 5, 0); line_to(c, 5, 3);
         move_to(c, 4, 2); line_to(c, 1, 2); move_to(c, 0, 3); line_to(c, 0, 1);
     },
     {0, 0, 7, 4},
     ".PPPPP.\n"
     ".....P.\n"
     "P.PPPP.\n"
     "P......\n"},
    {"SlopedLinesTakeOnePixelPerStepOfTheLongerAxis",
     [](Canvas* c) { move_to(c, 0, 0); line_to(c, 4, 4); move_to(c, 0, 5); line_to(c, 6, 7); },
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
     [](Canvas* c) { polygon(c, std::array<Point, 3>{{{2, 19}, {20, 19}, {11, 0}}}.data(), 3); },
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
     [](Canvas* c) { draw_icon(c, 3, 1, two_by_two({pen_colour, brush_colour, pen_colour, brush_colour}, {1, 0, 0, 1})); },
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
        for (std::int32_t y = area.top; y < area.bottom; ++y, out += '\n')
            for (std::int32_t x = area.left; x < area.right; ++x)
                out += pixel(x, y) == pen_colour ? 'P' : pixel(x, y) == brush_colour ? 'B' : pixel(x, y) ? '?' : '.';
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
        for (const Point at : {Point{-1, -1}, Point{29, 29}, Point{-1, 40}})
            draw_icon(c, at.x, at.y, two_by_two({colour, colour, colour, colour}, {1, 1, 1, 1}));
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

TEST_F(Clipping, AWindowPaintsOnlyItselfInsideItsParentsAndNeverItsChildren)
{
    paint_everything(child, 0x00FF00);
    EXPECT_EQ(count(0x00FF00, {0, 0, 100, 80}), 30 * 30);
    EXPECT_EQ(count(0x00FF00, {20, 10, 50, 40}), 30 * 30);
    paint_everything(main, 0x0000FF);
    EXPECT_EQ(count(0x00FF00, {20, 10, 50, 40}), 30 * 30);
    EXPECT_EQ(count(0x0000FF, {0, 0, 100, 80}), 100 * 80 - 30 * 30);

    WindowHandle grandchild = make_child(child, {5, 5, 100, 100}, 2);  // reaching beyond its parent
    paint_everything(grandchild, 0xFF0000);
    EXPECT_EQ(count(0xFF0000, {0, 0, 100, 80}), 25 * 25);
    destroy_window(grandchild);
    move_window(child, 80, 60, 40, 40, true);  // and beyond the main window
    paint_everything(child, 0xFFFF00);
    EXPECT_EQ(count(0xFFFF00, {0, 0, 100, 80}), 20 * 20);
}

TEST_F(Clipping, BeginPaintValidatesAndGetCanvasDoesNotAndBothTellTheHostWhatChanged)
{
    invalidate(child, nullptr, false);
    Canvas* c = get_canvas(child);
    rectangle(c, 1, 2, 5, 6);
    draw_icon(c, 6, 7, two_by_two({1, 1, 1, 1}, {1, 1, 1, 1}));
    release_canvas(child, c);
    EXPECT_EQ(test_host.changes, (std::vector<Rect>{{21, 12, 28, 19}}));  // framebuffer coordinates
    ASSERT_EQ(pump(1).size(), 1u);  // still owed a paint; the default procedure pays it
    invalidate(child, nullptr, false);
    end_paint(child, begin_paint(child));
    EXPECT_TRUE(pump().empty());
}

class Surfaces : public WindowTest {
protected:
    DrawDevice* device = nullptr;
    DrawSurface* primary = nullptr;
    DrawSurface* back = nullptr;
    WindowHandle view = nullptr;
    void SetUp() override
    {
        WindowTest::SetUp();
        const WindowHandle main = make_main(120, 100);
        view = make_child(main, {10, 10, 60, 40}, 2);
        make_child(main, {60, 10, 80, 40}, 0);  // a neighbour, which nothing may touch
        DrawClipper* clipper = nullptr;
        ASSERT_EQ(create_draw_device(&device), status_ok);
        ASSERT_EQ(set_cooperative_level(device, view), status_ok);
        ASSERT_EQ(create_primary_surface(device, &primary), status_ok);
        ASSERT_EQ(create_offscreen_surface(device, 64, 48, &back), status_ok);
        ASSERT_EQ(create_clipper(device, &clipper), status_ok);
        ASSERT_EQ(clipper_set_window(clipper, view), status_ok);
        ASSERT_EQ(set_clipper(primary, clipper), status_ok);
        release_clipper(clipper);  // the primary keeps its own reference
    }
    void TearDown() override
    {
        release_surface(back);
        release_surface(primary);
        release_device(device);
        WindowTest::TearDown();
    }
    // Each back-surface pixel names its own position.
    void fill_back()
    {
        LockedPixels locked;
        ASSERT_EQ(lock_surface(back, locked), status_ok);
        for (std::uint32_t y = 0; y < locked.height; ++y)
            for (std::uint32_t x = 0; x < locked.width; ++x)
                static_cast<std::uint32_t*>(locked.pixels)[y * static_cast<std::uint32_t>(locked.pitch) / 4 + x] =
                    0x010000u | y << 8 | x;
        ASSERT_EQ(unlock_surface(back), status_ok);
    }
    // The back surface's top left 50 x 30 onto the view, moved right by `shift`.
    Status present(std::int32_t shift = 0)
    {
        const Rect r = window_rect(view);
        return blit(primary, {r.left + shift, r.top, r.right + shift, r.bottom}, back, {0, 0, 50, 30});
    }
};

TEST_F(Surfaces, LockGivesTheSizeAndAPaddedPitchAndFailsWhenLockedOrTold)
{
    LockedPixels locked;
    ASSERT_EQ(lock_surface(back, locked), status_ok);
    EXPECT_EQ(locked.width, 64u);
    EXPECT_EQ(locked.height, 48u);
    EXPECT_GT(locked.pitch, 64 * 4);
    EXPECT_EQ(lock_surface(back, locked), status_fail);  // already locked
    EXPECT_EQ(unlock_surface(back), status_ok);
    EXPECT_EQ(unlock_surface(back), status_fail);

    fail_next_locks(back, 2);
    EXPECT_EQ(lock_surface(back, locked), status_fail);
    EXPECT_EQ(lock_surface(back, locked), status_fail);
    ASSERT_EQ(lock_surface(back, locked), status_ok);
    fail_next_unlock(back);
    EXPECT_EQ(unlock_surface(back), status_fail);
    EXPECT_EQ(lock_surface(back, locked), status_ok) << "a failed unlock still ends the lock";
    EXPECT_EQ(unlock_surface(back), status_ok);
}

TEST_F(Surfaces, PresentShowsTheTopLeftPartUnscaledInsideTheViewOnly)
{
    fill_back();
    ASSERT_EQ(present(), status_ok);
    EXPECT_EQ(pixel(10, 10), 0x010000u);                  // back (0, 0)
    EXPECT_EQ(pixel(59, 39), 0x010000u | 29 << 8 | 49);  // back (49, 29)
    EXPECT_EQ(pixel(60, 20), 0u);                        // the neighbour is untouched
    EXPECT_EQ(pixel(9, 20), 0u);
    EXPECT_EQ(test_host.changes.back(), (Rect{10, 10, 60, 40}));
    // A destination reaching over the neighbour is still cut at the view.
    ASSERT_EQ(present(30), status_ok);
    EXPECT_EQ(pixel(45, 20), 0x010000u | 10 << 8 | 5);
    EXPECT_EQ(pixel(65, 20), 0u);
    // Rectangles of different sizes, or reaching outside the source, are refused.
    EXPECT_EQ(blit(primary, {0, 0, 10, 10}, back, {0, 0, 10, 11}), status_fail);
    EXPECT_EQ(blit(primary, {0, 0, 70, 10}, back, {0, 0, 70, 10}), status_fail);
}

TEST_F(Surfaces, ALostSurfaceIsRestoredAndWorksAgain)
{
    fill_back();
    mark_surface_lost(back);
    LockedPixels locked;
    EXPECT_EQ(lock_surface(back, locked), status_surface_lost);
    EXPECT_EQ(present(), status_surface_lost);
    fail_next_restore(back);
    EXPECT_EQ(restore_surface(back), status_fail);
    EXPECT_EQ(restore_surface(back), status_ok);
    fill_back();
    EXPECT_EQ(present(), status_ok);
    EXPECT_EQ(pixel(11, 10), 0x010001u);

    lose_all_surfaces();
    EXPECT_EQ(present(), status_surface_lost);
    EXPECT_EQ(restore_surface(primary), status_ok);
    EXPECT_EQ(restore_surface(back), status_ok);
    EXPECT_EQ(present(), status_ok);
}

}  // namespace
