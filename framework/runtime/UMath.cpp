#include "framework/runtime/UMath.h"

#include "framework/runtime/SError.h"
#include "platform/Random.h"

uint32_t UMath::GetRandom(uint32_t min, uint32_t max)
{
    if (min >= max) return min;
    const uint64_t span = uint64_t(max) - min + 1;
    // Values at or above the last whole multiple of the span are drawn again, so that the remainder
    // does not favour the low numbers.
    const uint64_t limit = (uint64_t(1) << 32) - ((uint64_t(1) << 32) % span);
    for (;;)
    {
        uint32_t value;
        if (const int err = platform::FillRandom(&value, sizeof(value))) FailOSError(err);
        if (value < limit) return min + uint32_t(value % span);
    }
}
