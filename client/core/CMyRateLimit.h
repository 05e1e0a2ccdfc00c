// A speed limit for the bytes that go one way, shared by every transfer that moves them: a bucket that
// fills at the limit's rate and holds a tenth of a second's worth at most. A transfer moves only what it
// takes from the bucket; with the bucket empty it stops reading (or sending), so that the network waits,
// and is woken by a timer once the bucket holds a useful share again. Nothing ever sleeps.
#pragma once

#include <cstdint>

class CMyRateLimit
{
public:
    // The smallest bucket: a slow limit still moves pieces worth a system call.
    static constexpr uint32_t kMinCapacity = 1024;

    // Bytes per second; 0 is no limit. A change holds at once for every transfer, and the bucket starts
    // full.
    void SetRate(uint32_t bytesPerSec);
    uint32_t Rate() const { return mRate; }
    bool IsLimited() const { return mRate != 0; }

    // How many of `want` bytes may move now, for one of `sharers` transfers that move bytes this way (so
    // that the first of them does not take all); they are taken from the bucket.
    uint32_t Take(uint32_t want, uint32_t sharers = 1);
    // Bytes taken and then not moved (less had arrived) go back.
    void GiveBack(uint32_t bytes);
    // Milliseconds until the bucket holds a useful share again (half of it), 0 when it does now.
    uint32_t MsUntilRefilled();

private:
    void Refill();
    uint64_t Capacity() const;

    uint32_t mRate = 0;
    // Thousandths of a byte, so that a rate that does not divide into milliseconds loses nothing.
    uint64_t mMilliBytes = 0;
    uint64_t mLastRefill = 0;
};
