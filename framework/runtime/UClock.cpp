#include "framework/runtime/UClock.h"

#include <cassert>

#include "framework/runtime/UApplication.h"
#include "framework/runtime/UTimer.h"
#include "platform/Timers.h"

namespace
{
uint32_t gHandDepth = 0;
uint64_t gHandNow = 0;
// Added to the system's clock: what a clock given back was ahead of it, so that time never runs backward.
int64_t gOffset = 0;

uint64_t SystemNow()
{
    return uint64_t(int64_t(platform::MonotonicMilliseconds()) + gOffset);
}

void MoveForward(uint64_t ms, bool deliver)
{
    // Advancing a clock the system runs would be a test's mistake: the system's timers would not follow.
    assert(gHandDepth > 0);
    const uint64_t until = gHandNow + ms;
    uint64_t due = 0;
    while (TTimerObj* timer = UTimer::_NextDue(until, due))
    {
        if (due > gHandNow) gHandNow = due;
        UTimer::_TickDue(timer);
        if (deliver) UApplication::Process();
    }
    gHandNow = until;
    if (deliver) UApplication::Process();
}
} // namespace

uint64_t UClock::Now()
{
    return gHandDepth ? gHandNow : SystemNow();
}

int64_t UClock::AheadOfSystem()
{
    return int64_t(Now()) - int64_t(platform::MonotonicMilliseconds());
}

void UClock::TakeInHand()
{
    if (gHandDepth++) return;
    gHandNow = SystemNow();
    UTimer::_MoveToClock(true, gHandNow);
}

void UClock::GiveBack()
{
    assert(gHandDepth > 0);
    if (--gHandDepth) return;
    const int64_t ahead = int64_t(gHandNow) - int64_t(platform::MonotonicMilliseconds());
    if (ahead > gOffset) gOffset = ahead;
    UTimer::_MoveToClock(false, Now());
}

bool UClock::IsInHand()
{
    return gHandDepth > 0;
}

void UClock::Advance(uint64_t ms)
{
    MoveForward(ms, true);
}

void UClock::AdvanceWithoutDelivering(uint64_t ms)
{
    MoveForward(ms, false);
}
