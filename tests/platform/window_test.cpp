// The portable window system on a test host, which records what it is told and answers with fixed values.
// A "probe" class logs every message it gets and lets a test decide how each one is handled.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/clock.h"
#include "platform/portable/events.h"
#include "platform/portable/host.h"
#include "platform/portable/icon.h"
#include "platform/portable/surface_testing.h"
#include "platform/portable/window_testing.h"
#include "platform/surface.h"

struct TestPlacement { std::string title; Rect screen; bool visible = false; };

struct TestHost {
    std::vector<TestPlacement> placements;
    std::vector<Rect> changes;      // framebuffer areas reported changed
    std::function<void()> on_poll;  // runs inside peek_message, as a host's event pump would
    Cursor cursor = Cursor::arrow;
};
inline TestHost test_host;

using Ids = std::vector<std::uint32_t>;
inline std::vector<Message> message_log;
// A value handles the message; nothing passes it to the default procedure.
inline std::function<std::optional<std::intptr_t>(WindowHandle, std::uint32_t)> handler;

inline std::intptr_t probe_proc(WindowHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp)
{
    message_log.push_back({w, m, wp, lp});
    if (const auto result = handler ? handler(w, m) : std::nullopt)
        return *result;
    return default_window_proc(w, m, wp, lp);
}

inline Ids ids(const std::vector<Message>& log, WindowHandle window = nullptr)
{
    Ids out;
    for (const Message& m : log)
        if (!window || m.window == window)
            out.push_back(m.message);
    return out;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_window_system();
        test_host = TestHost{};
        message_log.clear();
        handler = nullptr;
        ASSERT_TRUE(register_class({"probe", probe_proc}));
        ASSERT_TRUE(register_class({"redrawing", probe_proc, true}));
    }
    void TearDown() override { reset_window_system(); }

    // A shown main window at screen (100, 50), its first paint done.
    static WindowHandle make_main(std::int32_t width = 200, std::int32_t height = 150)
    {
        WindowHandle w = create_window("probe", "main", WindowStyle::main, 100, 50, width, height, nullptr, 0);
        show_window(w);
        validate(w, nullptr);
        message_log.clear();
        return w;
    }
    static WindowHandle make_child(WindowHandle parent, Rect r, std::int32_t id = 1, const char* cls = "probe")
    {
        WindowHandle w = create_window(cls, "child", WindowStyle::visible_child, r.left, r.top, rect_width(r),
                                       rect_height(r), parent, id);
        validate(w, nullptr);
        return w;
    }
    static std::vector<Message> pump(int limit = 50)
    {
        std::vector<Message> taken;
        for (Message m; limit-- > 0 && peek_message(m); dispatch_message(m))
            taken.push_back(m);
        return taken;
    }
    static std::uint32_t pixel(std::int32_t x, std::int32_t y)
    {
        const Framebuffer fb = top_level_framebuffer();
        return fb.pixels[static_cast<std::size_t>(y * (fb.pitch / 4) + x)];
    }
};

void host_poll_events() { test_host.on_poll ? test_host.on_poll() : void(); }
void host_queue_idle() {}
void host_set_cursor(Cursor cursor) { test_host.cursor = cursor; }
void host_top_level_placed(const char* title, const Rect& r, bool shown) { test_host.placements.push_back({title, r, shown}); }
void host_framebuffer_changed(const Framebuffer&, const Rect& dirty) { test_host.changes.push_back(dirty); }
void host_message_box(const char*, const char*, bool) {}
void host_title_changed(const char*) {}
bool host_set_full_screen(bool) { return true; }
Rect host_screen_rect() { return {0, 0, 1920, 1080}; }
Rect host_work_area() { return {0, 0, 1280, 1024}; }
std::int32_t host_colour_depth() { return 32; }

namespace {

using Windows = WindowTest;

TEST_F(Windows, CreationSeesTheFinishedWindowAndMinusOneUndoesIt)
{
    EXPECT_FALSE(register_class({"probe", probe_proc}));
    EXPECT_FALSE(register_class({nullptr, probe_proc}));
    EXPECT_FALSE(register_class({"no procedure", nullptr}));
    EXPECT_EQ(create_window("unknown", "", WindowStyle::main, 0, 0, 10, 10, nullptr, 0), nullptr);
    WindowHandle main = make_main();
    Rect client;
    Point screen;
    std::int32_t id = -1;
    std::intptr_t result = 0;
    handler = [&](WindowHandle w, std::uint32_t m) -> std::optional<std::intptr_t> {
        if (m != wm_create)
            return {};
        client = client_rect(w);
        id = child_id(w);
        screen = client_to_screen(w, {1, 2});
        return result;
    };
    WindowHandle child = make_child(main, {10, 20, 40, 35}, 7);
    EXPECT_EQ(ids(message_log, child).front(), wm_create);
    EXPECT_EQ(client, (Rect{0, 0, 30, 15}));
    EXPECT_EQ(id, 7);
    EXPECT_EQ(screen, (Point{111, 72}));
    EXPECT_EQ(window_rect(child), (Rect{110, 70, 140, 85}));
    message_log.clear();
    result = -1;
    EXPECT_EQ(make_child(main, {0, 0, 10, 10}), nullptr);
    EXPECT_EQ(ids(message_log), (Ids{wm_create, wm_destroy}));
    EXPECT_EQ(message_log[1].window, message_log[0].window);
    handler = nullptr;
    EXPECT_TRUE(pump().empty());  // nothing left of it in the queue
}

TEST_F(Windows, DestroyGoesParentFirstAndForgetsTimersMessagesAndCapture)
{
    WindowHandle main = make_main();
    WindowHandle a = make_child(main, {0, 0, 10, 10}, 1);
    WindowHandle b = make_child(main, {20, 0, 30, 10}, 2);
    set_timer(a, 1, 10);
    set_capture(b);
    inject_pointer(wm_mousemove, {25, 5}, 0);
    invalidate(a, nullptr, true);
    message_log.clear();
    EXPECT_TRUE(destroy_window(main));
    EXPECT_EQ(ids(message_log), (Ids{wm_destroy, wm_destroy, wm_destroy}));
    EXPECT_EQ(message_log[0].window, main);
    EXPECT_EQ(message_log[1].window, a);
    EXPECT_FALSE(destroy_window(main));
    EXPECT_EQ(top_level_framebuffer().pixels, nullptr);
    EXPECT_FALSE(test_host.placements.back().visible);
    sleep_ms(100);
    EXPECT_TRUE(pump().empty());
}

TEST_F(Windows, PlacementOfTheMainWindowReachesTheHostAndTheUsersDoesNotComeBack)
{
    WindowHandle main = create_window("probe", "Modra", WindowStyle::main, use_default_position,
                                      use_default_position, 300, 200, nullptr, 0);
    EXPECT_EQ(window_rect(main), (Rect{64, 64, 364, 264}));
    EXPECT_TRUE(test_host.placements.empty());  // not shown yet
    show_window(main);
    ASSERT_EQ(test_host.placements.size(), 1u);
    EXPECT_TRUE(test_host.placements[0].visible);
    EXPECT_EQ(test_host.placements[0].title, "Modra");
    Canvas* c = get_canvas(main);
    select_brush(c, create_brush(0x123456));
    rectangle(c, 0, 0, 300, 200);
    release_canvas(main, c);
    set_window_pos(main, 0, 0, 310, 180, true, false);
    EXPECT_EQ(client_rect(main), (Rect{0, 0, 310, 180}));
    EXPECT_EQ(test_host.placements.back().screen, (Rect{64, 64, 374, 244}));
    EXPECT_EQ(top_level_framebuffer().width, 310);
    EXPECT_EQ(pixel(150, 150), 0x123456u) << "the pixels the framebuffer keeps";
    EXPECT_EQ(pixel(305, 10), 0u);
    message_log.clear();
    inject_resize(120, 60);
    inject_move(300, 200);
    ASSERT_EQ(ids(message_log), (Ids{wm_size, wm_move}));
    EXPECT_EQ(message_log[0].lparam, 60 << 16 | 120);
    EXPECT_EQ(point_from_lparam(message_log[1].lparam), (Point{300, 200}));
    EXPECT_EQ(top_level_framebuffer().height, 60);
    EXPECT_EQ(client_to_screen(main, {0, 0}), (Point{300, 200}));
    EXPECT_EQ(test_host.placements.size(), 2u);
}

TEST_F(Windows, MovingAChildSendsMoveAndSizeAndRepaintsWhatItUncovered)
{
    WindowHandle main = make_main();
    WindowHandle child = make_child(main, {10, 10, 50, 30});
    message_log.clear();
    EXPECT_TRUE(move_window(child, 20, 10, 60, 40, true));
    ASSERT_EQ(ids(message_log, child), (Ids{wm_move, wm_size}));
    EXPECT_EQ(point_from_lparam(message_log[0].lparam), (Point{20, 10}));
    EXPECT_EQ(message_log[1].lparam, 40 << 16 | 60);
    // The parent repaints the strip the child left; the child all of itself.
    const std::vector<Message> paints = pump();
    ASSERT_EQ(paints.size(), 2u);
    EXPECT_EQ(paints[0].window, main);
    EXPECT_EQ(paints[1].window, child);
    // Shrunk without a repaint, only a redrawing class paints; grown, the new column needs paint.
    WindowHandle redrawing = make_child(main, {100, 0, 150, 50}, 2, "redrawing");
    move_window(child, 20, 10, 40, 40, false);
    move_window(redrawing, 100, 0, 140, 40, false);
    std::vector<Message> got = pump();
    ASSERT_EQ(ids(got), (Ids{wm_paint}));
    EXPECT_EQ(got[0].window, redrawing);
    move_window(child, 20, 10, 45, 40, true);
    got = pump();
    ASSERT_EQ(ids(got), (Ids{wm_paint}));
    EXPECT_EQ(got[0].window, child);
}

TEST_F(Windows, HostPolledFirstThenInputThenPaintThenTimersAndPaintIsOwedUntilValidated)
{
    WindowHandle main = make_main();
    set_timer(main, 5, 10);
    sleep_ms(20);
    invalidate(main, nullptr, false);
    inject_pointer(wm_lbuttondown, {3, 4}, mk_lbutton);
    test_host.on_poll = [] {  // the host's input joins the queue before it is read
        inject_pointer(wm_rbuttondown, {0, 0}, mk_rbutton);
        test_host.on_poll = nullptr;
    };
    const std::vector<Message> got = pump(4);
    EXPECT_EQ(ids(got), (Ids{wm_lbuttondown, wm_rbuttondown, wm_paint, wm_timer}));
    EXPECT_EQ(got.at(1).wparam, mk_rbutton);
    EXPECT_EQ(got.at(3).wparam, 5u);
    kill_timer(main, 5);  // paint is owed until validated, and update_window pays it at once
    message_log.clear();
    update_window(main);
    EXPECT_TRUE(message_log.empty());
    invalidate(main, nullptr, false);
    update_window(main);
    EXPECT_EQ(ids(message_log), (Ids{wm_paint}));
    EXPECT_TRUE(pump().empty());  // the default procedure validated it
    // A paint left invalid is asked for again, behind new input.
    handler = [](WindowHandle, std::uint32_t m) { return m == wm_paint ? std::optional<std::intptr_t>(0) : std::nullopt; };
    invalidate(main, nullptr, false);
    EXPECT_EQ(ids(pump(3)), (Ids{wm_paint, wm_paint, wm_paint}));
    inject_pointer(wm_mousemove, {1, 1}, 0);
    EXPECT_EQ(ids(pump(2)), (Ids{wm_mousemove, wm_paint}));
}

TEST_F(Windows, QuitEndsTheLoopWithItsCode)
{
    WindowHandle main = make_main();
    handler = [](WindowHandle, std::uint32_t m) -> std::optional<std::intptr_t> {
        if (m == wm_destroy)
            post_quit(3);
        return {};
    };
    inject_close();  // the default procedure destroys the window on close
    const std::vector<Message> got = pump();
    EXPECT_EQ(ids(message_log, main), (Ids{wm_close, wm_destroy}));
    ASSERT_EQ(ids(got), (Ids{wm_close, wm_quit}));
    EXPECT_EQ(got[1].window, nullptr);
    EXPECT_EQ(got[1].wparam, 3u);
}

TEST_F(Windows, TimersFirstDelayThenEveryPeriodOneMessageWhenLateAndEachIdOnItsOwn)
{
    WindowHandle main = make_main();
    // After each wait, how many messages timer `id` has sent.
    const auto ticks = [](const std::vector<std::uint32_t>& waits_ms, std::uintptr_t id = 1) {
        std::vector<int> counts;
        for (const std::uint32_t ms : waits_ms) {
            sleep_ms(ms);
            counts.push_back(0);
            for (const Message& m : pump())
                counts.back() += m.message == wm_timer && m.wparam == id;
        }
        return counts;
    };
    ASSERT_TRUE(set_timer(main, 1, 500));
    EXPECT_EQ(ticks({499, 1, 499, 1, 5000, 499, 1}), (std::vector<int>{0, 1, 0, 1, 1, 0, 1}));
    sleep_ms(300);
    set_timer(main, 1, 100);  // restarted: the new first delay counts from now, and the old 500 is gone
    EXPECT_EQ(ticks({99, 1, 100, 50}), (std::vector<int>{0, 1, 1, 0}));
    set_timer(main, 2, 100);
    EXPECT_TRUE(kill_timer(main, 1));
    EXPECT_FALSE(kill_timer(main, 1));
    EXPECT_EQ(ticks({100}, 2), (std::vector<int>{1}));
    EXPECT_EQ(ticks({100}, 1), (std::vector<int>{0}));
}

class Pointer : public WindowTest {
protected:
    WindowHandle main = nullptr, left = nullptr, right = nullptr;
    void SetUp() override
    {
        WindowTest::SetUp();
        main = make_main();
        left = make_child(main, {10, 10, 60, 60}, 1);
        right = make_child(main, {100, 10, 150, 60}, 2);
    }
    // The event injected at a point of the main window, as it was handed out.
    static Message at(Point p, std::uint32_t message = wm_mousemove, std::uintptr_t buttons = 0)
    {
        inject_pointer(message, p, buttons);
        std::vector<Message> got = pump();
        std::erase_if(got, [](const Message& m) { return m.message == wm_paint; });
        return got.back();
    }
};

TEST_F(Pointer, GoesToTheShowingChildUnderItInItsClientCoordinates)
{
    const Message got = at({105, 20}, wm_lbuttondown, mk_lbutton);
    EXPECT_EQ(got.window, right);
    EXPECT_EQ(got.message, wm_lbuttondown);
    EXPECT_EQ(point_from_lparam(got.lparam), (Point{5, 10}));
    EXPECT_EQ(got.wparam, mk_lbutton);
    EXPECT_EQ(at({80, 20}).window, main);
    WindowHandle hidden = create_window("probe", "", WindowStyle::child, 160, 10, 20, 20, main, 3);
    EXPECT_EQ(at({165, 15}).window, main);
    show_window(hidden);
    EXPECT_EQ(at({165, 15}).window, hidden);
}

TEST_F(Pointer, CaptureKeepsADragThatLeavesTheWindowAndTheCursorItBeganWith)
{
    ASSERT_TRUE(register_class({"aiming", probe_proc, false, Cursor::cross}));
    WindowHandle sight = make_child(main, {10, 70, 60, 120}, 3, "aiming");
    EXPECT_EQ(at({20, 80}, wm_lbuttondown, mk_lbutton).window, sight);
    EXPECT_EQ(test_host.cursor, Cursor::cross);
    set_capture(sight);
    Message got = at({2, 5}, wm_mousemove, mk_lbutton);  // over the main window
    EXPECT_EQ(got.window, sight);
    EXPECT_EQ(point_from_lparam(got.lparam), (Point{-8, -65}));
    got = at({120, 30}, wm_mousemove, mk_lbutton);  // over another child
    EXPECT_EQ(got.window, sight);
    EXPECT_EQ(point_from_lparam(got.lparam), (Point{110, -40}));
    EXPECT_EQ(test_host.cursor, Cursor::cross);
    release_capture();
    EXPECT_EQ(at({120, 30}, wm_lbuttonup).window, right);
    EXPECT_EQ(test_host.cursor, Cursor::arrow);
}

TEST_F(Pointer, InputQueuedBehindAPressFollowsTheCaptureThePressTook)
{
    // A quick drag out of a window: press and release arrive in one batch.
    handler = [](WindowHandle w, std::uint32_t m) -> std::optional<std::intptr_t> {
        if (m == wm_lbuttondown)
            set_capture(w);
        return std::nullopt;
    };
    inject_pointer(wm_lbuttondown, {20, 20}, mk_lbutton);
    const Message got = at({120, 30}, wm_lbuttonup);
    EXPECT_EQ(got.window, left);
    EXPECT_EQ(point_from_lparam(got.lparam), (Point{110, 20}));
}

// What windows paint, pictures written with 'P' for the pen, 'B' for the brush, '.' for untouched.
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

const Drawing drawings[] = {
    {"RectangleOutlinesItsEdgePixelsAndFillsInsideEitherWayUp",
     [](Canvas* c) { rectangle(c, 1, 1, 6, 5); rectangle(c, 12, 5, 7, 1); }, {0, 0, 13, 6},
     ".............\n"
     ".PPPPP.PPPPP.\n"
     ".PBBBP.PBBBP.\n"
     ".PBBBP.PBBBP.\n"
     ".PPPPP.PPPPP.\n"
     ".............\n"},
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
    // A slider's end arrow: every corner outlined once, the inside filled, symmetric about its apex.
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
