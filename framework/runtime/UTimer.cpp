#include "framework/runtime/UTimer.h"

#include <new>

#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UClock.h"
#include "framework/runtime/UMemory.h"
#include "platform/Timers.h"

struct TTimerObj
{
    TTimerObj* next;
    int osTimerID; // 0 when not running on a system timer
    TMessageProc proc;
    void* context;
    uint32_t periodMs;
    uint64_t dueMs;  // on a clock in hand: when it ticks next; 0 when not running there
    uint64_t serial; // order of starting, which decides between timers due at the same time
    bool oneShot;
};

namespace
{
TTimerObj* gTimers = nullptr;
uint64_t gStartSerial = 0;

void StopOS(TTimerObj* timer)
{
    if (timer->osTimerID)
    {
        platform::StopTimer(timer->osTimerID);
        timer->osTimerID = 0;
    }
}

void StopTimer(TTimerObj* timer)
{
    StopOS(timer);
    timer->dueMs = 0;
}

// A repeating timer of period 0 would fall due again at the same time for ever on a clock in hand.
uint64_t HandPeriod(const TTimerObj* timer)
{
    return timer->periodMs ? timer->periodMs : 1;
}

void Run(TTimerObj* timer, uint64_t now)
{
    if (UClock::IsInHand())
    {
        timer->dueMs = now + HandPeriod(timer);
        return;
    }
    timer->osTimerID = platform::StartTimer(timer->periodMs);
    if (!timer->osTimerID) Fail(kErrTypeMemory, 101);
}

// Replacing rather than posting keeps one tick per timer in the queue however long it is blocked;
// priority -20 keeps ticks behind all ordinary work.
void QueueTick(TTimerObj* t)
{
    if (t->oneShot) StopTimer(t);
    // This runs inside the OS event delivery, where nothing could catch an error: a tick that cannot be
    // queued (no queue yet, no memory) is lost like a tick of a busy system.
    if (!UApplication::GetQueue()) return;
    try
    {
        UApplication::ReplaceMessage(kMsgTimer, nullptr, 0, -20, t->proc, t->context, t);
    }
    catch (const SError&)
    {
    }
}

void Tick(int osTimerID)
{
    for (TTimerObj* t = gTimers; t; t = t->next)
        if (t->osTimerID == osTimerID)
        {
            QueueTick(t);
            return;
        }
}
} // namespace

void UTimer::Init()
{
    platform::SetTimerTickProc(Tick);
}

TTimerObj* UTimer::New(TMessageProc proc, void* context)
{
    Init();
    auto* t = static_cast<TTimerObj*>(UMemory::New(sizeof(TTimerObj)));
    *t = TTimerObj{gTimers, 0, proc, context, 0, 0, 0, false};
    gTimers = t;
    return t;
}

TTimerObj* UTimer::StartNew(TMessageProc proc, void* context, uint32_t periodMs, bool repeat)
{
    TTimerObj* t = New(proc, context);
    try
    {
        Start(t, periodMs, repeat);
    }
    catch (...)
    {
        Dispose(t);
        throw;
    }
    return t;
}

void UTimer::Start(TTimerObj* timer, uint32_t periodMs, bool repeat)
{
    RequireObject(timer);
    StopTimer(timer);
    timer->oneShot = !repeat;
    timer->periodMs = periodMs;
    timer->serial = ++gStartSerial;
    Run(timer, UClock::Now());
}

void UTimer::Stop(TTimerObj* timer)
{
    if (timer) StopTimer(timer);
}

bool UTimer::IsRunning(TTimerObj* timer)
{
    return timer && (timer->osTimerID != 0 || timer->dueMs != 0);
}

void UTimer::Dispose(TTimerObj* timer)
{
    if (!timer) return;
    StopTimer(timer);
    for (TTimerObj** link = &gTimers; *link; link = &(*link)->next)
        if (*link == timer)
        {
            *link = timer->next;
            break;
        }
    // A tick already queued must never reach a receiver that thinks the timer is gone.
    UApplication::FlushMessages(timer->proc, timer->context, timer);
    UMemory::Dispose(timer);
}

void UTimer::_MoveToClock(bool inHand, uint64_t now)
{
    for (TTimerObj* t = gTimers; t; t = t->next)
    {
        if (!IsRunning(t)) continue;
        StopTimer(t);
        if (inHand)
            t->dueMs = now + HandPeriod(t);
        else
            // A timer that cannot get a system timer back stays stopped, as one that never started.
            t->osTimerID = platform::StartTimer(t->periodMs);
    }
}

TTimerObj* UTimer::_NextDue(uint64_t until, uint64_t& outDue)
{
    TTimerObj* first = nullptr;
    for (TTimerObj* t = gTimers; t; t = t->next)
    {
        if (!t->dueMs || t->dueMs > until) continue;
        if (!first || t->dueMs < first->dueMs || (t->dueMs == first->dueMs && t->serial < first->serial))
            first = t;
    }
    if (first) outDue = first->dueMs;
    return first;
}

void UTimer::_TickDue(TTimerObj* timer)
{
    RequireObject(timer);
    if (!timer->oneShot) timer->dueMs += HandPeriod(timer);
    QueueTick(timer);
}
