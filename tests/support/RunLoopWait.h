// Pumps the run loop until a condition holds. The watchdog turns a hang into a failed test that says
// what it was waiting for.
#pragma once

#include <chrono>
#include <functional>
#include <gtest/gtest.h>

#include "framework/runtime/UApplication.h"
#include "platform/EventLoop.h"
#include "platform/Timers.h"
#include "tests/support/TurnLoop.h"

inline bool PumpUntil(const std::function<bool()>& condition, const char* what, uint32_t watchdogMs = 5000)
{
    const bool held = TurnUntil(condition, watchdogMs);
    if (!held) ADD_FAILURE() << "watchdog: gave up after " << watchdogMs << " ms waiting for " << what;
    return held;
}

// Pumps the run loop for a while, for tests that check that something does not happen: it would have
// happened by then.
inline void PumpFor(uint32_t ms)
{
    const uint64_t end = platform::MonotonicMilliseconds() + ms;
    const int wake = platform::StartTimer(20);
    while (platform::MonotonicMilliseconds() < end)
        UApplication::ProcessAndSleep();
    platform::StopTimer(wake);
}
