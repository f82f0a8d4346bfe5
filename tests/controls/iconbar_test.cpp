// The icon bar in its window, through real clicks and its timer, and the
// picture stamp its picture button makes.
#include <array>
#include <memory>
#include <string>

#include "iconbar/picture_stamp.h"
#include "platform/picture.h"
#include "platform/portable/icon.h"
#include "sim/rule_kernels.h"
#include "toy_fixture.h"

namespace {

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

    static void click_at(std::int32_t x, std::int32_t y = 11)
    {
        pointer(wm_lbuttondown, bar_at, x, y, mk_lbutton);
        pointer(wm_lbuttonup, bar_at, x, y, 0);
    }
    // One letter a button: up, lit, down, disabled.
    std::string states() const
    {
        std::string s;
        for (int i = 0; i < 4; ++i)
            s += "uldx"[bar.state[i] & 3];
        return s;
    }
};

}  // namespace

TEST_F(IconBarTest, StartsWithTheDiffusionButtonDownAndNothingSwitched)
{
    EXPECT_EQ(bar.count, 4);
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
        {40, 11, "duuu", 0, false, 9},  {82, 11, "duuu", 0, false, 9},  {83, 0, "uduu", 1, false, 0},
        {90, 11, "uduu", 1, false, 9},  {29, 11, "uduu", 1, false, 9},  {54, 11, "uduu", 1, false, 9},
        {53, 22, "duuu", 0, false, 0},  {106, 11, "uduu", 1, false, 0}, {30, 11, "duuu", 0, false, 0},
        {107, 11, "duuu", 0, false, 9}, {213, 11, "duuu", 0, false, 9}, {242, 11, "duuu", 0, false, 9},
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
    EXPECT_EQ(states(), "duxd");
    EXPECT_TRUE(paused);
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
    wait_ms(6000);
    EXPECT_EQ(states(), "duuu") << "the timer was stopped";
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
    (*expected)[0].fill(0);
    int black = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const std::uint8_t byte = picture.bits[(479 - y) * picture.bytes_per_row + x / 8];
            black += ((*expected)[0][cell_index(y + 1, x + 1)] = (byte >> (7 - x % 8)) & 1 ? 0 : 32767) != 0;
        }
    // The title's word and its ripples in ink on a white ground, corners white.
    EXPECT_TRUE(black > 640 * 480 / 20 && black < 640 * 480 / 2) << black;
    EXPECT_EQ((*expected)[0][cell_index(1, 1)] + (*expected)[0][cell_index(480, 640)], 0);
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
