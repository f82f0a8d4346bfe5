// Where pointer events go, and the look the pointer takes.
#include "window_fixture.h"

namespace {

class Pointer : public WindowTest {
protected:
    WindowHandle main = nullptr;
    WindowHandle left = nullptr;
    WindowHandle right = nullptr;
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

TEST_F(Pointer, GoesToTheChildUnderItInItsClientCoordinates)
{
    const Message got = at({105, 20}, wm_lbuttondown, mk_lbutton);
    EXPECT_EQ(got.window, right);
    EXPECT_EQ(got.message, wm_lbuttondown);
    EXPECT_EQ(point_from_lparam(got.lparam), (Point{5, 10}));
    EXPECT_EQ(got.wparam, mk_lbutton);
    EXPECT_EQ(at({80, 20}).window, main);
}

TEST_F(Pointer, CaptureKeepsADragThatLeavesTheWindow)
{
    EXPECT_EQ(at({20, 20}, wm_lbuttondown, mk_lbutton).window, left);
    set_capture(left);
    Message got = at({2, 5}, wm_mousemove, mk_lbutton);  // over the main window
    EXPECT_EQ(got.window, left);
    EXPECT_EQ(point_from_lparam(got.lparam), (Point{-8, -5}));
    got = at({120, 30}, wm_mousemove, mk_lbutton);  // over the other child
    EXPECT_EQ(got.window, left);
    EXPECT_EQ(point_from_lparam(got.lparam), (Point{110, 20}));
    release_capture();
    EXPECT_EQ(at({120, 30}, wm_lbuttonup).window, right);
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

TEST_F(Pointer, HiddenChildrenAreNotHit)
{
    WindowHandle hidden = create_window("probe", "", WindowStyle::child, 160, 10, 20, 20, main, 3);
    EXPECT_EQ(at({165, 15}).window, main);
    show_window(hidden);
    EXPECT_EQ(at({165, 15}).window, hidden);
}

TEST_F(Pointer, TakesTheCursorOfTheClassUnderItAndKeepsItThroughADrag)
{
    ASSERT_TRUE(register_class({"aiming", probe_proc, false, Cursor::cross}));
    WindowHandle sight = make_child(main, {200, 10, 250, 60}, 3, "aiming");
    at({210, 20}, wm_lbuttondown, mk_lbutton);
    EXPECT_EQ(test_host().cursor, Cursor::cross);
    set_capture(sight);
    at({20, 20}, wm_mousemove, mk_lbutton);
    EXPECT_EQ(test_host().cursor, Cursor::cross) << "a drag keeps the look it began with";
    release_capture();
    at({20, 20});
    EXPECT_EQ(test_host().cursor, Cursor::arrow);
}

}  // namespace
