// The icon bar in its window: hot zones, the buttons' state machine through
// real clicks, and the picture hold on the bar's timer.
#include <array>
#include <string>

#include "platform/portable/icon.h"
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

    void click_at(std::int32_t x, std::int32_t y = 11)
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
    EXPECT_EQ(find_kind(bar, pause_button), 2);
    EXPECT_EQ(find_kind(bar, picture_button), 3);
    EXPECT_EQ(find_kind(bar, 7), -1);
    EXPECT_EQ((std::array{bar.first_icon[0], bar.first_icon[1], bar.first_icon[2], bar.first_icon[3]}),
              (std::array{105, 109, 113, 140}));

    EXPECT_FALSE(create_iconbar(main_window, 0, 0, 100, 23)) << "only one bar";
    EXPECT_EQ(headless_host().box_title, "Window Creation Failure");
    EXPECT_EQ(states(), "duuu");
}

TEST_F(IconBarTest, HotZonesAreOnePixelWiderThanTheFaces)
{
    // Clicks in turn, and the rule and pause flag after each; any row counts.
    const std::tuple<int, int, std::int32_t, bool> clicks[] = {
        {82, 11, 0, false}, {83, 0, 1, false},   {29, 11, 1, false},  {54, 11, 1, false},
        {53, 22, 0, false}, {106, 11, 1, false}, {30, 11, 0, false},  {107, 11, 0, false},
        {213, 11, 0, false}, {242, 11, 0, false}, {212, 11, 0, true},  // the picture button's last column
    };
    for (const auto& [x, y, mode, now_paused] : clicks) {
        click_at(x, y);
        EXPECT_EQ(sim_mode.mode, mode) << "after a click at " << x;
        EXPECT_EQ(paused, now_paused) << "after a click at " << x;
    }
}

TEST_F(IconBarTest, RuleButtonsAreARadioPair)
{
    click_at(40);
    EXPECT_EQ(cell_field.velocity[1000], 9) << "the active rule's button does nothing";
    click_at(90);
    EXPECT_EQ(states(), "uduu");
    EXPECT_EQ(sim_mode.mode, 1);
    EXPECT_EQ(cell_field.velocity[1000], 0) << "the switch clears the velocity";
    cell_field.velocity.fill(9);
    click_at(90);
    EXPECT_EQ(cell_field.velocity[1000], 9);
    // Direct requests never move a rule button.
    press_button(bar, 0, down, true, true);
    press_button(bar, 1, up, true, true);
    EXPECT_EQ(states(), "uduu");
}

TEST_F(IconBarTest, PauseButtonStateMachine)
{
    // In turn: a click on the button (-1) or press_button's request with or
    // without apply, and the state and flag after it.
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
        EXPECT_EQ(bar.state[2], state) << "step " << step;
        EXPECT_EQ(paused, now_paused) << "step " << step++;
    }
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
    EXPECT_TRUE(paused);
    EXPECT_EQ(bar.state[3], down);
    wait_ms(20);
    EXPECT_FALSE(paused) << "the hold always ends running, even if paused before";
    EXPECT_EQ(states(), "duuu");
    wait_ms(6000);
    EXPECT_EQ(states(), "duuu") << "the timer was stopped";

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
