// The icon bar in its window: hot zones, the buttons' state machine through
// real clicks, and the picture hold on the bar's timer.
#include "controls_support.h"
#include "platform/portable/icon.h"

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

    void click_at(std::int32_t x, std::int32_t y = 11)
    {
        pointer(wm_lbuttondown, bar_at, x, y, mk_lbutton);
        pointer(wm_lbuttonup, bar_at, x, y, 0);
    }
    std::int32_t states() const { return bar.state[0] * 1000 + bar.state[1] * 100 + bar.state[2] * 10 + bar.state[3]; }
};

}  // namespace

TEST_F(IconBarTest, StartsWithTheDiffusionButtonDownAndNothingSwitched)
{
    EXPECT_EQ(bar.count, 4);
    EXPECT_EQ(bar.window != nullptr, true);
    EXPECT_EQ(states(), down * 1000 + up * 100 + up * 10 + up);
    EXPECT_EQ(cell_field.velocity[1000], 9) << "no set_mode at creation";
    EXPECT_EQ(find_kind(bar, pause_button), 2);
    EXPECT_EQ(find_kind(bar, picture_button), 3);
    EXPECT_EQ(find_kind(bar, 7), -1);
    EXPECT_EQ(bar.first_icon[3], 140);

    EXPECT_FALSE(create_iconbar(main_window, 0, 0, 100, 23)) << "only one bar";
    EXPECT_EQ(headless_host().box_title, "Window Creation Failure");
    EXPECT_EQ(states(), down * 1000 + up * 100 + up * 10 + up);
}

TEST_F(IconBarTest, HotZonesAreOnePixelWiderThanTheFaces)
{
    click_at(82);
    EXPECT_EQ(sim_mode.mode, 0);
    click_at(83, 0);  // any row counts
    EXPECT_EQ(sim_mode.mode, 1);
    EXPECT_EQ(cell_field.velocity[1000], 0);
    click_at(29);
    click_at(54);
    EXPECT_EQ(sim_mode.mode, 1);
    click_at(53, 22);
    EXPECT_EQ(sim_mode.mode, 0);
    click_at(106);
    EXPECT_EQ(sim_mode.mode, 1);
    click_at(30);
    EXPECT_EQ(sim_mode.mode, 0);
    click_at(107);
    click_at(213);
    click_at(242);
    EXPECT_EQ(sim_mode.mode, 0);
    EXPECT_FALSE(paused);
    click_at(212);
    EXPECT_TRUE(paused) << "x = 212 is the picture button's last column";
}

TEST_F(IconBarTest, RuleButtonsAreARadioPair)
{
    click_at(40);
    EXPECT_EQ(cell_field.velocity[1000], 9) << "the active rule's button does nothing";
    click_at(90);
    EXPECT_EQ(states(), up * 1000 + down * 100 + up * 10 + up);
    EXPECT_EQ(sim_mode.mode, 1);
    cell_field.velocity.fill(9);
    click_at(90);
    EXPECT_EQ(cell_field.velocity[1000], 9);
    // Direct requests never move a rule button.
    press_button(bar, 0, down, true, true);
    press_button(bar, 1, up, true, true);
    EXPECT_EQ(states(), up * 1000 + down * 100 + up * 10 + up);
}

TEST_F(IconBarTest, PauseButtonStateMachine)
{
    click_at(140);
    EXPECT_EQ(bar.state[2], down);
    EXPECT_TRUE(paused);
    click_at(140);
    EXPECT_EQ(bar.state[2], up);
    EXPECT_FALSE(paused);

    press_button(bar, 2, down, false, false);
    EXPECT_EQ(bar.state[2], down);
    EXPECT_FALSE(paused) << "without apply only the state changes";
    press_button(bar, 2, disabled, false, true);
    EXPECT_EQ(bar.state[2], disabled);
    EXPECT_FALSE(paused) << "disabling leaves the flag alone";
    click_at(140);
    EXPECT_EQ(bar.state[2], disabled) << "a disabled button ignores clicks";
    press_button(bar, 2, down, false, true);
    EXPECT_TRUE(paused);
    press_button(bar, 2, up, false, true);
    EXPECT_FALSE(paused);
    press_button(bar, 2, lit, false, true);  // the value of lit is the click request
    EXPECT_EQ(bar.state[2], down);
}

TEST_F(IconBarTest, PictureHoldsForFiveSecondsAfterTheLastClick)
{
    click_at(140);  // paused before the picture
    const std::uint32_t random_before = random_state();
    click_at(200);
    EXPECT_EQ(states(), down * 1000 + up * 100 + disabled * 10 + down);
    EXPECT_TRUE(paused);
    EXPECT_EQ(random_state(), random_before);
    click_at(140);
    EXPECT_EQ(bar.state[2], disabled) << "pause cannot be clicked during the hold";

    wait_ms(3000);
    click_at(200);  // stamps again, restarts the five seconds
    wait_ms(4990);
    EXPECT_TRUE(paused);
    EXPECT_EQ(bar.state[3], down);
    wait_ms(20);
    EXPECT_FALSE(paused) << "the hold always ends running, even if paused before";
    EXPECT_EQ(states(), down * 1000 + up * 100 + up * 10 + up);
    wait_ms(6000);
    EXPECT_EQ(states(), down * 1000 + up * 100 + up * 10 + up) << "the timer was stopped";

    // A rule click during the hold switches the rule but keeps the hold.
    click_at(200);
    click_at(90);
    EXPECT_EQ(sim_mode.mode, 1);
    EXPECT_TRUE(paused);

    // Any timer message ends it.
    iconbar_proc(bar.window, wm_timer, 77, 0);
    EXPECT_FALSE(paused);
    EXPECT_EQ(bar.state[2], up);
    EXPECT_EQ(bar.state[3], up);
}

TEST_F(IconBarTest, PaintsFacesOnABlackStrip)
{
    click_at(140);  // pause down: the play face
    for (int i = 0; i < 4; ++i) {
        const Icon* face = bar.face[i][bar.state[i]];
        ASSERT_NE(face, nullptr) << "face of button " << i;
        const int left = 30 + 53 * i;
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 23; ++x) {
                ASSERT_TRUE(face->opaque[y * face->width + x]);
                ASSERT_EQ(pixel_of(bar_at, left + x, y), face->pixels[y * face->width + x])
                    << "button " << i << " at " << x << "," << y;
            }
        for (int y = 0; y < 23; ++y)
            for (int x = left + 23; x < left + 53; ++x)
                ASSERT_EQ(pixel_of(bar_at, x, y), 0u) << "gap after button " << i << " at " << x << "," << y;
    }
    for (int y = 0; y < 23; ++y) {
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(pixel_of(bar_at, x, y), 0u);
        for (int x = 242; x < 640; ++x)
            ASSERT_EQ(pixel_of(bar_at, x, y), 0u);
    }
    // The faces differ by state: the pause button shows another face now.
    EXPECT_NE(bar.face[2][down], bar.face[2][up]);
}
