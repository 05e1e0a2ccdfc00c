#include "client/core/CMyTransferLimits.h"

#include <algorithm>

#include "client/core/SMySettings.h"

namespace
{
template <class T>
bool Has(const std::list<T>& list, const T& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}
} // namespace

CMyTransferLimits::CMyTransferLimits(std::function<void()> wake)
    : mWake(std::move(wake)), mTimer(UTimer::New(TimerTick, this))
{
}

CMyTransferLimits::~CMyTransferLimits() = default;

void CMyTransferLimits::SetFrom(const SMySettings& settings)
{
    Set(settings.downloadLimit, settings.uploadLimit, settings.transfersAtOnce);
}

void CMyTransferLimits::Set(uint32_t downKBps, uint32_t upKBps, uint32_t atOnce)
{
    mDown.SetRate(uint32_t(std::min<uint64_t>(uint64_t(downKBps) * 1024, UINT32_MAX)));
    mUp.SetRate(uint32_t(std::min<uint64_t>(uint64_t(upKBps) * 1024, UINT32_MAX)));
    mAtOnce = atOnce;
    // Transfers held back by a limit that is now higher or gone, or waiting for a turn there is now room
    // for, go on at once.
    if (mWake) mWake();
}

uint32_t CMyTransferLimits::Take(EWay way, const void* transfer, uint32_t want)
{
    CMyRateLimit& bucket = Bucket(way);
    if (!bucket.IsLimited() || want == 0) return want;
    std::list<const void*>& moving = mMoving[way == EWay::Down ? 0 : 1];
    if (!Has(moving, transfer)) moving.push_back(transfer);
    const uint32_t granted = bucket.Take(want, uint32_t(moving.size()));
    if (granted == 0 && !UTimer::IsRunning(mTimer))
        UTimer::Start(mTimer, std::max<uint32_t>(bucket.MsUntilRefilled(), 1), false);
    return granted;
}

void CMyTransferLimits::GiveBack(EWay way, uint32_t bytes)
{
    Bucket(way).GiveBack(bytes);
}

bool CMyTransferLimits::TakeTurn(const void* transfer, bool force)
{
    if (Has(mRunning, transfer)) return true;
    const bool first = mInLine.empty() || mInLine.front() == transfer;
    if (force || (HasRoom() && first))
    {
        mInLine.remove(transfer);
        mRunning.push_back(transfer);
        return true;
    }
    if (!Has(mInLine, transfer)) mInLine.push_back(transfer);
    return false;
}

void CMyTransferLimits::EndTurn(const void* transfer)
{
    const bool wasRunning = Has(mRunning, transfer);
    mRunning.remove(transfer);
    mInLine.remove(transfer);
    for (std::list<const void*>& moving : mMoving)
        moving.remove(transfer);
    if (wasRunning && !mInLine.empty() && HasRoom() && mWake) mWake();
}

bool CMyTransferLimits::IsInLine(const void* transfer) const
{
    return Has(mInLine, transfer);
}

void CMyTransferLimits::TimerTick(void* context, void*, uint32_t, const void*, uint32_t)
{
    auto* self = static_cast<CMyTransferLimits*>(context);
    if (self->mWake) self->mWake();
}
