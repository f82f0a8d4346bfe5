// Where pointer events go.
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
        message_log.clear();
    }
    Logged last()  // the last pointer message handed out
    {
        std::vector<Logged> got = pump();
        std::erase_if(got, [](const Logged& l) { return l.message == wm_paint; });
        return got.back();
    }
};

TEST_F(Pointer, GoesToTheChildUnderItInItsClientCoordinates)
{
    inject_pointer(wm_lbuttondown, {105, 20}, mk_lbutton);
    const Logged got = last();
    EXPECT_EQ(got.window, right);
    EXPECT_EQ(point_from_lparam(got.lparam), (Point{5, 10}));
    EXPECT_EQ(got.wparam, mk_lbutton);

    inject_pointer(wm_mousemove, {80, 20}, 0);
    EXPECT_EQ(last().window, main);
}

TEST_F(Pointer, CaptureKeepsADragThatLeavesTheWindow)
{
    inject_pointer(wm_lbuttondown, {20, 20}, mk_lbutton);
    EXPECT_EQ(last().window, left);
    set_capture(left);

    inject_pointer(wm_mousemove, {2, 5}, mk_lbutton);  // over the main window
    Logged got = last();
    EXPECT_EQ(got.window, left);
    EXPECT_EQ(point_from_lparam(got.lparam), (Point{-8, -5}));

    inject_pointer(wm_mousemove, {120, 30}, mk_lbutton);  // over the other child
    got = last();
    EXPECT_EQ(got.window, left);
    EXPECT_EQ(point_from_lparam(got.lparam), (Point{110, 20}));

    release_capture();
    inject_pointer(wm_lbuttonup, {120, 30}, 0);
    EXPECT_EQ(last().window, right);
}

TEST_F(Pointer, InputQueuedBehindAPressFollowsTheCaptureThePressTook)
{
    // A quick drag out of a window: press and release arrive in one batch.
    handler = [](WindowHandle w, std::uint32_t m, std::uintptr_t, std::intptr_t) -> std::optional<std::intptr_t> {
        if (m == wm_lbuttondown)
            set_capture(w);
        return std::nullopt;
    };
    inject_pointer(wm_lbuttondown, {20, 20}, mk_lbutton);
    inject_pointer(wm_lbuttonup, {120, 30}, 0);
    const Logged got = last();
    EXPECT_EQ(got.window, left);
    EXPECT_EQ(point_from_lparam(got.lparam), (Point{110, 20}));
}

TEST_F(Pointer, HiddenChildrenAreNotHit)
{
    WindowHandle hidden = create_window("probe", "", WindowStyle::child, 160, 10, 20, 20, main, 3);
    inject_pointer(wm_mousemove, {165, 15}, 0);
    EXPECT_EQ(last().window, main);
    show_window(hidden);
    inject_pointer(wm_mousemove, {165, 15}, 0);
    EXPECT_EQ(last().window, hidden);
}

}  // namespace

TEST_F(Pointer, TakesTheCursorOfTheClassUnderIt)
{
    ASSERT_TRUE(register_class({"aiming", probe_proc, false, Cursor::cross}));
    WindowHandle sight = make_child(main, {200, 10, 250, 60}, 3, "aiming");
    inject_pointer(wm_mousemove, {210, 20}, 0);
    pump();
    EXPECT_EQ(test_host().cursor, Cursor::cross);
    inject_pointer(wm_lbuttondown, {210, 20}, mk_lbutton);
    pump();
    set_capture(sight);
    inject_pointer(wm_mousemove, {20, 20}, mk_lbutton);
    pump();
    EXPECT_EQ(test_host().cursor, Cursor::cross) << "a drag keeps the look it began with";
    release_capture();
    inject_pointer(wm_mousemove, {20, 20}, 0);
    pump();
    EXPECT_EQ(test_host().cursor, Cursor::arrow);
}
