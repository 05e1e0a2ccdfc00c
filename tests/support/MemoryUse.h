// What the test process holds, for tests that bound the memory a hostile or chatty server can make the
// client use. The test server runs in the same process but streams what it sends (CHostileScript), so
// nearly all of the figure is the client's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <malloc.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define QUENVOL_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUENVOL_TEST_ASAN 1
#endif
#endif
#ifdef QUENVOL_TEST_ASAN
// From the sanitizer's allocator interface (the header does not come with every compiler).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

// Bytes allocated and not yet freed. Under AddressSanitizer this is the sanitizer's own count: its
// quarantine keeps freed blocks resident for a while, so the resident size would say little there.
inline uint64_t LiveHeapBytes()
{
#ifdef QUENVOL_TEST_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return uint64_t(info.uordblks) + uint64_t(info.hblkhd);
#endif
}

// The resident set size, for figures taken in release builds.
inline uint64_t ResidentBytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r"))
    {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return uint64_t(resident) * uint64_t(sysconf(_SC_PAGESIZE));
}

constexpr uint64_t kMiB = 1024 * 1024;

#include "framework/runtime/MessageProc.h"
#include "framework/runtime/UTimer.h"

// Watches the live heap (and the resident size) from a timer, so also inside modal loops, and keeps the
// highest figures seen.
class CHeapWatch
{
public:
    CHeapWatch()
        : mBase(LiveHeapBytes()), mPeak(mBase), mResidentBase(ResidentBytes()), mResidentPeak(mResidentBase)
    {
        mTimer = UTimer::StartNew(Tick, this, 5, true);
    }
    ~CHeapWatch() { UTimer::Dispose(mTimer); }
    CHeapWatch(const CHeapWatch&) = delete;
    CHeapWatch& operator=(const CHeapWatch&) = delete;

    uint64_t PeakGrowth()
    {
        Sample();
        return mPeak - mBase;
    }
    // Of the resident size: meaningful in release builds only.
    uint64_t PeakResidentGrowth()
    {
        Sample();
        return mResidentPeak - mResidentBase;
    }
    // Growth now; 0 when the heap is below where it started.
    uint64_t Growth() const
    {
        const uint64_t now = LiveHeapBytes();
        return now > mBase ? now - mBase : 0;
    }

private:
    static void Tick(void* context, void*, uint32_t msg, const void*, uint32_t)
    {
        if (msg == kMsgTimer) static_cast<CHeapWatch*>(context)->Sample();
    }
    void Sample()
    {
        const uint64_t now = LiveHeapBytes();
        if (now > mPeak) mPeak = now;
        const uint64_t resident = ResidentBytes();
        if (resident > mResidentPeak) mResidentPeak = resident;
    }

    uint64_t mBase;
    uint64_t mPeak;
    uint64_t mResidentBase;
    uint64_t mResidentPeak;
    TTimerObj* mTimer = nullptr;
};
