// Millisecond timers on the main thread. A tick only calls the installed procedure with the timer's id.
#pragma once

#include <cstdint>

namespace platform
{
using TimerTickProc = void (*)(int timerID);
void SetTimerTickProc(TimerTickProc proc);
// A repeating OS timer; returns its id, or 0 when the system has none to give.
int StartTimer(uint32_t periodMs);
void StopTimer(int timerID);
// Milliseconds from a monotonic clock; only differences mean anything.
uint64_t MonotonicMilliseconds();
} // namespace platform
