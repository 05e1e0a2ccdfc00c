// Timers that deliver message 2 through the application queue, at most one queued per timer.
#pragma once

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
};
