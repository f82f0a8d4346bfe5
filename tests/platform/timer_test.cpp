// Timers on the virtual clock.
#include "window_fixture.h"

#include "platform/clock.h"

namespace {

class Timers : public WindowTest {
protected:
    WindowHandle window = nullptr;
    void SetUp() override
    {
        WindowTest::SetUp();
        window = make_main();
    }
    int timer_messages(std::uintptr_t id)
    {
        int n = 0;
        for (const Logged& l : pump())
            n += l.message == wm_timer && l.wparam == id;
        return n;
    }
};

TEST_F(Timers, FirstDelayThenEveryPeriod)
{
    ASSERT_TRUE(set_timer(window, 1, 500));
    sleep_ms(499);
    EXPECT_EQ(timer_messages(1), 0);
    sleep_ms(1);
    EXPECT_EQ(timer_messages(1), 1);
    sleep_ms(499);
    EXPECT_EQ(timer_messages(1), 0);
    sleep_ms(1);
    EXPECT_EQ(timer_messages(1), 1);
}

TEST_F(Timers, ALateQueueGetsOneMessageNotABacklog)
{
    set_timer(window, 1, 100);
    sleep_ms(1000);
    EXPECT_EQ(timer_messages(1), 1);
    sleep_ms(99);
    EXPECT_EQ(timer_messages(1), 0);
}

TEST_F(Timers, StartingARunningTimerReplacesIt)
{
    set_timer(window, 1, 500);
    sleep_ms(300);
    set_timer(window, 1, 100);  // the new first delay counts from now
    sleep_ms(99);
    EXPECT_EQ(timer_messages(1), 0);
    sleep_ms(1);
    EXPECT_EQ(timer_messages(1), 1);
    sleep_ms(100);  // and the old 500 is gone: due at 500, 600 alike
    EXPECT_EQ(timer_messages(1), 1);
    sleep_ms(50);
    EXPECT_EQ(timer_messages(1), 0);
}

TEST_F(Timers, KillStopsOnlyThatTimer)
{
    set_timer(window, 1, 100);
    set_timer(window, 2, 100);
    EXPECT_TRUE(kill_timer(window, 1));
    EXPECT_FALSE(kill_timer(window, 1));
    sleep_ms(100);
    const std::vector<Logged> got = pump();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].wparam, 2u);
}

}  // namespace
