#include "client/core/CMyRateLimit.h"

#include <algorithm>

#include "framework/runtime/UClock.h"

void CMyRateLimit::SetRate(uint32_t bytesPerSec)
{
    if (bytesPerSec == mRate) return;
    mRate = bytesPerSec;
    mLastRefill = UClock::Now();
    mMilliBytes = Capacity() * 1000;
}

uint64_t CMyRateLimit::Capacity() const
{
    return std::max<uint64_t>(mRate / 10, kMinCapacity);
}

void CMyRateLimit::Refill()
{
    const uint64_t now = UClock::Now();
    const uint64_t elapsed = now - mLastRefill;
    mLastRefill = now;
    mMilliBytes = std::min(mMilliBytes + elapsed * mRate, Capacity() * 1000);
}

uint32_t CMyRateLimit::Take(uint32_t want, uint32_t sharers)
{
    if (!mRate) return want;
    Refill();
    // A share of half the bucket, the part that a wake-up brings. Less than half a share is not worth a
    // step of its own: the transfer waits for the wake-up instead of taking crumbs on every notice.
    const uint64_t share = std::max<uint64_t>(Capacity() / 2 / std::max<uint32_t>(sharers, 1), 1);
    const uint64_t available = mMilliBytes / 1000;
    if (available < std::min<uint64_t>(want, std::max<uint64_t>(share / 2, 1))) return 0;
    const uint64_t granted = std::min<uint64_t>({want, available, share});
    mMilliBytes -= granted * 1000;
    return uint32_t(granted);
}

void CMyRateLimit::GiveBack(uint32_t bytes)
{
    if (!mRate) return;
    mMilliBytes = std::min(mMilliBytes + uint64_t(bytes) * 1000, Capacity() * 1000);
}

uint32_t CMyRateLimit::MsUntilRefilled()
{
    if (!mRate) return 0;
    Refill();
    const uint64_t wanted = Capacity() / 2 * 1000;
    if (mMilliBytes >= wanted) return 0;
    // Rounded up: a wake-up a millisecond early would find the bucket short again.
    return uint32_t((wanted - mMilliBytes + mRate - 1) / mRate);
}
