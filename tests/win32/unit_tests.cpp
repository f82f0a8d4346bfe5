// The Windows-only logic that needs no window of its own, run under Wine.
// Message boxes are real; a hook reads each one and presses its OK button.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/startup.h"
#include "platform/picture.h"
#include "platform/resources.h"
#include "platform/startup_checks.h"
#include "platform/window.h"
#include "platform/win32/directx_check.h"
#include "platform/win32/handles.h"
#include "programs/modra-scr/saver_command.h"
#include "programs/modra-scr/saver_geometry.h"
#include "platform/win32/version_rules.h"
#include "platform/files/video_picture.h"
#include "platform/win32/pcm_sound.h"

namespace {

int passed = 0, failed = 0;

void check(bool ok, const std::string& what)
{
    ++(ok ? passed : failed);
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
    std::fflush(stdout);
}

struct SeenBox {
    std::string title, text;
};
std::vector<SeenBox> boxes;  // every box shown, in order

// A box's modal loop runs on this thread: a hook reads each box as it comes up and presses OK.
LRESULT CALLBACK read_and_dismiss(int code, WPARAM wparam, LPARAM lparam)
{
    HWND box = reinterpret_cast<HWND>(wparam);
    char class_name[32] = {};
    if (code == HCBT_ACTIVATE && GetClassNameA(box, class_name, sizeof class_name) &&
        std::strcmp(class_name, "#32770") == 0) {
        char title[256] = {};
        char text[4096] = {};
        GetWindowTextA(box, title, sizeof title);
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text is its static 0xFFFF
        boxes.push_back({title, text});
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

// Runs `show`, which should put up exactly one box, and returns what it said.
SeenBox box_of(void (*show)())
{
    const std::size_t before = boxes.size();
    show();
    return boxes.size() == before + 1 ? boxes.back() : SeenBox{"(not one box)", ""};
}

void version_rules()
{
    const DirectXVersion wine = parse_directx_version("4.09.00.0904");
    check(wine.first == 4 && wine.second == 9 && wine.third == 0 && wine.fourth == 904,
          "4.09.00.0904 reads as 4, 9, 0, 904");
    // Each number is compared on its own: 8.1 fails (8, 2) though 9.2 passes.
    const struct {
        const char* value;
        std::uint32_t major, minor;
        bool passes;
    } directx[] = {{"4.09.00.0904", 7, 0, true},  {"4.07.00.0700", 7, 0, true}, {"4.06.02.0436", 7, 0, false},
                   {"4.08.01.0881", 8, 2, false}, {"4.09.02.0000", 8, 2, true}, {"", 7, 0, false},
                   {"4", 7, 0, false},            {"four", 7, 0, false}};
    for (const auto& c : directx)
        check(directx_version_sufficient(parse_directx_version(c.value), c.major, c.minor) == c.passes,
              std::string("\"") + c.value + "\" against (" + std::to_string(c.major) + ", " +
                  std::to_string(c.minor) + ")");
    // 2000, XP and later take the DirectX test; 98 and ME (and 3.10, read as 4.10) pass; older is too old.
    const struct {
        std::uint32_t major, minor;
        OsVerdict verdict;
    } systems[] = {{5, 0, OsVerdict::current},        {10, 0, OsVerdict::current},       {4, 10, OsVerdict::windows_98_me},
                   {4, 90, OsVerdict::windows_98_me}, {3, 10, OsVerdict::windows_98_me}, {4, 0, OsVerdict::too_old},
                   {3, 51, OsVerdict::too_old},       {2, 10, OsVerdict::too_old}};
    for (const auto& c : systems)
        check(os_verdict(c.major, c.minor) == c.verdict,
              "Windows " + std::to_string(c.major) + "." + std::to_string(c.minor));
}

void the_real_checks()
{
    // Wine records DirectX 4.09.00.0904: 9.0 is enough, 9.1 and 10.0 are not.
    check(check_directx_version(9, 0) && !check_directx_version(9, 1) && !check_directx_version(10, 0),
          "check_directx_version reads 9.0 from the registry");
    const std::size_t before = boxes.size();
    check(check_platform() && boxes.size() == before, "check_platform passes on this system, with no box");
}

void show_error_boxes()
{
    static std::string long_text;  // 2000 characters
    for (int i = 0; i < 2000; ++i)
        long_text += static_cast<char>('a' + i % 26);
    const struct {
        const char* what;
        void (*show)();
        std::string title, text;
    } cases[] = {
        {"the colour box", [] { show_error("Sorry", "This program requires %2u bit colour.", 32u); }, "Sorry",
         "This program requires 32 bit colour."},
        {"a 2000-character text is cut to its first 1023", [] { show_error("Long", "%s", long_text.c_str()); },
         "Long", long_text.substr(0, 1023)},
        {"message_box puts the text in the box and the title on it",
         [] { message_box("Failed to Create Window", "Window Creation Failure"); }, "Window Creation Failure",
         "Failed to Create Window"},
    };
    for (const auto& c : cases) {
        const SeenBox box = box_of(c.show);
        char got[128];
        std::snprintf(got, sizeof got, " (got \"%s\", %zu characters: \"%.40s\")", box.title.c_str(), box.text.size(),
                      box.text.c_str());
        check(box.title == c.title && box.text == c.text, std::string(c.what).append(got));
    }
}

void resources()
{
    const ResourceBytes palettes = load_resource("MYCMAP", 124);
    check(palettes.data != nullptr && palettes.size == 50 * 768, "MYCMAP 124 holds 50 palettes of 768 bytes");
    free_resource(palettes);
    PictureBits picture, missing;
    check(load_picture_bits(118, picture) && picture.width == 640 && picture.height == 480 &&
              picture.bytes_per_row == 80 && picture.bits.size() == 480u * 80u,
          "bitmap 118, the title picture, is 640 x 480, 80 bytes a row");
    std::size_t set = 0;
    for (const std::uint8_t b : picture.bits) set += static_cast<std::size_t>(__builtin_popcount(b));
    check(set > 0 && set < 640u * 480u, "the title picture has both colours");
    for (const int id : {101, 105, 116, 140, 143})
        check(load_icon(id) != nullptr, "icon " + std::to_string(id) + " loads");
    check(!load_resource("MYCMAP", 125).data && !load_picture_bits(119, missing) && !load_icon(117),
          "MYCMAP 125, bitmap 119 and icon 117 do not exist");
}

// Every way Windows and its users write the commands, and what is refused, the argument kept for the box.
void saver_command_lines()
{
    const struct {
        const char* line;
        SaverMode mode;
        std::uint64_t window;
    } cases[] = {
        {"", SaverMode::settings, 0},         {"  \t", SaverMode::settings, 0},   {"/s", SaverMode::run, 0},
        {"/S", SaverMode::run, 0},            {"-s", SaverMode::run, 0},           {" -S \t", SaverMode::run, 0},
        {"/p 1234", SaverMode::preview, 1234}, {"/P:1234", SaverMode::preview, 1234},
        {"-p   66070", SaverMode::preview, 66070}, {"/p: 42", SaverMode::preview, 42},
        {"/p 18446744073709551615", SaverMode::preview, UINT64_MAX}, {"/c", SaverMode::settings, 0},
        {"-C", SaverMode::settings, 0}, {"/c:5678", SaverMode::settings, 5678}, {"/c 5678", SaverMode::settings, 5678},
        {"/?", SaverMode::help, 0},           {"--help", SaverMode::help, 0},      {"--version", SaverMode::version, 0},
    };
    for (const auto& c : cases) {
        const SaverCommand got = parse_saver_command(c.line);
        check(got.mode == c.mode && got.window == c.window,
              std::string("\"") + c.line + "\" reads as mode " + std::to_string(static_cast<int>(c.mode)) +
                  ", window " + std::to_string(c.window) + " (got " + std::to_string(static_cast<int>(got.mode)) +
                  ", " + std::to_string(got.window) + ")");
    }
    // A value where none belongs, none where one must be, and anything else.
    for (const char* bad : {"/p", "/p:", "/p abc", "/p 12x", "/p 0", "/p 18446744073709551616", "/p -5", "/s 5",
                            "/sx", "/x", "s", "/", "--s", "/? 1", "/a", "/c:abc", "/c 1 2", "/S /P 12"}) {
        const SaverCommand got = parse_saver_command(bad);
        check(got.mode == SaverMode::bad && got.argument == bad,
              std::string("\"") + bad + "\" is refused, naming itself (got \"" + got.argument + "\")");
    }
    check(parse_saver_command("  /x  ").argument == "/x", "the refused argument is given trimmed");
}

void saver_geometry()
{
    // The picture covers the area, centred, cropped one way only, at most a pixel beyond the exact scale.
    const struct {
        std::int32_t width, height;
        Rect cover;
    } cases[] = {
        {640, 480, {0, 0, 640, 480}},         {1024, 768, {0, 0, 1024, 768}},
        {1920, 1080, {0, -180, 1920, 1260}},  {1080, 1920, {-740, 0, 1820, 1920}},
        {5760, 1080, {0, -1620, 5760, 2700}}, {152, 112, {0, -1, 152, 113}},
        {300, 150, {0, -37, 300, 188}},       {1, 1, {0, 0, 2, 1}},
        {0, 768, {}},                         {1024, -1, {}},
    };
    for (const auto& c : cases) {
        const Rect r = cover_rect(c.width, c.height, 640, 480);
        char got[96];
        std::snprintf(got, sizeof got, " (got %d, %d, %d, %d)", r.left, r.top, r.right, r.bottom);
        check(r == c.cover, std::to_string(c.width) + " x " + std::to_string(c.height) + " is covered as expected" + got);
    }
    // From the first place seen: 4 pixels is jitter, 4.3 (3, 3) a move.
    const struct {
        Point at;
        bool moved;
    } path[] = {{{500, 400}, false}, {{501, 400}, false}, {{504, 400}, false}, {{496, 400}, false},
                {{500, 404}, false}, {{503, 402}, false}, {{503, 403}, true},  {{500, 395}, true},
                {{505, 400}, true},  {{-30000, -30000}, true}};
    PointerWatch watch;
    for (const auto& step : path)
        check(pointer_moved_away(watch, step.at) == step.moved,
              "the pointer at " + std::to_string(step.at.x) + ", " + std::to_string(step.at.y) +
                  (step.moved ? " has moved" : " has not moved"));
}

// The video's sound: channels past the first two left out, the rate
// halved across blocks of any size, out of range clamped.
void video_sound()
{
    PcmSound sound = pcm_sound(96000, 6);
    std::vector<float> in;
    for (int i = 0; i < 120; ++i)
        for (int c = 0; c < 6; ++c)
            in.push_back((c == 1 ? -1.0f : 1.0f) * static_cast<float>(i) / 128.0f);
    std::vector<std::int16_t> out;
    const int blocks[] = {7, 1, 1, 40, 71};
    const float* at = in.data();
    for (int frames : blocks) {
        convert_sound(sound, at, frames, out);
        at += frames * 6;
    }
    bool right = sound.rate == 48000 && sound.channels == 2 && out.size() == 2 * 60;
    for (std::size_t k = 0; right && k < 60; ++k)
        right = out[2 * k] == std::lround(2 * k * 32767 / 128.0) && out[2 * k + 1] == -out[2 * k];
    check(right, "96 kHz of six channels becomes 48 kHz of the first two, across the joins");
    PcmSound loud = pcm_sound(44100, 1);
    const float beyond[] = {2.0f, -2.0f};
    out.clear();
    convert_sound(loud, beyond, 2, out);
    check(loud.rate == 44100 && out == std::vector<std::int16_t>{32767, -32767}, "44.1 kHz is kept, and clamped");
}

// NV12, as the video encoder is given it: Cb and Cr take turns on a row.
void video_picture()
{
    const std::uint8_t indices[] = {0, 1};
    const std::uint32_t palette[256] = {0xFF0000, 0x0000FF};
    std::uint8_t y[2 * 4], chroma[4] = {};
    fill_video_picture(indices, palette, 2, 1, 2, {y, 4, 1}, {chroma, 4, 2}, {chroma + 1, 4, 2});
    check(chroma[0] == 102 && chroma[1] == 240 && chroma[2] == 240 && chroma[3] == 118,
          "red then blue: Cb, Cr, Cb, Cr in BT.709's limited range");
}

}  // namespace

int main()
{
    SetWindowsHookExA(WH_CBT, read_and_dismiss, nullptr, GetCurrentThreadId());
    version_rules();
    the_real_checks();
    show_error_boxes();
    resources();
    saver_command_lines();
    saver_geometry();
    video_sound();
    video_picture();
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
