#include "client/core/CMyReconnect.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>

#include "framework/runtime/MessageProc.h"
#include "framework/runtime/UClock.h"

CMyReconnect::CMyReconnect(SHooks hooks, std::function<double()> random)
    : mHooks(std::move(hooks)), mRandom(std::move(random)), mTimer(UTimer::New(TimerProc, this))
{
    if (!mRandom)
    {
        // Clients that lost the same server at the same moment must not draw the same waits.
        auto engine = std::make_shared<std::mt19937>(std::random_device{}());
        mRandom = [engine] { return std::uniform_real_distribution<double>(0.0, 1.0)(*engine); };
    }
}

uint32_t CMyReconnect::BaseDelayMs(uint32_t attempt)
{
    // 2, 4, 8, 16 and 32 seconds, then a minute.
    if (attempt == 0) attempt = 1;
    if (attempt > 5) return kSteadyDelayMs;
    return kFirstDelayMs << (attempt - 1);
}

uint32_t CMyReconnect::DelayMs(uint32_t attempt, double random)
{
    const double base = BaseDelayMs(attempt);
    const double span = base * kJitterPercent / 100.0;
    random = std::clamp(random, 0.0, 1.0);
    return uint32_t(base - span + 2.0 * span * random);
}

void CMyReconnect::Start()
{
    mAttempt = 0;
    WaitForNext();
}

void CMyReconnect::AttemptFailed()
{
    if (mState == EState::Attempting) WaitForNext();
}

void CMyReconnect::AttemptEnded()
{
    if (mState == EState::Attempting) SetIdle();
}

void CMyReconnect::Succeeded()
{
    if (mState == EState::Attempting) SetIdle();
}

void CMyReconnect::Cancel()
{
    if (mState != EState::Idle) SetIdle();
}

void CMyReconnect::Now()
{
    if (mState == EState::Waiting) Fire();
}

uint32_t CMyReconnect::SecondsLeft() const
{
    if (mState != EState::Waiting) return 0;
    const uint64_t now = UClock::Now();
    return now >= mDueAt ? 0 : uint32_t((mDueAt - now + 999) / 1000);
}

void CMyReconnect::StatusText(uint8_t* out) const
{
    // 0xD1 is the dash in the client's 8-bit text.
    int size = 0;
    if (mState == EState::Waiting)
        size =
            std::snprintf(reinterpret_cast<char*>(out + 1), 255,
                          "Connection lost \xD1 reconnecting in %u s (attempt %u)", SecondsLeft(), mAttempt);
    else if (mState == EState::Attempting)
        size = std::snprintf(reinterpret_cast<char*>(out + 1), 255,
                             "Connection lost \xD1 reconnecting now (attempt %u)", mAttempt);
    out[0] = uint8_t(std::clamp(size, 0, 254));
}

void CMyReconnect::TimerProc(void* context, void*, uint32_t msg, const void*, uint32_t)
{
    if (msg == kMsgTimer) static_cast<CMyReconnect*>(context)->Tick();
}

void CMyReconnect::WaitForNext()
{
    ++mAttempt;
    mState = EState::Waiting;
    mDueAt = UClock::Now() + DelayMs(mAttempt, mRandom());
    Tick();
}

void CMyReconnect::Tick()
{
    // A tick queued before the wait was cancelled or cut short finds nothing to do.
    if (mState != EState::Waiting) return;
    const uint64_t now = UClock::Now();
    if (now >= mDueAt)
    {
        Fire();
        return;
    }
    // The next tick comes when the whole seconds shown change, or when the wait is over.
    const uint64_t left = mDueAt - now;
    UTimer::Start(mTimer, uint32_t((left - 1) % 1000 + 1), false);
    Changed();
}

void CMyReconnect::Fire()
{
    UTimer::Stop(mTimer);
    mState = EState::Attempting;
    Changed();
    if (mHooks.attempt) mHooks.attempt();
}

void CMyReconnect::SetIdle()
{
    UTimer::Stop(mTimer);
    mState = EState::Idle;
    mAttempt = 0;
    Changed();
}

void CMyReconnect::Changed()
{
    if (mHooks.changed) mHooks.changed();
}
