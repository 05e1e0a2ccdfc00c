#include "framework/runtime/UIDVarArray.h"

#include <cstring>

#include "framework/runtime/BigEndian.h"

namespace
{
constexpr uint32_t kListHeaderSize = 16;
constexpr uint32_t kListEntrySize = 8;
constexpr uint32_t kMaxCount = 0xFFFFFF;
} // namespace

uint32_t UIDVarArray::GetItem(const void* list, uint32_t listSize, uint32_t id, void* out, uint32_t maxSize)
{
    if (list == nullptr || listSize < kListHeaderSize + kListEntrySize) return 0;
    const uint8_t* bytes = static_cast<const uint8_t*>(list);
    if (std::memcmp(bytes, "IVA1", 4) != 0) return 0;

    const uint32_t count = GetBE32(bytes + 12);
    if (count == 0 || count > kMaxCount) return 0;
    // The count is below 2^24, so the index size cannot overflow 32 bits.
    const uint32_t dataStart = kListHeaderSize + kListEntrySize * (count + 1);
    if (dataStart > listSize) return 0;
    const uint32_t dataSize = listSize - dataStart;

    const uint8_t* index = bytes + kListHeaderSize;
    uint32_t low = 0, high = count;
    while (low < high)
    {
        const uint32_t mid = low + (high - low) / 2;
        const uint32_t midID = GetBE32(index + kListEntrySize * mid);
        if (midID < id)
            low = mid + 1;
        else if (midID > id)
            high = mid;
        else
        {
            const uint32_t start = GetBE32(index + kListEntrySize * mid + 4);
            const uint32_t end = GetBE32(index + kListEntrySize * (mid + 1) + 4);
            if (start > end || end > dataSize) return 0;
            uint32_t size = end - start;
            if (size > maxSize) size = maxSize;
            if (size != 0 && out != nullptr) std::memcpy(out, bytes + dataStart + start, size);
            return out != nullptr ? size : 0;
        }
    }
    return 0;
}

uint32_t UIDVarArray::GetItem(THdlObj* list, uint32_t id, void* out, uint32_t maxSize)
{
    if (list == nullptr) return 0;
    StHandleLocker lock(list);
    return GetItem(lock.Data(), UMemory::GetSize(list), id, out, maxSize);
}
