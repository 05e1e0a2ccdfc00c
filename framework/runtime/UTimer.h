// Timers that deliver message 2 through the application queue, at most one queued per timer. They fall
// due by the program's clock (UClock): on the system's timers, or, while a test holds the clock in hand,
// as the test advances it.
#pragma once

#include <cstdint>

#include "framework/runtime/MessageProc.h"

struct TTimerObj;

class UTimer
{
public:
    static void Init();
    static TTimerObj* New(TMessageProc proc, void* context);
    static TTimerObj* StartNew(TMessageProc proc, void* context, uint32_t periodMs, bool repeat);
    static void Start(TTimerObj* timer, uint32_t periodMs, bool repeat);
    static void Stop(TTimerObj* timer);
    static bool IsRunning(TTimerObj* timer);
    static void Dispose(TTimerObj* timer);

    // For the clock only. The running timers move to the clock in hand (`inHand`, each due one period
    // after `now`) or back to the system's timers.
    static void _MoveToClock(bool inHand, uint64_t now);
    // The running timer that falls due first on the clock in hand, no later than `until`; null when
    // none does. Of timers due at the same time the one started first comes first.
    static TTimerObj* _NextDue(uint64_t until, uint64_t& outDue);
    // Queues the tick of a timer that fell due and schedules its next one.
    static void _TickDue(TTimerObj* timer);
};
