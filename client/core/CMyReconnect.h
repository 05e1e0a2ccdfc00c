// Coming back by itself after a lost connection: when to try again and how long to wait. The waits grow
// from 2 seconds, doubling up to 32, then stay at a minute, each moved up to a fifth either way at random
// so that the users of a server that restarts do not all knock at the same moment. Making the
// connection is the owner's (the `attempt` hook); the owner reports how each attempt ended.
//
// Idle → (Start) waiting → (the wait ends, or Now) attempting → (Succeeded) idle
//                   ↑_______________ (AttemptFailed) ____________|
// Cancel ends it from anywhere; AttemptEnded ends an attempt that failed for a reason that another try
// would not mend (a refused login, the user stopping it).
#pragma once

#include <cstdint>
#include <functional>

#include "framework/runtime/COwner.h"
#include "framework/runtime/UTimer.h"

class CMyReconnect
{
public:
    static constexpr uint32_t kFirstDelayMs = 2000;
    static constexpr uint32_t kSteadyDelayMs = 60000;
    // Each wait is moved by up to this share of itself, either way.
    static constexpr uint32_t kJitterPercent = 20;

    struct SHooks
    {
        // Start attempt number Attempt() now.
        std::function<void()> attempt;
        // The state, the attempt number or the whole seconds left changed: what shows it is redrawn.
        std::function<void()> changed;
    };
    // `random` gives numbers in [0, 1) for the jitter; null takes a generator of its own.
    explicit CMyReconnect(SHooks hooks, std::function<double()> random = nullptr);
    CMyReconnect(const CMyReconnect&) = delete;
    CMyReconnect& operator=(const CMyReconnect&) = delete;

    // The wait before attempt `attempt` (from 1) without jitter, and with the jitter that `random`
    // (in [0, 1)) picks.
    static uint32_t BaseDelayMs(uint32_t attempt);
    static uint32_t DelayMs(uint32_t attempt, double random);

    // A connection that had logged in was lost: the first attempt waits its turn.
    void Start();
    // The attempt under way could not reach or keep the server: the next one waits its turn.
    void AttemptFailed();
    // The attempt under way ended in a way another try would not mend: no more attempts. Nothing while
    // waiting, so that an owner may say it wherever a session ends.
    void AttemptEnded();
    // The attempt under way logged in.
    void Succeeded();
    // No more attempts, from any state.
    void Cancel();
    // While waiting, the next attempt starts now.
    void Now();

    bool IsWaiting() const { return mState == EState::Waiting; }
    bool IsAttempting() const { return mState == EState::Attempting; }
    bool IsActive() const { return mState != EState::Idle; }
    // The attempt waited for or under way, from 1; 0 while idle.
    uint32_t Attempt() const { return mAttempt; }
    // Whole seconds, rounded up, until the next attempt; 0 unless waiting.
    uint32_t SecondsLeft() const;
    // What the user is told while active, length-prefixed Mac OS Roman text in `out` (256 bytes):
    // "Connection lost — reconnecting in 8 s (attempt 3)"; empty while idle.
    void StatusText(uint8_t* out) const;

private:
    enum class EState
    {
        Idle,
        Waiting,
        Attempting,
    };

    static void TimerProc(void* context, void* object, uint32_t msg, const void* data, uint32_t size);
    void WaitForNext();
    void Tick();
    void Fire();
    void SetIdle();
    void Changed();

    SHooks mHooks;
    std::function<double()> mRandom;
    EState mState = EState::Idle;
    uint32_t mAttempt = 0;
    uint64_t mDueAt = 0;
    COwner<TTimerObj, UTimer::Dispose> mTimer;
};
