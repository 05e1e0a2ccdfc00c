// The clock the program runs by: timers fall due by it, and elapsed times, time-outs and the current date
// are read from it.
//
// The program runs on the system's monotonic clock. A test may take the clock in hand instead: time then
// stands still until the test moves it forward, and timers fall due as it does, their ticks going through
// the application queue as ever. A time-out of 20 seconds or a back-off of a minute is then tested exactly
// and in no time, without waiting on the wall clock.
#pragma once

#include <cstdint>

class UClock
{
public:
    // Milliseconds on a monotonic scale; only differences mean anything. Never runs backward, also not
    // when a clock in hand is given back.
    static uint64_t Now();
    // How far the program's clock is ahead of the system's monotonic clock: what a test has advanced it
    // by, so that the current date moves with it.
    static int64_t AheadOfSystem();

    // Takes the clock in hand: from now on it stands still until Advance, and running timers stop using
    // the system's timers (each now falls due one whole period after this call).
    static void TakeInHand();
    // Gives the clock back to the system: it goes on from where it stood, and running timers go back to
    // the system's timers with their whole period.
    static void GiveBack();
    static bool IsInHand();

    // Moves a clock in hand forward. Each timer that falls due on the way ticks at its own due time,
    // earliest first, and the application queue is drained after each tick, so that a timer started by
    // a tick's receiver falls due at its right time within the same advance.
    static void Advance(uint64_t ms);
    // The same, but the ticks are only queued, as while a long handler keeps the queue from draining.
    static void AdvanceWithoutDelivering(uint64_t ms);
};

// Holds the clock in hand for a scope: for tests.
class StClockInHand
{
public:
    StClockInHand() { UClock::TakeInHand(); }
    ~StClockInHand() { UClock::GiveBack(); }
    StClockInHand(const StClockInHand&) = delete;
    StClockInHand& operator=(const StClockInHand&) = delete;
};
