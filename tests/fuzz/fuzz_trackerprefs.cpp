// The tracker block of the preferences file: whatever it reads must write back and read again the same.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "client/core/UMyTrackerPrefs.h"
#include "framework/runtime/SError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SMyTrackerBlock block;
    try
    {
        UMyTrackerPrefs::Read(data, uint32_t(size), block);
    }
    catch (const SError&)
    {
        return 0;
    }
    const std::string written = UMyTrackerPrefs::Write(block);
    SMyTrackerBlock again;
    UMyTrackerPrefs::Read(written.data(), uint32_t(written.size()), again);
    if (again.trackers.size() != block.trackers.size()) __builtin_trap();
    for (size_t i = 0; i < block.trackers.size(); ++i)
    {
        const STrackServerInfo &a = block.trackers[i], &b = again.trackers[i];
        if (std::memcmp(a.Name, b.Name, size_t(a.Name[0]) + 1) != 0 || a.useServer != b.useServer ||
            a.hasAccount != b.hasAccount || std::memcmp(a.Pass, b.Pass, size_t(a.Pass[0]) + 1) != 0)
            __builtin_trap();
    }
    return 0;
}
