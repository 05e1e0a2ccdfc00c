// The limits the user sets on transfers: a download and an upload speed limit shared by every transfer
// (CMyRateLimit), and how many transfers run at once. A transfer past that number waits for its turn,
// in the order the transfers asked, and starts when one that runs ends. Changes hold at once, also for
// the transfers that run.
#pragma once

#include <cstdint>
#include <functional>
#include <list>

#include "client/core/CMyRateLimit.h"
#include "framework/runtime/COwner.h"
#include "framework/runtime/UTimer.h"

struct SMySettings;

class CMyTransferLimits
{
public:
    enum class EWay
    {
        Down,
        Up,
    };

    // `wake` asks for a task pass: the bucket refilled, or a turn came free.
    explicit CMyTransferLimits(std::function<void()> wake);
    ~CMyTransferLimits();
    CMyTransferLimits(const CMyTransferLimits&) = delete;
    CMyTransferLimits& operator=(const CMyTransferLimits&) = delete;

    // Kilobytes (1024 bytes) per second, 0 for none; `atOnce` 0 for any number.
    void Set(uint32_t downKBps, uint32_t upKBps, uint32_t atOnce);
    // The limits as the user's settings give them.
    void SetFrom(const SMySettings& settings);
    uint32_t AtOnce() const { return mAtOnce; }

    // How many of `want` bytes `transfer` may move now; with none, the wake-up comes when the bucket
    // holds a share again. `transfer` counts as one that moves bytes this way until it ends its turn.
    uint32_t Take(EWay way, const void* transfer, uint32_t want);
    // Bytes taken and not moved.
    void GiveBack(EWay way, uint32_t bytes);

    // True when `transfer` runs: it has a turn, or one was free and it is the first in line for one.
    // Otherwise it is in line (once) and is woken when its turn may have come.
    bool TakeTurn(const void* transfer, bool force = false);
    // The transfer ended (done, stopped, failed): it leaves its turn, or its place in line.
    void EndTurn(const void* transfer);
    uint32_t Running() const { return uint32_t(mRunning.size()); }
    // A transfer is held back by a speed limit until the timer's wake-up.
    bool IsHoldingBack() const { return UTimer::IsRunning(mTimer); }
    bool IsInLine(const void* transfer) const;

private:
    static void TimerTick(void* context, void* object, uint32_t msg, const void* data, uint32_t size);
    CMyRateLimit& Bucket(EWay way) { return way == EWay::Down ? mDown : mUp; }
    bool HasRoom() const { return mAtOnce == 0 || mRunning.size() < mAtOnce; }

    std::function<void()> mWake;
    CMyRateLimit mDown;
    CMyRateLimit mUp;
    uint32_t mAtOnce = 0;
    std::list<const void*> mRunning;
    std::list<const void*> mInLine;
    // Those that moved bytes each way lately: the bucket's share is split among them.
    std::list<const void*> mMoving[2];
    COwner<TTimerObj, UTimer::Dispose> mTimer;
};
