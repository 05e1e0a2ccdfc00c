// The limits on transfers, on the clock a test holds: a speed limit holds within 5 % over ten seconds at
// fast and slow rates with transfers that take what they may whenever they are woken, two transfers share
// it evenly, a change holds at once, and transfers past the number at once wait for their turn in order.
#include <gtest/gtest.h>

#include "client/core/CMyTransferLimits.h"
#include "framework/runtime/UClock.h"

namespace
{
using EWay = CMyTransferLimits::EWay;

class TransferLimitsTest : public testing::Test
{
protected:
    // Runs `ms` milliseconds of the clock; each wake-up lets every transfer take what it may, in pieces
    // of 256 KiB as a transfer reads, for as long as the limit gives any (every read that leaves bytes
    // behind brings another step).
    void Run(uint64_t ms, std::vector<uint64_t*> moved)
    {
        for (uint64_t t = 0; t < ms; ++t)
        {
            UClock::Advance(1);
            if (!woken) continue;
            woken = false;
            TakeAll(moved);
        }
    }
    void TakeAll(std::vector<uint64_t*> moved)
    {
        for (bool any = true; any;)
        {
            any = false;
            for (uint64_t* m : moved)
                if (const uint32_t got = limits.Take(EWay::Down, m, 256 * 1024))
                {
                    *m += got;
                    any = true;
                }
        }
    }

    StClockInHand clock;
    bool woken = false;
    CMyTransferLimits limits{[this] { woken = true; }};
};
} // namespace

TEST_F(TransferLimitsTest, ASpeedLimitHoldsWithinFivePerCentOverTenSecondsFastAndSlow)
{
    for (const uint32_t kbps : {10240u, 1u, 37u})
    {
        limits.Set(kbps, 0, 0);
        uint64_t moved = 0;
        TakeAll({&moved});
        // What the full bucket gave at the start is not part of the rate.
        const uint64_t before = moved;
        Run(10000, {&moved});
        const double expected = double(kbps) * 1024 * 10;
        EXPECT_NEAR(double(moved - before), expected, expected * 0.05) << kbps << " KB/s";
        limits.Set(0, 0, 0);
    }
    // Without a limit everything asked for moves at once.
    EXPECT_EQ(limits.Take(EWay::Down, this, 5000000), 5000000u);
}

TEST_F(TransferLimitsTest, TwoTransfersShareTheLimitEvenlyAndAChangeHoldsAtOnce)
{
    limits.Set(1000, 0, 0);
    uint64_t a = 0, b = 0;
    Run(10000, {&a, &b});
    EXPECT_NEAR(double(a), double(b), double(a + b) * 0.1);
    EXPECT_NEAR(double(a + b), 1000.0 * 1024 * 10, 1000.0 * 1024 * 10 * 0.05);
    // Raised while they run: the next ten seconds go at the new rate.
    limits.Set(4000, 0, 0);
    const uint64_t before = a + b;
    Run(10000, {&a, &b});
    EXPECT_NEAR(double(a + b - before), 4000.0 * 1024 * 10, 4000.0 * 1024 * 10 * 0.05);
    // The upload limit is its own: none is set, so uploads are not held back.
    EXPECT_EQ(limits.Take(EWay::Up, &a, 3000000), 3000000u);
}

TEST_F(TransferLimitsTest, TransfersPastTheNumberAtOnceWaitTheirTurnInOrder)
{
    int a, b, c, d;
    limits.Set(0, 0, 2);
    woken = false;
    EXPECT_TRUE(limits.TakeTurn(&a));
    EXPECT_TRUE(limits.TakeTurn(&b));
    EXPECT_FALSE(limits.TakeTurn(&c));
    EXPECT_FALSE(limits.TakeTurn(&d));
    EXPECT_TRUE(limits.IsInLine(&c));
    EXPECT_TRUE(limits.TakeTurn(&a)) << "one that runs keeps its turn";
    EXPECT_FALSE(woken);

    limits.EndTurn(&a);
    EXPECT_TRUE(woken) << "the end of a running transfer wakes those in line";
    woken = false;
    EXPECT_FALSE(limits.TakeTurn(&d)) << "the turn is the first in line's";
    EXPECT_TRUE(limits.TakeTurn(&c));
    EXPECT_EQ(limits.Running(), 2u);

    // One that leaves the line (stopped while it waited) gives its place up and wakes nobody.
    limits.EndTurn(&d);
    EXPECT_FALSE(woken);
    EXPECT_FALSE(limits.IsInLine(&d));

    // The user's start runs it whatever the number; a higher number lets the line move at once.
    EXPECT_TRUE(limits.TakeTurn(&d, true));
    EXPECT_EQ(limits.Running(), 3u);
    limits.EndTurn(&b);
    limits.EndTurn(&c);
    limits.EndTurn(&d);
    limits.Set(0, 0, 1);
    EXPECT_TRUE(limits.TakeTurn(&a));
    EXPECT_FALSE(limits.TakeTurn(&b));
    woken = false;
    limits.Set(0, 0, 0);
    EXPECT_TRUE(woken);
    EXPECT_TRUE(limits.TakeTurn(&b));
}
