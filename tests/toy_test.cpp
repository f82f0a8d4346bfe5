// The toy on the headless host: the sliders and the icon bar in their windows, painted and worked through real
// messages and their timers, and the picture stamp; and the whole toy, steered through the host's driver hooks:
// `on_poll` runs each time the program looks for input, `on_idle` each time everything queued has been handled
// (where the main loop may produce a frame); either may close the window as a user would.
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/layout.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "attract/attract.h"
#include "iconbar/picture_stamp.h"
#include "platform/clock.h"
#include "platform/picture.h"
#include "platform/portable/icon.h"
#include "platform/portable/surface_testing.h"
#include "sim/rule_kernels.h"
#include "test_support.h"

namespace {

constexpr std::uint32_t white = 0xFFFFFF, black = 0x000000, frame_grey = 0x7F7F7F, pressed_grey = 0x808080;

class SliderTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        ASSERT_TRUE(create_slider_window(main_window, vertical_at.x, vertical_at.y, 23, 480));
        ASSERT_TRUE(create_slider_window(main_window, horizontal_at.x, horizontal_at.y, 640, 23));
        pump();
    }
    Slider& parameter = sliders[0];
    Slider& palette = sliders[1];

    static std::uint32_t v_pixel(int x, int y) { return pixel_of(vertical_at, x, y); }
    static std::uint32_t h_pixel(int x, int y) { return pixel_of(horizontal_at, x, y); }
    static Palette bank_palette(int index)
    {
        Palette p;
        for (int i = 0; i < 256; ++i)
            p[i] = pack_colour(palette_bank.entries[index][i][0], palette_bank.entries[index][i][1],
                               palette_bank.entries[index][i][2]);
        return p;
    }
};

class IconBarTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        cell_field.velocity.fill(9);  // shows whether set_mode ran
        ASSERT_TRUE(create_iconbar(main_window, bar_at.x, bar_at.y, 640, 23));
        pump();
    }
    IconBar& bar = iconbars[0];

    static void click_at(std::int32_t x, std::int32_t y = 11) { click(bar_at, x, y); }
    // One letter a button: up, lit, down, disabled.
    std::string states() const
    {
        std::string s;
        for (int i = 0; i < 4; ++i)
            s += "uldx"[bar.state[i] & 3];
        return s;
    }
};

class AppTest : public ::testing::Test {
protected:
    static inline std::function<void()> on_poll;
    static inline std::function<void()> on_idle;

    void SetUp() override { TearDown(); }
    void TearDown() override
    {
        reset_toy_state();
        on_poll = on_idle = nullptr;
        set_clock_read_cost(0);
        set_performance_counter_available(true);
        set_precise_sleep(false);
        frame_shown_hook = nullptr;
    }

    static int run_toy()
    {
        set_clock_read_cost(1);
        headless_host().driver = {[] { on_poll ? on_poll() : void(); }, [] { on_idle ? on_idle() : void(); }};
        return app_main();
    }
    // The same, closing the window once `done`, asked at each idle, says so.
    static int run_until(std::function<bool()> done)
    {
        on_idle = [done, closing = false]() mutable {
            if (!closing && done()) {
                closing = true;
                inject_close();
            }
        };
        return run_toy();
    }
};

struct Acted { std::int32_t frame; AttractAction action; };
std::vector<Acted>* log_to = nullptr;

struct Outcome {
    std::vector<std::int32_t> cells;
    std::uint32_t random = 0;
    std::int32_t parameter = 0, palette = 0, rule = 0;
    Palette shown{};
};

class AttractTest : public AppTest {
protected:
    void TearDown() override
    {
        main_window_extras = nullptr;
        attract_acted = nullptr;
        log_to = nullptr;
        AppTest::TearDown();
    }
    Outcome play(std::int32_t frames, std::function<void()> each_idle)
    {
        AppTest::TearDown();
        on_idle = [frames, each_idle, closing = false, seeded = false]() mutable {
            // Start-up seeds the sparks from the clock; both runs start alike.
            if (!std::exchange(seeded, true))
                seed_random(77);
            each_idle();
            if (!closing && cell_field.frame_count >= frames) {
                closing = true;
                inject_close();
            }
        };
        EXPECT_EQ(run_toy(), 0);
        const Grid& cells = cell_field.buffers[cell_field.current];
        return {{cells.begin(), cells.end()}, random_state(), sim_mode.parameter, sliders[1].value, sim_mode.mode,
                displayed_palette};
    }
};

}  // namespace

TEST_F(SliderTest, ShapeDecidesOrientationAndAThirdSliderIsRefused)
{
    EXPECT_TRUE(parameter.vertical && !palette.vertical);
    // At the top of each range the thumb sits on the track's last pixel.
    parameter.value = 2000;
    palette.value = 99;
    EXPECT_EQ(thumb_position(parameter), 30);
    EXPECT_EQ(thumb_position(palette), 609);
    // No third slider, no second registration; each failure is told to the user.
    EXPECT_FALSE(create_slider_window(main_window, 0, 0, 50, 50));
    EXPECT_EQ(headless_host().box_text, "Failed to Create Window");
    EXPECT_EQ(headless_host().box_title, "Window Creation Failure");
    EXPECT_FALSE(register_slider_class());
    EXPECT_EQ(headless_host().box_text, "Couldn't Register Window Class");
}

TEST_F(ControlsTest, SquareSliderIsHorizontal)
{
    ASSERT_TRUE(create_slider_window(main_window, 10, 10, 120, 120));
    EXPECT_FALSE(sliders[0].vertical);
}

TEST_F(SliderTest, VerticalParameterSliderPixels)
{
    // Frame outline just outside the track, but under the thumb's tabs.
    for (int y = 29; y <= 450; ++y)
        ASSERT_TRUE((y >= 235 && y <= 245) || (v_pixel(1, y) == frame_grey && v_pixel(21, y) == frame_grey)) << y;
    const std::tuple<int, int, std::uint32_t> spots[] = {
        {10, 29, frame_grey}, {10, 450, frame_grey},
        // Arrows: outline corners in frame grey, black inside.
        {20, 19, frame_grey}, {11, 0, frame_grey}, {11, 14, black}, {11, 479, frame_grey}, {0, 5, black},
        // The fill rises from the bottom to the thumb in the displayed palette.
        {2, 449, displayed_palette[0]}, {20, 449, displayed_palette[0]}, {10, 300, displayed_palette[149 * 255 / 420]},
        {10, 241, displayed_palette[208 * 255 / 420]}, {10, 239, black}, {10, 30, black}, {2, 239, black},
        // Thumb: a line across row 240, tabs two deep and eleven long.
        {0, 234, black}, {0, 246, black}};
    for (const auto& [x, y, colour] : spots)
        EXPECT_EQ(v_pixel(x, y), colour) << x << "," << y;
    for (int x = 0; x < 23; ++x)
        ASSERT_EQ(v_pixel(x, 240), white) << x;
    for (int y = 235; y < 246; ++y)
        ASSERT_TRUE(v_pixel(0, y) == white && v_pixel(22, y) == white) << y;
    // At the minimum exactly one line of colour is left, on the bottom row.
    set_value(parameter, -2000, true);
    EXPECT_EQ(v_pixel(10, 448), black);
    EXPECT_EQ(v_pixel(10, 449), white) << "the thumb covers the single line";
}

TEST_F(SliderTest, HorizontalPaletteTrackShowsEntries0To254)
{
    apply_palette(3);  // any palette whose entries differ
    repaint_slider(palette);
    for (int i = 1; i < 580; ++i)  // 0 is under the thumb
        ASSERT_EQ(h_pixel(30 + i, 10), preview_palette[i * 255 / 580]) << i;
    EXPECT_EQ(h_pixel(609, 10), preview_palette[254]);
    // The arrows' corners, the decrease arrow's first.
    for (const auto& [x, y] : {std::pair{19, 2}, {19, 20}, {0, 11}, {620, 2}, {620, 20}, {639, 11}})
        EXPECT_EQ(h_pixel(x, y), frame_grey) << x << "," << y;
    EXPECT_EQ(h_pixel(620, 21), black);
    // Thumb: a line down column 30, tabs two deep and eleven long.
    for (int y = 0; y < 22; ++y)
        ASSERT_EQ(h_pixel(30, y), white);
    for (int x = 25; x < 36; ++x)
        ASSERT_TRUE(h_pixel(x, 0) == white && h_pixel(x, 1) == white && h_pixel(x, 21) == white &&
                    h_pixel(x, 22) == white) << x;
    EXPECT_TRUE(h_pixel(24, 0) != white && h_pixel(36, 0) != white && h_pixel(24, 22) != white &&
                h_pixel(36, 22) != white && h_pixel(29, 2) != white);
}

TEST_F(SliderTest, PressSetsTheValueFromThePointOrStepsOnAnArrow)
{
    // From the start value, one click at a point; the arrow zones begin five pixels beyond the track's ends.
    const std::tuple<bool, std::int32_t, std::int32_t, std::int32_t, std::int32_t> presses[] = {
        {true, 10, 30, 0, 2000},  {true, 10, 449, 0, -1990}, {true, 10, 454, 0, -2000}, {true, 10, 455, 0, -40},
        {true, 10, 25, 0, 40},    {true, 10, 26, 0, 2000},   {false, 320, 10, 0, 50},   {false, 614, 10, 50, 99},
        {false, 615, 10, 50, 51}, {false, 25, 10, 50, 49},   {false, 26, 10, 50, 0},
        {true, 11, 10, 1990, 2000},  // one step reaches the end of the range
    };
    for (const auto& [vertical, x, y, from, value] : presses) {
        Slider& s = vertical ? parameter : palette;
        set_value(s, from, true);
        click(vertical ? vertical_at : horizontal_at, x, y);
        EXPECT_EQ(s.value, value) << x << "," << y;
    }
    EXPECT_EQ(sim_mode.parameter, 2000);
}

TEST_F(SliderTest, HeldArrowRepeatsAfterHalfASecondThenEveryTenthEvenWhenLeft)
{
    pointer(wm_lbuttondown, vertical_at, 11, 10, mk_lbutton);
    EXPECT_EQ(parameter.value, 40) << "one press moves two steps";
    EXPECT_EQ(v_pixel(2, 19), white) << "the held arrow shows pressed";
    EXPECT_EQ(v_pixel(11, 14), pressed_grey);
    EXPECT_EQ(v_pixel(2, 460), frame_grey) << "the other arrow does not";
    wait_ms(499);
    EXPECT_EQ(parameter.value, 40);
    pointer(wm_mousemove, vertical_at, 11, 100, mk_lbutton);
    EXPECT_EQ(parameter.value, 40) << "the drag path is blocked while the arrow repeats";
    wait_ms(501);  // repeats at 500, 600, 700, 800, 900 and 1000 ms
    EXPECT_EQ(parameter.value, 280);
    pointer(wm_lbuttonup, vertical_at, 11, 100, 0);
    EXPECT_TRUE(parameter.value == 280 && sim_mode.parameter == 280);
    EXPECT_EQ(v_pixel(2, 19), frame_grey) << "released";
    wait_ms(500);
    EXPECT_EQ(parameter.value, 280) << "the release stops the repeat";
    // With the right button too, on the decrease arrow.
    pointer(wm_rbuttondown, vertical_at, 11, 470, mk_rbutton);
    EXPECT_EQ(parameter.value, 240);
    wait_ms(600);
    pointer(wm_rbuttonup, vertical_at, 11, 470, 0);
    EXPECT_EQ(parameter.value, 160);
}

TEST_F(SliderTest, DragFollowsThePointerOutsideTheWindowWithEitherButton)
{
    for (const auto& [down, up, flag] : {std::tuple{wm_lbuttondown, wm_lbuttonup, mk_lbutton},
                                         std::tuple{wm_rbuttondown, wm_rbuttonup, mk_rbutton}}) {
        set_value(parameter, 0, true);
        pointer(down, vertical_at, 10, 240, flag);
        // Past the track's end and far left of the main window, the capture still brings the moves.
        for (const auto& [x, y, value] : {std::tuple{10, 100, 1333}, {-700, 27, 2000}, {-700, 400, -1524}}) {
            pointer(wm_mousemove, vertical_at, x, y, flag);
            EXPECT_EQ(parameter.value, value) << x << "," << y;  // trunc(350 * 4000 / 420 + 0.5) - 2000 ...
        }
        pointer(up, vertical_at, -700, 400, 0);
        pointer(wm_mousemove, vertical_at, 10, 240, 0);
        EXPECT_EQ(parameter.value, -1524) << "no drag after the release";
    }
    // Above the main window, on the horizontal slider: y is negative, x counts.
    pointer(wm_lbuttondown, horizontal_at, 320, 10, mk_lbutton);
    pointer(wm_mousemove, horizontal_at, 100, -600, mk_lbutton);
    EXPECT_EQ(palette.value, 12);
    pointer(wm_lbuttonup, horizontal_at, 100, -600, 0);
}

TEST_F(SliderTest, PaletteSliderPreviewsDuringAPressAndCommitsOnRelease)
{
    const Palette shown = displayed_palette;
    pointer(wm_lbuttondown, horizontal_at, 320, 10, mk_lbutton);
    pointer(wm_mousemove, horizontal_at, 330, 10, mk_lbutton);
    const std::int32_t chosen = palette.value;
    EXPECT_NE(chosen, 0);
    EXPECT_EQ(preview_palette, bank_palette(chosen));
    EXPECT_EQ(target_palette, shown) << "nothing chosen yet";
    pointer(wm_lbuttonup, horizontal_at, 330, 10, 0);
    EXPECT_EQ(target_palette, bank_palette(chosen));
    EXPECT_EQ(displayed_palette, shown) << "the picture fades over the next frames";
    EXPECT_EQ(palette.anchor, chosen);
    // A press that ends where it began chooses nothing.
    set_target_palette(0);
    pointer(wm_lbuttondown, horizontal_at, 100, 10, mk_lbutton);
    pointer(wm_mousemove, horizontal_at, 400, 10, mk_lbutton);
    pointer(wm_mousemove, horizontal_at, 330, 10, mk_lbutton);
    pointer(wm_lbuttonup, horizontal_at, 330, 10, 0);
    EXPECT_EQ(palette.value, chosen);
    EXPECT_EQ(target_palette, bank_palette(0)) << "the target was left alone";
    // The decrease arrow at 0: nothing changes, but it repeats and shows pressed.
    set_value(palette, 0, true);
    pointer(wm_lbuttondown, horizontal_at, 5, 11, mk_lbutton);
    EXPECT_TRUE(repeat_active && palette.pressed_arrow == -1 && palette.value == 0);
    pointer(wm_lbuttonup, horizontal_at, 5, 11, 0);
    EXPECT_EQ(palette.pressed_arrow, 0);
}

TEST_F(SliderTest, NudgeMovesFromTheAnchorAndSetValueActsOnlyOnAChange)
{
    nudge(palette, 0, true);
    for (const auto& [delta, value] : {std::pair{-49, 0}, {49, 0}, {50, 1}, {99, 1}, {-50, 0}, {120, 2}}) {
        nudge(palette, delta, false);
        EXPECT_EQ(palette.value, value) << delta;
    }
    EXPECT_EQ(target_palette, bank_palette(2)) << "a nudge chooses at once";
    set_value(palette, 98, true);
    nudge(palette, 0, true);
    nudge(palette, 150, false);
    EXPECT_EQ(palette.value, 99);
    nudge(palette, 0, false);
    EXPECT_EQ(palette.value, 98) << "back to the start point, back to the start value";
    nudge(parameter, 0, true);
    nudge(parameter, -1000, false);
    EXPECT_EQ(parameter.value, -2000);
    EXPECT_EQ(parameter.anchor, 0) << "a nudge never moves the anchor";
    set_value(palette, 5, false);
    EXPECT_EQ(palette.anchor, 98);
    set_target_palette(0);
    set_value(palette, 5, false);
    EXPECT_EQ(target_palette, bank_palette(0)) << "same value, no commit: nothing";
    set_value(palette, 5, true);
    EXPECT_EQ(target_palette, bank_palette(5)) << "same value but a new anchor: applied";
    EXPECT_EQ(palette.anchor, 5);
}

TEST_F(IconBarTest, StartsWithTheDiffusionButtonDownAndNothingSwitched)
{
    EXPECT_EQ(states(), "duuu");
    EXPECT_EQ(cell_field.velocity[1000], 9) << "no set_mode at creation";
    EXPECT_EQ((std::array{find_kind(bar, pause_button), find_kind(bar, picture_button), find_kind(bar, 7)}),
              (std::array{2, 3, -1}));
    EXPECT_EQ((std::array{bar.first_icon[0], bar.first_icon[1], bar.first_icon[2], bar.first_icon[3]}),
              (std::array{105, 109, 113, 140}));
    EXPECT_FALSE(create_iconbar(main_window, 0, 0, 100, 23)) << "only one bar";
    EXPECT_EQ(headless_host().box_title, "Window Creation Failure");
    EXPECT_EQ(states(), "duuu");
}

TEST_F(IconBarTest, HotZonesAreOnePixelWiderThanTheFacesAndTheRuleButtonsARadioPair)
{
    // Clicks in turn and the state after each: the velocity is cleared only by a switch of rule.
    const std::tuple<int, int, const char*, std::int32_t, bool, std::int32_t> clicks[] = {
        {82, 11, "duuu", 0, false, 9},  {83, 0, "uduu", 1, false, 0},   {90, 11, "uduu", 1, false, 9},
        {29, 11, "uduu", 1, false, 9},  {54, 11, "uduu", 1, false, 9},  {53, 22, "duuu", 0, false, 0},
        {106, 11, "uduu", 1, false, 0}, {30, 11, "duuu", 0, false, 0},  {107, 11, "duuu", 0, false, 9},
        {213, 11, "duuu", 0, false, 9}, {242, 11, "duuu", 0, false, 9},
        {212, 11, "duxd", 0, true, 9},  // the picture button's last column
    };
    for (const auto& [x, y, now, mode, now_paused, velocity] : clicks) {
        cell_field.velocity.fill(9);
        click_at(x, y);
        EXPECT_EQ(states(), now) << "after a click at " << x;
        EXPECT_TRUE(sim_mode.mode == mode && paused == now_paused) << "after a click at " << x;
        EXPECT_EQ(cell_field.velocity[1000], velocity) << "after a click at " << x;
    }
}

TEST_F(IconBarTest, PauseButtonStateMachine)
{
    // In turn: a click (-1) or press_button's request with or without apply, and the state and flag after it.
    const std::tuple<std::int32_t, bool, std::int32_t, bool> steps[] = {
        {-1, true, down, true},
        {-1, true, up, false},
        {down, false, down, false},         // without apply only the state changes
        {disabled, true, disabled, false},  // disabling leaves the flag alone
        {-1, true, disabled, false},        // a disabled button ignores clicks
        {down, true, down, true},
        {up, true, up, false},
        {lit, true, down, true},  // the value of lit is the click request
    };
    int step = 0;
    for (const auto& [request, apply, state, now_paused] : steps) {
        if (request < 0)
            click_at(140);
        else
            press_button(bar, 2, request, false, apply);
        EXPECT_TRUE(bar.state[2] == state && paused == now_paused) << "step " << step++;
    }
    // Direct requests never move a rule button.
    press_button(bar, 0, up, true, true);
    press_button(bar, 1, down, true, true);
    EXPECT_EQ(states().substr(0, 2), "du");
}

TEST_F(IconBarTest, PictureHoldsForFiveSecondsAfterTheLastClick)
{
    click_at(140);  // paused before the picture
    const std::uint32_t random_before = random_state();
    click_at(200);
    EXPECT_EQ(random_state(), random_before);
    click_at(140);
    EXPECT_EQ(bar.state[2], disabled) << "pause cannot be clicked during the hold";
    wait_ms(3000);
    click_at(200);  // stamps again, restarts the five seconds
    wait_ms(4990);
    EXPECT_TRUE(paused && bar.state[3] == down);
    wait_ms(20);
    EXPECT_FALSE(paused) << "the hold always ends running, even if paused before";
    EXPECT_EQ(states(), "duuu");
    click_at(140);
    wait_ms(6000);
    EXPECT_TRUE(paused) << "a pause after the hold lasts: its timer was stopped";
    // A rule click during the hold switches the rule but keeps the hold; any timer message ends it.
    click_at(200);
    click_at(90);
    EXPECT_TRUE(sim_mode.mode == 1 && paused);
    iconbar_proc(bar.window, wm_timer, 77, 0);
    EXPECT_FALSE(paused);
    EXPECT_EQ(states(), "uduu");
}

TEST_F(IconBarTest, PaintsFacesOnABlackStrip)
{
    click_at(140);  // pause down: the play face
    EXPECT_NE(bar.face[2][down], bar.face[2][up]) << "the faces differ by state";
    // Column by column: the black strip, and each button's face of its state from x = 30 + 53 i.
    for (int x = 0; x < 640; ++x) {
        const int i = (x - 30) / 53, across = (x - 30) % 53;
        const bool on_face = x >= 30 && i < 4 && across < 23;
        const Icon* face = on_face ? bar.face[i][bar.state[i]] : nullptr;
        ASSERT_TRUE(!on_face || face) << "face of button " << i;
        for (int y = 0; y < 23; ++y) {
            ASSERT_TRUE(!face || face->opaque[y * face->width + across]);
            ASSERT_EQ(pixel_of(bar_at, x, y), face ? face->pixels[y * face->width + across] : 0u) << x << "," << y;
        }
    }
}

TEST(PictureStamp, WritesThePictureAndSmoothsItWithoutSideEffects)
{
    PictureBits picture;
    ASSERT_TRUE(load_picture_bits(title_picture_id, picture));
    ASSERT_EQ(picture.width, 640);
    ASSERT_EQ(picture.height, 480);
    ASSERT_EQ(picture.bits.size(), 80u * 480u);
    // The picture upright, white 0 and black 32767, after twenty steps of diffusion at 0, and after nineteen.
    auto expected = std::make_unique<std::array<Grid, 2>>();
    int black = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const std::uint8_t byte = picture.bits[(479 - y) * picture.bytes_per_row + x / 8];
            black += ((*expected)[0][cell_index(y + 1, x + 1)] = (byte >> (7 - x % 8)) & 1 ? 0 : 32767) != 0;
        }
    // The title's word and its ripples in ink on a white ground.
    EXPECT_TRUE(black > 640 * 480 / 20 && black < 640 * 480 / 2) << black;
    std::vector<std::uint32_t> scratch(field_width);
    for (int i = 0; i < 20; ++i)
        diffuse_scalar((*expected)[i % 2].data(), (*expected)[1 - i % 2].data(), 0, 0xFFFF, false,
                       displayed_palette.data(), scratch.data(), 0);
    reset_field();
    cell_field.current = 1;
    cell_field.velocity.fill(5);
    sim_mode = SimMode{1, 1234, 0xFFFF};
    seed_random(99);
    stamp_picture();
    EXPECT_TRUE(cell_field.current == 1 && sim_mode.mode == 1 && sim_mode.parameter == 1234);
    EXPECT_EQ(random_state(), 99u) << "the smoothing draws nothing";
    EXPECT_EQ(cell_field.velocity[cell_index(10, 10)], 5);
    EXPECT_TRUE(cell_field.buffers[1] == (*expected)[0]) << "twenty steps";
    EXPECT_TRUE(cell_field.buffers[0] == (*expected)[1]) << "nineteen steps";
}

TEST_F(AppTest, StartsInOrderPausedFramesStillCountAndFadeAndClosesWithExitCode0)
{
    bool checked = false;
    on_poll = [&checked] {
        if (std::exchange(checked, true))
            return;
        // The bank came from the first draws, before the clock seeded the source; nothing has stepped yet.
        const PaletteBank built = palette_bank;
        const std::uint32_t seed = random_state();
        seed_random(1);
        build_palette_bank();
        EXPECT_EQ(0, std::memcmp(built.entries, palette_bank.entries, sizeof built.entries));
        seed_random(seed);
        EXPECT_EQ(cell_field.frame_count, 0);
        EXPECT_EQ(cell_field.buffers[cell_field.current][cell_index(100, 200)], 20000) << "the start pattern";
        EXPECT_TRUE(running && slider_count == 2 && iconbars[0].window);
        EXPECT_EQ(headless_host().title, "Modra");
        EXPECT_TRUE(rect_width(headless_host().placed) == 710 && rect_height(headless_host().placed) == 580);
    };
    bool set = false;
    auto before = std::make_unique<Grid>();
    std::int32_t frames_then = 0;
    EXPECT_EQ(run_until([&] {
        if (!set && cell_field.frame_count == 5) {
            set = true;
            press_button(iconbars[0], find_kind(iconbars[0], pause_button), click, true, true);
            set_value(sliders[1], 4, true);
            *before = cell_field.buffers[cell_field.current];
            frames_then = cell_field.frame_count;
        }
        return set && cell_field.frame_count >= frames_then + 31;
    }), 0);
    EXPECT_TRUE(checked && paused);
    EXPECT_EQ(cell_field.buffers[cell_field.current], *before) << "paused frames do not step";
    EXPECT_EQ(displayed_palette, target_palette) << "but the fade went on";
    EXPECT_NE(displayed_palette[10], pack_colour(40, 0, 0));
    EXPECT_FALSE(running);
    EXPECT_EQ(display, nullptr) << "closing destroys the display";
    EXPECT_EQ(headless_host().message_boxes, 0);
}

TEST_F(AppTest, LayoutFollowsTheWindowSize)
{
    // Client size; left and right of the view and slider column; top and bottom of view, palette slider, bar.
    struct Case {
        std::int32_t width, height;
        std::array<std::int32_t, 4> x;
        std::array<std::int32_t, 6> y;
    };
    const Case cases[] = {
        {710, 580, {20, 660, 667, 690}, {20, 500, 507, 530, 537, 560}},
        {1000, 700, {165, 805, 812, 835}, {80, 560, 567, 590, 597, 620}},
        {711, 581, {20, 660, 667, 690}, {20, 500, 507, 530, 537, 560}},
        {500, 400, {20, 450, 457, 480}, {20, 320, 327, 350, 357, 380}},
        {0, 0, {20, 120, 127, 150}, {20, 120, 127, 150, 157, 180}},  // minimised
        {169, 199, {20, 120, 127, 150}, {20, 120, 127, 150, 157, 180}},
    };
    // Where a child sits in the main window's client area.
    const auto cell_of = [](WindowHandle child) {
        const Point origin = client_to_screen(child, {0, 0});
        const Rect main = headless_host().placed, client = client_rect(child);
        return Rect{origin.x - main.left, origin.y - main.top, origin.x - main.left + client.right,
                    origin.y - main.top + client.bottom};
    };
    std::size_t next = 0;
    on_idle = [&] {
        if (next > 0 && next <= std::size(cases)) {
            const auto& [width, height, x, y] = cases[next - 1];
            SCOPED_TRACE(testing::Message() << width << " x " << height);
            const Rect view{x[0], y[0], x[1], y[1]};
            EXPECT_EQ(cell_of(view_window), view);
            EXPECT_EQ(cell_of(sliders[0].handle), (Rect{x[2], y[0], x[3], y[1]}));
            EXPECT_EQ(cell_of(sliders[1].handle), (Rect{x[0], y[2], x[1], y[3]}));
            EXPECT_EQ(cell_of(iconbars[0].window), (Rect{x[0], y[4], x[1], y[5]}));
            // Never scaled: the present copies the view's own size from the surface's corner.
            EXPECT_EQ(rect_width(display->screen_rect), rect_width(view));
            EXPECT_EQ(rect_height(display->screen_rect), rect_height(view));
            EXPECT_EQ(display->source_rect, (Rect{0, 0, rect_width(view), rect_height(view)}));
        }
        if (next == std::size(cases))
            inject_close();
        else if (next < std::size(cases))
            inject_resize(cases[next].width, cases[next].height);
        ++next;
    };
    EXPECT_EQ(run_toy(), 0);
}

TEST_F(AppTest, RightDragInTheViewMovesBothSlidersFromThePress)
{
    // 21 pixels up of 420 is 200 of the parameter's 4000; 50 to the right, one palette.
    bool dragged = false;
    EXPECT_EQ(run_until([&] {
        if (cell_field.frame_count == 3 && !std::exchange(dragged, true)) {
            inject_pointer(wm_rbuttondown, {320, 220}, mk_rbutton);
            inject_pointer(wm_mousemove, {300, 150}, mk_rbutton);
            inject_pointer(wm_mousemove, {370, 199}, mk_rbutton);
            inject_pointer(wm_rbuttonup, {370, 199}, 0);
        }
        return dragged && cell_field.frame_count >= 5;
    }), 0);
    EXPECT_TRUE(sliders[0].value == 200 && sim_mode.parameter == 200) << sliders[0].value;
    EXPECT_EQ(sliders[1].value, 1);
}

TEST_F(AppTest, AStallOfUpToASecondIsMadeUpBackToBackAndALongerOneStartsTheScheduleAgain)
{
    // The frames made within a millisecond of the end of a stall that begins at 100 ms, and in the 2 s after it.
    const auto after_stall = [&](std::int64_t stall_us) {
        TearDown();
        bool stalled = false;
        std::int32_t at_stall = 0, caught_up = 0;
        std::int64_t stall_end = 0;
        const std::int64_t start = virtual_clock_now();
        on_poll = [&] {
            if (!stalled && virtual_clock_now() - start >= 100'000) {
                stalled = true;
                at_stall = cell_field.frame_count;
                advance_virtual_clock(stall_us);
                stall_end = virtual_clock_now();
            }
        };
        run_until([&] {
            if (stalled && virtual_clock_now() < stall_end + 1000)
                caught_up = cell_field.frame_count - at_stall;
            return stalled && virtual_clock_now() >= stall_end + 2'000'000;
        });
        return std::pair{caught_up, cell_field.frame_count - at_stall};
    };
    // 60 frames missed, 59 of them in the stall of 999 ms, come back to back; then 2 s of 60 a second.
    const auto [caught_up, made] = after_stall(999'000);
    EXPECT_GE(caught_up, 59);
    EXPECT_NEAR(made, 60 + 120, 1);
    // After 1.1 s, or an hour, the missed frames are not made: the schedule starts again.
    EXPECT_NEAR(after_stall(1'100'000).second, 120, 1);
    EXPECT_NEAR(after_stall(3'600'000'000).second, 120, 1);
}

TEST_F(AppTest, WithoutAPerformanceCounterFramesFollowTheMillisecondTicks)
{
    // 62.5 frames a second.
    set_performance_counter_available(false);
    const std::uint32_t ticks = tick_count();
    run_until([ticks] { return tick_count() - ticks >= 2000; });
    EXPECT_TRUE(cell_field.frame_count >= 125 && cell_field.frame_count <= 126) << cell_field.frame_count;
}

TEST_F(AppTest, ASleepToTheDeadlineGivesTheSameFramesAtTheirDeadlinesWithoutTheSpin)
{
    struct Run {
        std::vector<std::int64_t> frame_times;
        std::vector<std::int32_t> field;
        std::int32_t polls = 0;
    };
    static Run* run = nullptr;
    const auto one_run = [this](bool precise) {
        TearDown();
        set_precise_sleep(precise);
        Run result;
        run = &result;
        frame_shown_hook = [] { run->frame_times.push_back(virtual_clock_now()); };
        const std::int64_t start = virtual_clock_now();
        on_poll = [&result] {
            if (result.polls++ == 0)
                seed_random(5);
        };
        run_until([] { return cell_field.frame_count >= 120; });
        const Grid& cells = cell_field.buffers[cell_field.current];
        result.field.assign(cells.begin(), cells.end());
        for (std::int64_t& t : result.frame_times)
            t -= start;
        return result;
    };
    const Run spun = one_run(false);
    const Run slept = one_run(true);
    ASSERT_EQ(slept.frame_times.size(), spun.frame_times.size());
    EXPECT_TRUE(slept.field == spun.field) << "the same frames, bit for bit";
    // The spin reads the clock up to a microsecond past the deadline, the sleep wakes on it: either way the
    // k-th frame is due k periods after the schedule started, a few reads of the clock after the program.
    for (std::size_t k = 0; k < slept.frame_times.size(); ++k) {
        const std::int64_t due = static_cast<std::int64_t>(k) * 16'666;
        EXPECT_TRUE(slept.frame_times[k] >= due && slept.frame_times[k] <= due + 5) << k << ": " << slept.frame_times[k];
        EXPECT_TRUE(spun.frame_times[k] >= due && spun.frame_times[k] <= due + 5) << k << ": " << spun.frame_times[k];
    }
    EXPECT_LT(slept.polls * 20, spun.polls) << "no spin: " << slept.polls << " looks for input against " << spun.polls;
}

TEST_F(AppTest, OnePassPerDisplayFrameKeepsSixtyFramesASecondAtAnyRefreshRate)
{
    // A page runs one pass per animation frame: at 120 or 144 Hz many find no frame due, at 50 Hz some find two.
    for (const std::int64_t refresh_us : {8'333, 6'944, 20'000}) {
        TearDown();
        set_clock_read_cost(1);
        ASSERT_TRUE(start_app());
        MainLoop loop = start_main_loop();
        const std::int64_t start = virtual_clock_now();
        // Passes on the display's beat, up to the first one a second in.
        for (;;) {
            ASSERT_TRUE(run_main_loop_pass(loop));
            if (virtual_clock_now() - start >= 1'000'000)
                break;
            advance_virtual_clock(refresh_us - (virtual_clock_now() - start) % refresh_us);
        }
        EXPECT_TRUE(cell_field.frame_count >= 60 && cell_field.frame_count <= 61)
            << cell_field.frame_count << " frames in a second of " << refresh_us << " us passes";
        inject_close();
        while (run_main_loop_pass(loop)) {
        }
        EXPECT_EQ(loop.message.wparam, 0u);
    }
}

TEST_F(AppTest, FailedLocksLeaveTheViewToRepaintUntilOneSucceeds)
{
    std::int32_t step = 0;
    std::int32_t frames_then = 0;
    EXPECT_EQ(run_until([&] {
        DrawSurface* back = back_surface(*display);
        if (step == 0 && cell_field.frame_count == 3) {
            // Lost at lock time: restored and drawn within the same frame.
            mark_surface_lost(back);
            frames_then = cell_field.frame_count;
            step = 1;
        } else if (step == 1 && cell_field.frame_count == frames_then + 1) {
            LockedPixels locked;
            EXPECT_EQ(lock_surface(back, locked), status_ok);
            EXPECT_NE(locked.pixels[100], 0x00FF00FFu) << "the restored surface was drawn over";
            unlock_surface(back);
            // Locks fail three times: the view stays invalid, its paints coming ahead of frames till one works.
            fail_next_locks(back, 3);
            invalidate(view_window, nullptr, false);
            frames_then = cell_field.frame_count;
            step = 2;
        } else if (step == 2) {
            EXPECT_LE(cell_field.frame_count, frames_then + 1) << "the repaint came before further frames";
            step = 3;
        }
        return step == 3 && cell_field.frame_count >= frames_then + 5;
    }), 0);
    EXPECT_EQ(step, 3);
}

TEST_F(AppTest, StartUpFailuresAreToldAndEndTheRunWithExitCode0)
{
    // A squatter on the slider's class name; a desktop of 16 bits, refused before the window shows.
    const std::tuple<int, int, const char*, const char*> cases[] = {
        {32, 2, "Window Class Registration Failure", "Couldn't Register Window Class"},
        {16, 1, "Sorry", "This program requires 32 bit colour."}};
    for (const auto& [depth, boxes, title, text] : cases) {
        SCOPED_TRACE(title);
        TearDown();
        WindowClass squatter;
        squatter.name = "slider";
        squatter.procedure = default_window_proc;
        ASSERT_TRUE(depth == 16 || register_class(squatter));
        headless_host().colour_depth = depth;
        EXPECT_EQ(run_toy(), 0);
        EXPECT_EQ(headless_host().message_boxes, boxes);
        EXPECT_EQ(headless_host().box_title, title);
        EXPECT_EQ(headless_host().box_text, text);
        EXPECT_FALSE(running);
        EXPECT_EQ(display, nullptr);
    }
    EXPECT_FALSE(headless_host().visible);
    show_error("Long", "%s", std::string(3000, 'x').c_str());
    EXPECT_EQ(headless_host().box_text.size(), 1023u) << "error texts are cut at 1024 characters";
}

// In two and a half minutes attract mode works every control, and what it did, replayed by hand at the same
// frames, gives the very same toy, down to the sparks' random source, which it never draws from.
TEST_F(AttractTest, WorksEveryControlAndAReplayByHandGivesTheSameToy)
{
    constexpr std::int32_t frames = 150 * 60;
    std::vector<Acted> acted;
    log_to = &acted;
    attract_acted = [](const AttractAction& a) { log_to->push_back({cell_field.frame_count, a}); };
    main_window_extras = attract_message;
    attract_from_start(5);
    bool cells_in_range = true;
    const Outcome played = play(frames, [&cells_in_range] {
        if (cell_field.frame_count % 600 == 0)
            for (const std::int32_t c : cell_field.buffers[cell_field.current])
                cells_in_range = cells_in_range && c >= 0 && c <= cell_max;
    });
    EXPECT_TRUE(cells_in_range);
    EXPECT_FALSE(attract_on()) << "closing the window ends it";
    std::int32_t count[5] = {};
    for (const Acted& a : acted) {
        ++count[a.action.kind];
        EXPECT_TRUE(a.action.kind != AttractAction::drop || (a.action.a >= -200 && a.action.a < 680 &&
                                                            a.action.b >= -200 && a.action.b < 840))
            << "drops stay near the field: " << a.action.a << "," << a.action.b;
    }
    EXPECT_GE(count[AttractAction::drop], 150 * 2) << "a few drops a second";
    EXPECT_GE(count[AttractAction::palette], 4);
    EXPECT_GE(count[AttractAction::parameter], 20);
    EXPECT_GE(count[AttractAction::rule], 1);
    EXPECT_GE(count[AttractAction::picture], 1);
    // The same actions by hand, without attract mode.
    attract_acted = nullptr;
    main_window_extras = nullptr;
    std::size_t next = 0;
    const Outcome replayed = play(frames, [&] {
        for (; next < acted.size() && acted[next].frame <= cell_field.frame_count; ++next)
            apply_attract_action(acted[next].action);
    });
    EXPECT_EQ(next, acted.size());
    EXPECT_TRUE(played.cells == replayed.cells) << "the field";
    EXPECT_EQ(played.random, replayed.random) << "the sparks' random source";
    EXPECT_EQ(played.parameter, replayed.parameter);
    EXPECT_EQ(played.palette, replayed.palette);
    EXPECT_EQ(played.rule, replayed.rule);
    EXPECT_EQ(played.shown, replayed.shown);
}

TEST_F(AttractTest, OffUntilAskedAndStillOnceStopped)
{
    static std::int32_t acts = 0;
    acts = 0;
    attract_acted = [](const AttractAction&) { ++acts; };
    main_window_extras = attract_message;
    std::int32_t acts_when_stopped = -1;
    play(20 * 60, [&] {
        if (cell_field.frame_count == 60 && !attract_on() && acts_when_stopped < 0) {
            EXPECT_EQ(acts, 0) << "nothing plays until asked";
            attract_from_start(9);  // the window is there: at once
            EXPECT_TRUE(attract_on());
        }
        if (cell_field.frame_count == 10 * 60 && attract_on()) {
            EXPECT_GT(acts, 0);
            stop_attract();
            acts_when_stopped = acts;
        }
    });
    EXPECT_GT(acts_when_stopped, 0);
    EXPECT_EQ(acts, acts_when_stopped) << "nothing after it stopped";
}
