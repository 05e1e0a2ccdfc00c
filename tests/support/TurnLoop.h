// The run loop turned as the program turns it (UApplication::Run, the modal loop): one turn, then a wait
// for the next OS event. Tests and benchmarks wait through it alike. Turning twice before each wait would
// double every pass's work, and when the second turn brought the condition about, the wait would sleep
// until some timer with the answer already there.
#pragma once

#include <cstdint>

#include "framework/runtime/UApplication.h"
#include "platform/EventLoop.h"
#include "platform/Timers.h"

// True once `condition` holds; false when it still does not after `limitMs`. A repeating OS timer makes
// the wait wake up to look at the clock.
template <class F>
bool TurnUntil(F&& condition, uint32_t limitMs)
{
    const uint64_t deadline = platform::MonotonicMilliseconds() + limitMs;
    const int wake = platform::StartTimer(20);
    bool held = false;
    for (;;)
    {
        UApplication::Process();
        if (condition())
        {
            held = true;
            break;
        }
        if (platform::MonotonicMilliseconds() > deadline) break;
        platform::WaitForOneEvent();
    }
    platform::StopTimer(wake);
    return held;
}
