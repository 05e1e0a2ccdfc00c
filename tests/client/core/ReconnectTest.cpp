// When a lost connection is tried again, on the clock a test holds: the growing waits and their jitter,
// the countdown, and every way the attempts stop.
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

#include "client/core/CMyReconnect.h"
#include "framework/runtime/UClock.h"

namespace
{
class ReconnectTest : public testing::Test
{
protected:
    // Each attempt records when it started (ms since the test began) and fails at once unless told.
    CMyReconnect MakeReconnect(double random)
    {
        return CMyReconnect({[this] { attemptsAt.push_back(UClock::Now() - start); }, [this] { ++changes; }},
                            [random] { return random; });
    }

    StClockInHand clock;
    uint64_t start = UClock::Now();
    std::vector<uint64_t> attemptsAt;
    int changes = 0;
};
} // namespace

TEST(ReconnectDelayTest, WaitsDoubleFromTwoSecondsToThirtyTwoThenStayAtAMinuteWithinAFifth)
{
    const uint32_t expected[] = {2000, 4000, 8000, 16000, 32000, 60000, 60000, 60000};
    for (uint32_t attempt = 1; attempt <= 8; ++attempt)
    {
        const uint32_t base = expected[attempt - 1];
        EXPECT_EQ(CMyReconnect::BaseDelayMs(attempt), base) << attempt;
        EXPECT_EQ(CMyReconnect::DelayMs(attempt, 0.0), base * 4 / 5) << attempt;
        EXPECT_EQ(CMyReconnect::DelayMs(attempt, 0.5), base) << attempt;
        EXPECT_LE(CMyReconnect::DelayMs(attempt, 0.999999), base * 6 / 5) << attempt;
        EXPECT_GT(CMyReconnect::DelayMs(attempt, 0.999999), base * 6 / 5 - 2) << attempt;
    }
    // A generator that strays out of its range cannot make a wait outside the band.
    EXPECT_EQ(CMyReconnect::DelayMs(1, -3.0), 1600u);
    EXPECT_EQ(CMyReconnect::DelayMs(1, 7.0), 2400u);
    EXPECT_EQ(CMyReconnect::DelayMs(10000, 0.5), 60000u);
}

TEST_F(ReconnectTest, FailedAttemptsFollowTheScheduleUntilOneSucceeds)
{
    CMyReconnect reconnect = MakeReconnect(0.5);
    reconnect.Start();
    EXPECT_TRUE(reconnect.IsWaiting());
    EXPECT_EQ(reconnect.Attempt(), 1u);
    EXPECT_EQ(reconnect.SecondsLeft(), 2u);
    uint64_t expectedAt = 0;
    const uint64_t waits[] = {2000, 4000, 8000, 16000, 32000, 60000, 60000};
    for (size_t done = 0; done < std::size(waits); ++done)
    {
        const uint64_t wait = waits[done];
        UClock::Advance(wait - 1);
        EXPECT_EQ(attemptsAt.size(), done) << "too early, before " << wait;
        UClock::Advance(1);
        expectedAt += wait;
        ASSERT_EQ(attemptsAt.size(), done + 1) << "late, after " << wait;
        EXPECT_EQ(attemptsAt.back(), expectedAt);
        EXPECT_TRUE(reconnect.IsAttempting());
        // The connection takes a while to fail; the next wait counts from then.
        UClock::Advance(300);
        expectedAt += 300;
        reconnect.AttemptFailed();
    }
    EXPECT_EQ(reconnect.Attempt(), 8u);
    UClock::Advance(60000);
    ASSERT_EQ(attemptsAt.size(), 8u);
    reconnect.Succeeded();
    EXPECT_FALSE(reconnect.IsActive());
    EXPECT_EQ(reconnect.Attempt(), 0u);
    UClock::Advance(200000);
    EXPECT_EQ(attemptsAt.size(), 8u);
}

TEST_F(ReconnectTest, TheCountdownChangesOncePerWholeSecond)
{
    CMyReconnect reconnect = MakeReconnect(1.0); // 2.4 s
    reconnect.Start();
    std::vector<uint32_t> shown{reconnect.SecondsLeft()};
    const int before = changes;
    for (int i = 0; i < 24; ++i)
    {
        UClock::Advance(100);
        if (reconnect.IsWaiting() && reconnect.SecondsLeft() != shown.back())
            shown.push_back(reconnect.SecondsLeft());
    }
    EXPECT_EQ(shown, (std::vector<uint32_t>{3, 2, 1}));
    // One redraw per second shown, one for the attempt: no busy ticking in between.
    EXPECT_EQ(changes - before, 3);
    EXPECT_EQ(attemptsAt, std::vector<uint64_t>{2400});
}

TEST_F(ReconnectTest, CancelNowAndAnAttemptThatEndsForGoodStopTheSchedule)
{
    CMyReconnect reconnect = MakeReconnect(0.0);
    // Cancel while waiting: the queued tick finds nothing to do.
    reconnect.Start();
    UClock::Advance(1000);
    reconnect.Cancel();
    EXPECT_FALSE(reconnect.IsActive());
    UClock::Advance(100000);
    EXPECT_TRUE(attemptsAt.empty());

    // Now cuts the wait short, and the timer it cut short does not start a second attempt.
    reconnect.Start();
    UClock::Advance(500);
    reconnect.Now();
    EXPECT_EQ(attemptsAt, std::vector<uint64_t>{101500});
    UClock::Advance(5000);
    EXPECT_EQ(attemptsAt.size(), 1u);

    // Ending a session while waiting is no attempt that ended; ending the attempt is.
    reconnect.AttemptFailed();
    reconnect.AttemptEnded();
    EXPECT_TRUE(reconnect.IsWaiting());
    UClock::Advance(3200); // attempt 2 waits 4 s less a fifth
    ASSERT_EQ(attemptsAt.size(), 2u);
    reconnect.AttemptEnded();
    EXPECT_FALSE(reconnect.IsActive());
    UClock::Advance(100000);
    EXPECT_EQ(attemptsAt.size(), 2u);

    // A new loss starts from the first, short wait again.
    reconnect.Start();
    EXPECT_EQ(reconnect.Attempt(), 1u);
    UClock::Advance(1600);
    EXPECT_EQ(attemptsAt.size(), 3u);
}
