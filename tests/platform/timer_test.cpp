// Timers on the virtual clock.
#include "platform/clock.h"
#include "window_fixture.h"

namespace {

class Timers : public WindowTest {
protected:
    WindowHandle window = nullptr;
    void SetUp() override
    {
        WindowTest::SetUp();
        window = make_main();
    }
    // After each wait, how many messages timer `id` has sent.
    std::vector<int> ticks(const std::vector<std::uint32_t>& waits_ms, std::uintptr_t id = 1)
    {
        std::vector<int> counts;
        for (const std::uint32_t ms : waits_ms) {
            sleep_ms(ms);
            int n = 0;
            for (const Message& m : pump())
                n += m.message == wm_timer && m.wparam == id;
            counts.push_back(n);
        }
        return counts;
    }
};

TEST_F(Timers, FirstDelayThenEveryPeriodAndALateQueueGetsOneMessageNotABacklog)
{
    ASSERT_TRUE(set_timer(window, 1, 500));
    EXPECT_EQ(ticks({499, 1, 499, 1, 5000, 499, 1}), (std::vector<int>{0, 1, 0, 1, 1, 0, 1}));
}

TEST_F(Timers, StartingARunningTimerReplacesIt)
{
    set_timer(window, 1, 500);
    sleep_ms(300);
    set_timer(window, 1, 100);  // the new first delay counts from now, and the old 500 is gone
    EXPECT_EQ(ticks({99, 1, 100, 50}), (std::vector<int>{0, 1, 1, 0}));
}

TEST_F(Timers, KillStopsOnlyThatTimer)
{
    set_timer(window, 1, 100);
    set_timer(window, 2, 100);
    EXPECT_TRUE(kill_timer(window, 1));
    EXPECT_FALSE(kill_timer(window, 1));
    EXPECT_EQ(ticks({100}, 2), (std::vector<int>{1}));
    EXPECT_EQ(ticks({100}, 1), (std::vector<int>{0}));
}

}  // namespace
