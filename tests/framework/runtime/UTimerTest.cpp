// Timer ticks through the application queue: coalescing, one-shot, disposal.
#include <gtest/gtest.h>

#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UMessageSys.h"
#include "framework/runtime/UTimer.h"
#include "platform/EventLoop.h"
#include "platform/Timers.h"
#include "tests/support/RunLoopWait.h"

namespace
{
struct STicks
{
    int count = 0;
    TTimerObj* lastObject = nullptr;
};

void CountTick(void* context, void* object, uint32_t msg, const void*, uint32_t)
{
    auto* t = static_cast<STicks*>(context);
    if (msg == 2) ++t->count;
    t->lastObject = static_cast<TTimerObj*>(object);
}

// Delivers OS events (timer ticks) for a while without executing any queued message, as when a long
// handler keeps the queue from being drained.
void DeliverOnlyOSEventsFor(uint32_t ms)
{
    auto hook = platform::GetBeforeBlockHook();
    platform::SetBeforeBlockHook(nullptr);
    // Our own OS timer keeps the wait from blocking for good when the timer under test has stopped.
    int wake = platform::StartTimer(5);
    const uint64_t end = platform::MonotonicMilliseconds() + ms;
    while (platform::MonotonicMilliseconds() < end)
        platform::WaitForOneEvent();
    platform::StopTimer(wake);
    platform::SetBeforeBlockHook(hook);
}

class TimerTest : public testing::Test
{
protected:
    void SetUp() override { UApplication::Init(); }
};
} // namespace

TEST_F(TimerTest, RepeatingTimerNeverHasMoreThanOneTickQueued)
{
    STicks ticks;
    TTimerObj* t = UTimer::StartNew(CountTick, &ticks, 5, true);
    const uint32_t before = UMessageSys::GetCount(UApplication::GetQueue());
    DeliverOnlyOSEventsFor(80); // about 16 periods pass while nothing is consumed
    EXPECT_EQ(UMessageSys::GetCount(UApplication::GetQueue()), before + 1);
    UApplication::Process();
    EXPECT_EQ(ticks.count, 1);
    EXPECT_EQ(ticks.lastObject, t);
    UTimer::Dispose(t);
}

TEST_F(TimerTest, DisposingATimerDropsItsQueuedTick)
{
    STicks ticks;
    TTimerObj* t = UTimer::StartNew(CountTick, &ticks, 5, true);
    DeliverOnlyOSEventsFor(30);
    UTimer::Dispose(t);
    UApplication::Process();
    EXPECT_EQ(ticks.count, 0);
}

TEST_F(TimerTest, OneShotTimerTicksOnceAndStops)
{
    STicks ticks;
    TTimerObj* t = UTimer::StartNew(CountTick, &ticks, 10, false);
    PumpUntil([&] { return ticks.count == 1; }, "the one-shot tick");
    EXPECT_FALSE(UTimer::IsRunning(t));
    DeliverOnlyOSEventsFor(40);
    UApplication::Process();
    EXPECT_EQ(ticks.count, 1);
    // Restarting a stopped timer works again.
    UTimer::Start(t, 10, false);
    PumpUntil([&] { return ticks.count == 2; }, "the restarted tick");
    UTimer::Dispose(t);
}

TEST_F(TimerTest, StoppedTimerKeepsAlreadyQueuedTick)
{
    STicks ticks;
    TTimerObj* t = UTimer::StartNew(CountTick, &ticks, 5, true);
    DeliverOnlyOSEventsFor(30);
    UTimer::Stop(t);
    UApplication::Process();
    EXPECT_EQ(ticks.count, 1);
    UTimer::Dispose(t);
}

TEST_F(TimerTest, ErrorRaisedByATimerProcedureBecomesExactlyOneErrorMessage)
{
    static int errors;
    errors = 0;
    TMessageProc oldProc;
    void* oldContext;
    UMessageSys::GetDefaultProc(UApplication::GetQueue(), oldProc, oldContext);
    UApplication::SetMessageHandler(
        [](void*, void*, uint32_t msg, const void*, uint32_t) { errors += msg == 1; }, nullptr);
    TTimerObj* t = UTimer::StartNew([](void*, void*, uint32_t, const void*, uint32_t) { Fail(8, 100); },
                                    nullptr, 5, false);
    PumpUntil([] { return errors == 1; }, "the error message of a failing timer");
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
