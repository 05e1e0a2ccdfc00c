#include "framework/runtime/UTimer.h"

#include <new>

#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UMemory.h"
#include "platform/Timers.h"

struct TTimerObj
{
    TTimerObj* next;
    int osTimerID; // 0 when not running
    TMessageProc proc;
    void* context;
    bool oneShot;
};

namespace
{
TTimerObj* gTimers = nullptr;

void StopOS(TTimerObj* timer)
{
    if (timer->osTimerID)
    {
        platform::StopTimer(timer->osTimerID);
        timer->osTimerID = 0;
    }
}

// Replacing rather than posting keeps one tick per timer in the queue however long it is blocked;
// priority -20 keeps ticks behind all ordinary work.
void Tick(int osTimerID)
{
    for (TTimerObj* t = gTimers; t; t = t->next)
    {
        if (t->osTimerID != osTimerID) continue;
        if (t->oneShot) StopOS(t);
        // This runs inside the OS event delivery, where nothing could catch an error: a tick that cannot
        // be queued (no queue yet, no memory) is lost like a tick of a busy system.
        if (!UApplication::GetQueue()) return;
        try
        {
            UApplication::ReplaceMessage(kMsgTimer, nullptr, 0, -20, t->proc, t->context, t);
        }
        catch (const SError&)
        {
        }
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
    *t = TTimerObj{gTimers, 0, proc, context, false};
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
    StopOS(timer);
    timer->oneShot = !repeat;
    timer->osTimerID = platform::StartTimer(periodMs);
    if (!timer->osTimerID) Fail(kErrTypeMemory, 101);
}

void UTimer::Stop(TTimerObj* timer)
{
    if (timer) StopOS(timer);
}

bool UTimer::IsRunning(TTimerObj* timer)
{
    return timer && timer->osTimerID != 0;
}

void UTimer::Dispose(TTimerObj* timer)
{
    if (!timer) return;
    StopOS(timer);
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
