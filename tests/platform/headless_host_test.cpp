// The headless host under the real portable window system, and the pictures the toy keeps, whose names
// never replace a file or leave half of one (keys_cli.sh checks the folders they go to).
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "platform/canvas.h"
#include "platform/headless/framebuffer_capture.h"
#include "platform/headless/headless_host.h"
#include "platform/headless/script_input.h"
#include "platform/headless/virtual_clock.h"
#include "platform/portable/events.h"
#include "platform/picture_files.h"
#include "platform/portable/window_testing.h"

namespace fs = std::filesystem;

namespace {

struct Folder {
    fs::path path = fs::temp_directory_path() / ("modra-test-" + std::to_string(::getpid()));
    Folder() { fs::create_directories(path); }
    ~Folder() { fs::remove_all(path); }
    std::set<std::string> names() const
    {
        std::set<std::string> n;
        for (const auto& e : fs::directory_iterator(path)) n.insert(e.path().filename().string());
        return n;
    }
};

std::string bytes_of(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

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
    void TearDown() override { reset_window_system(); reset_headless_host(); }
    WindowHandle main_window = nullptr;
};

TEST_F(HeadlessHostTest, RecordsPlacementAndMessageBoxesAndAnswersTheDesktop)
{
    const HeadlessHost& host = headless_host();
    EXPECT_GE(host.placements, 1);
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
    const Folder folder;
    const fs::path& dir = folder.path;
    std::string error;
    const std::pair<const char*, const char*> bad[] = {{"window.bmp", ".png or .ppm"}, {"missing/window.png", "cannot write"}};
    for (const auto& [name, why] : bad) {
        EXPECT_FALSE(capture_framebuffer((dir / name).string(), error)) << name;
        EXPECT_NE(error.find(why), std::string::npos) << error;
    }
    const std::string ppm = (dir / "window.ppm").string(), png = (dir / "window.png").string();
    ASSERT_TRUE(capture_framebuffer(ppm, error)) << error;
    ASSERT_TRUE(capture_framebuffer(png, error)) << error;
    EXPECT_EQ(folder.names().size(), 2u) << "and nothing else";
    const std::string bytes = bytes_of(ppm);
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
    reset_window_system();
    EXPECT_FALSE(capture_framebuffer(png, error));
    EXPECT_NE(error.find("no window"), std::string::npos) << error;
}

bool save(const std::string& folder, std::string& path, std::string& error, std::uint32_t colour = 0x00FF8000)
{
    const std::vector<std::uint32_t> pixels(4 * 3, colour);
    return save_new_png(folder, "modra-20261208-101500", pixels.data(), 4, 3, 16, path, error);
}

TEST(PictureFiles, EachSaveTakesTheNextFreeNameAndLeavesTheOthersAlone)
{
    Folder folder;
    std::ofstream(folder.path / "modra-20261208-101500-2.png") << "someone else's";
    std::string path, error;
    const char* expected[] = {"modra-20261208-101500.png", "modra-20261208-101500-3.png", "modra-20261208-101500-4.png"};
    for (const char* name : expected) {
        ASSERT_TRUE(save(folder.path.string(), path, error)) << error;
        EXPECT_EQ(path, (folder.path / name).string());
    }
    EXPECT_EQ(bytes_of(folder.path / "modra-20261208-101500-2.png"), "someone else's");
    const std::string png = bytes_of(folder.path / expected[0]);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(bytes_of(folder.path / expected[2]), png);
    EXPECT_EQ(folder.names().size(), 4u) << "no temporary file is left";
}

TEST(PictureFiles, AFolderThatCannotTakeThePictureIsToldAndNothingIsLeft)
{
    Folder folder;
    std::ofstream(folder.path / "a file") << "x";
    for (const fs::path& bad : {folder.path / "missing", folder.path / "a file"}) {
        std::string path, error;
        EXPECT_FALSE(save(bad.string(), path, error));
        EXPECT_EQ(error.rfind("cannot save a picture in " + bad.string() + ": ", 0), 0u) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
    EXPECT_EQ(folder.names(), std::set<std::string>{"a file"});
}

}  // namespace
