// The headless host under the real portable window system.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/canvas.h"
#include "platform/headless/framebuffer_capture.h"
#include "platform/headless/headless_host.h"
#include "platform/headless/script_input.h"
#include "platform/headless/virtual_clock.h"
#include "platform/portable/events.h"
#include "platform/portable/window_testing.h"

namespace {

constexpr std::uint32_t child_colour = 0x00C03020;
std::vector<std::string> events;  // what the windows received, in order

void fill_client(WindowHandle window, std::uint32_t colour)
{
    Canvas* canvas = begin_paint(window);
    const Rect r = client_rect(window);
    PenHandle pen = create_pen(colour);
    BrushHandle brush = create_brush(colour);
    select_pen(canvas, pen);
    select_brush(canvas, brush);
    rectangle(canvas, r.left, r.top, r.right, r.bottom);
    end_paint(window, canvas);  // the canvas lets go of the pen and brush
    delete_pen(pen);
    delete_brush(brush);
}

// Logs "down|up|move|size|close CHILD-ID X,Y WPARAM", a size's width and height as X and Y.
std::intptr_t proc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    const int id = child_id(window);
    const char* name = message == wm_lbuttondown ? "down" : message == wm_lbuttonup ? "up"
                       : message == wm_mousemove ? "move" : message == wm_size ? "size"
                       : message == wm_close     ? "close" : nullptr;
    const Point p = point_from_lparam(lparam);
    if (name)
        events.push_back(std::string(name) + ' ' + std::to_string(id) + ' ' + std::to_string(p.x) + ',' +
                         std::to_string(p.y) + ' ' + std::to_string(wparam));
    else if (message == wm_paint)
        fill_client(window, id ? child_colour : 0);
    return name || message == wm_paint ? 0 : default_window_proc(window, message, wparam, lparam);
}

void pump()
{
    for (Message m; peek_message(m);)
        dispatch_message(m);
}

// Pixels of a 40 x 30 RGB picture that are not the windows the fixture made.
int wrong_pixels(const unsigned char* rgb)
{
    int wrong = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x, rgb += 3)
            wrong += (std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2]) !=
                     (x >= 5 && x < 15 && y >= 6 && y < 14 ? child_colour : 0);
    return wrong;
}

// A 40x30 black main window with a 10x8 child at (5, 6).
class HeadlessHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_window_system();
        reset_headless_host();
        headless_host().quiet = true;
        events.clear();
        ASSERT_TRUE(register_class({"HostTest", proc}));
        main_window = create_window("HostTest", "Host test", WindowStyle::main, 100, 50, 40, 30, nullptr, 0);
        ASSERT_NE(create_window("HostTest", "", WindowStyle::visible_child, 5, 6, 10, 8, main_window, 1), nullptr);
        show_window(main_window);
        pump();
    }
    void TearDown() override
    {
        reset_window_system();
        reset_headless_host();
    }
    WindowHandle main_window = nullptr;
};

TEST_F(HeadlessHostTest, RecordsPlacementAndMessageBoxesAndAnswersTheDesktop)
{
    const HeadlessHost& host = headless_host();
    EXPECT_GE(host.placements, 1);
    // Its title and colour depth the app's tests read through the toy.
    EXPECT_TRUE(host.visible);
    EXPECT_EQ(host.placed, (Rect{100, 50, 140, 80}));
    EXPECT_GE(host.framebuffer_changes, 1);
    EXPECT_EQ(work_area(), headless_work_area);
    headless_host().quiet = false;
    ::testing::internal::CaptureStderr();
    message_box("Needs a 32-bit screen.", "Modra");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Modra: Needs a 32-bit screen.\n");
    EXPECT_EQ(host.message_boxes, 1);
    EXPECT_EQ(host.box_title, "Modra");
    EXPECT_EQ(host.box_text, "Needs a 32-bit screen.");
}

TEST_F(HeadlessHostTest, ScriptedInputAndResizesArriveWhenTheClockReachesThem)
{
    const std::int64_t t0 = virtual_clock_now();
    script_pointer(t0 + 20'000, wm_lbuttonup, {9, 10}, 0);
    script_pointer(t0 + 10'000, wm_lbuttondown, {8, 9}, mk_lbutton);
    script_pointer(t0 + 10'000, wm_mousemove, {30, 20}, mk_lbutton);  // same time: after the press
    script_close(t0 + 20'000);
    pump();
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(script_pending(), 4u);
    advance_virtual_clock(10'000);
    pump();
    // Child coordinates for the child, main-window ones for the main window.
    EXPECT_EQ(events, (std::vector<std::string>{"down 1 3,3 1", "move 0 30,20 1"}));
    advance_virtual_clock(10'000);
    pump();
    EXPECT_EQ(events, (std::vector<std::string>{"down 1 3,3 1", "move 0 30,20 1", "up 1 4,4 0", "close 0 0,0 0"}));
    EXPECT_EQ(script_pending(), 0u);
    script_resize(virtual_clock_now(), 64, 48);
    pump();
    EXPECT_EQ(events.back(), "size 0 64,48 0");
    EXPECT_EQ(top_level_framebuffer().width, 64);
}

TEST_F(HeadlessHostTest, CapturesPpmAndPngPixelForPixelOrSaysWhyAndLeavesNoFile)
{
    const auto dir = std::filesystem::temp_directory_path() /
                     ("modra_host_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::string error;
    const std::pair<const char*, const char*> bad[] = {{"window.bmp", ".png or .ppm"}, {"missing/window.png", "cannot write"}};
    for (const auto& [name, why] : bad) {
        EXPECT_FALSE(capture_framebuffer((dir / name).string(), error)) << name;
        EXPECT_NE(error.find(why), std::string::npos) << error;
    }
    const std::string ppm = (dir / "window.ppm").string(), png = (dir / "window.png").string();
    ASSERT_TRUE(capture_framebuffer(ppm, error)) << error;
    ASSERT_TRUE(capture_framebuffer(png, error)) << error;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2) << "and nothing else";
    std::ifstream in(ppm, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string header = "P6\n40 30\n255\n";
    ASSERT_EQ(bytes.size(), header.size() + 40 * 30 * 3);
    ASSERT_EQ(bytes.substr(0, header.size()), header);
    EXPECT_EQ(wrong_pixels(reinterpret_cast<const unsigned char*>(bytes.data() + header.size())), 0);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, png.c_str()));
    image.format = PNG_FORMAT_RGB;
    ASSERT_EQ((std::pair{image.width, image.height}), (std::pair{40u, 30u}));
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    EXPECT_EQ(wrong_pixels(rgb.data()), 0);
    std::filesystem::remove_all(dir);
    reset_window_system();
    EXPECT_FALSE(capture_framebuffer(png, error));
    EXPECT_NE(error.find("no window"), std::string::npos) << error;
}

}  // namespace
