// Timer ticks through the application queue: coalescing, one-shot, disposal, and the clock a test holds
// in hand.
#include <gtest/gtest.h>
#include <vector>

#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UClock.h"
#include "framework/runtime/UDateTime.h"
#include "framework/runtime/UMessageSys.h"
#include "framework/runtime/UTimer.h"
#include "tests/support/RunLoopWait.h"

namespace
{
struct STicks
{
    int count = 0;
    TTimerObj* lastObject = nullptr;
    std::vector<uint64_t> at; // the clock at each tick
};

void CountTick(void* context, void* object, uint32_t msg, const void*, uint32_t)
{
    auto* t = static_cast<STicks*>(context);
    if (msg == 2) ++t->count;
    t->lastObject = static_cast<TTimerObj*>(object);
    t->at.push_back(UClock::Now());
}

class TimerTest : public testing::Test
{
protected:
    void SetUp() override { UApplication::Init(); }
};
} // namespace

TEST_F(TimerTest, SystemTimerTicksThroughTheQueue)
{
    STicks ticks;
    TTimerObj* t = UTimer::StartNew(CountTick, &ticks, 10, false);
    ASSERT_TRUE(PumpUntil([&] { return ticks.count == 1; }, "the one-shot tick of a system timer"));
    EXPECT_EQ(ticks.lastObject, t);
    EXPECT_FALSE(UTimer::IsRunning(t));
    UTimer::Dispose(t);
}

TEST_F(TimerTest, RepeatingTimerNeverHasMoreThanOneTickQueued)
{
    StClockInHand clock;
    STicks ticks;
    TTimerObj* t = UTimer::StartNew(CountTick, &ticks, 5, true);
    const uint32_t before = UMessageSys::GetCount(UApplication::GetQueue());
    UClock::AdvanceWithoutDelivering(80); // 16 periods pass while nothing is consumed
    EXPECT_EQ(UMessageSys::GetCount(UApplication::GetQueue()), before + 1);
    UApplication::Process();
    EXPECT_EQ(ticks.count, 1);
    EXPECT_EQ(ticks.lastObject, t);
    UTimer::Dispose(t);
}

TEST_F(TimerTest, DisposingATimerDropsItsQueuedTick)
{
    StClockInHand clock;
    STicks ticks;
    TTimerObj* t = UTimer::StartNew(CountTick, &ticks, 5, true);
    UClock::AdvanceWithoutDelivering(30);
    UTimer::Dispose(t);
    UApplication::Process();
    EXPECT_EQ(ticks.count, 0);
}

TEST_F(TimerTest, OneShotTimerTicksOnceAtItsTimeAndCanBeRestarted)
{
    StClockInHand clock;
    STicks ticks;
    const uint64_t start = UClock::Now();
    TTimerObj* t = UTimer::StartNew(CountTick, &ticks, 10, false);
    UClock::Advance(9);
    EXPECT_EQ(ticks.count, 0);
    UClock::Advance(1);
    EXPECT_EQ(ticks.at, std::vector<uint64_t>{start + 10});
    EXPECT_FALSE(UTimer::IsRunning(t));
    UClock::Advance(1000);
    EXPECT_EQ(ticks.count, 1);
    UTimer::Start(t, 10, false);
    UClock::Advance(10);
    EXPECT_EQ(ticks.count, 2);
    UTimer::Dispose(t);
}

TEST_F(TimerTest, StoppedTimerKeepsAlreadyQueuedTick)
{
    StClockInHand clock;
    STicks ticks;
    TTimerObj* t = UTimer::StartNew(CountTick, &ticks, 5, true);
    UClock::AdvanceWithoutDelivering(30);
    UTimer::Stop(t);
    UApplication::Process();
    EXPECT_EQ(ticks.count, 1);
    UTimer::Dispose(t);
}

TEST_F(TimerTest, ErrorRaisedByATimerProcedureBecomesExactlyOneErrorMessage)
{
    StClockInHand clock;
    static int errors;
    errors = 0;
    TMessageProc oldProc;
    void* oldContext;
    UMessageSys::GetDefaultProc(UApplication::GetQueue(), oldProc, oldContext);
    UApplication::SetMessageHandler(
        [](void*, void*, uint32_t msg, const void*, uint32_t) { errors += msg == 1; }, nullptr);
    TTimerObj* t = UTimer::StartNew([](void*, void*, uint32_t, const void*, uint32_t) { Fail(8, 100); },
                                    nullptr, 5, false);
    UClock::Advance(5);
    UApplication::Process();
    EXPECT_EQ(errors, 1);
    UTimer::Dispose(t);
    UApplication::SetMessageHandler(oldProc, oldContext);
}

TEST_F(TimerTest, NullTimersAreRefusedExceptByStopAndDispose)
{
    UTimer::Stop(nullptr);
    UTimer::Dispose(nullptr);
    EXPECT_THROW(UTimer::Start(nullptr, 10, true), SError);
}

// A back-off that doubles from 2 s to 60 s: each tick starts the next wait, which must fall due within
// the same advance at its own time.
TEST_F(TimerTest, TimersStartedByATickFallDueInTheSameAdvanceAtTheirOwnTime)
{
    StClockInHand clock;
    struct SBackOff
    {
        TTimerObj* timer = nullptr;
        uint32_t delay = 2000;
        std::vector<uint64_t> at;
    } backOff;
    backOff.timer = UTimer::New(
        [](void* context, void*, uint32_t, const void*, uint32_t)
        {
            auto* b = static_cast<SBackOff*>(context);
            b->at.push_back(UClock::Now());
            b->delay = b->delay * 2 > 60000 ? 60000 : b->delay * 2;
            UTimer::Start(b->timer, b->delay, false);
        },
        &backOff);
    const uint64_t start = UClock::Now();
    UTimer::Start(backOff.timer, backOff.delay, false);
    UClock::Advance(200000);
    const std::vector<uint64_t> expected = {start + 2000,  start + 6000,   start + 14000, start + 30000,
                                            start + 62000, start + 122000, start + 182000};
    EXPECT_EQ(backOff.at, expected);
    EXPECT_EQ(UClock::Now(), start + 200000);
    UTimer::Dispose(backOff.timer);
}

TEST_F(TimerTest, TimersDueTogetherTickInTheOrderTheyWereStarted)
{
    StClockInHand clock;
    static std::vector<int> order;
    order.clear();
    auto proc = [](void* context, void*, uint32_t, const void*, uint32_t)
    { order.push_back(int(reinterpret_cast<intptr_t>(context))); };
    // The newer timer is found first in the list of timers: the order of starting must win over it.
    TTimerObj* first = UTimer::New(proc, reinterpret_cast<void*>(1));
    TTimerObj* second = UTimer::New(proc, reinterpret_cast<void*>(2));
    UTimer::Start(first, 100, false);
    UTimer::Start(second, 100, false);
    UClock::Advance(100);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    UTimer::Dispose(first);
    UTimer::Dispose(second);
}

TEST_F(TimerTest, AClockGivenBackNeverRunsBackwardAndItsTimersGoBackToTheSystem)
{
    STicks ticks;
    TTimerObj* t = nullptr;
    uint64_t handedBack = 0;
    {
        StClockInHand clock;
        t = UTimer::StartNew(CountTick, &ticks, 20, false);
        UClock::Advance(60000);
        EXPECT_EQ(ticks.count, 1);
        UTimer::Start(t, 20, false);
        handedBack = UClock::Now();
        EXPECT_EQ(UDateTime::GetSeconds(), uint32_t(handedBack / 1000));
        EXPECT_GE(UClock::AheadOfSystem(), 59000);
    }
    EXPECT_GE(UClock::Now(), handedBack);
    EXPECT_TRUE(UTimer::IsRunning(t));
    ASSERT_TRUE(PumpUntil([&] { return ticks.count == 2; }, "the tick of a timer given back to the system"));
    UTimer::Dispose(t);
}
