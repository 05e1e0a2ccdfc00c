#include "framework/runtime/UIDVarArray.h"

#include <cstring>

namespace
{
constexpr uint32_t kHeaderSize = 16;
constexpr uint32_t kEntrySize = 8;
constexpr uint32_t kMaxCount = 0xFFFFFF;

uint32_t ReadBE32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
} // namespace

uint32_t UIDVarArray::GetItem(const void* list, uint32_t listSize, uint32_t id, void* out, uint32_t maxSize)
{
    if (list == nullptr || listSize < kHeaderSize + kEntrySize) return 0;
    const uint8_t* bytes = static_cast<const uint8_t*>(list);
    if (std::memcmp(bytes, "IVA1", 4) != 0) return 0;

    const uint32_t count = ReadBE32(bytes + 12);
    if (count == 0 || count > kMaxCount) return 0;
    // The count is below 2^24, so the index size cannot overflow 32 bits.
    const uint32_t dataStart = kHeaderSize + kEntrySize * (count + 1);
    if (dataStart > listSize) return 0;
    const uint32_t dataSize = listSize - dataStart;

    const uint8_t* index = bytes + kHeaderSize;
    uint32_t low = 0, high = count;
    while (low < high)
    {
        const uint32_t mid = low + (high - low) / 2;
        const uint32_t midID = ReadBE32(index + kEntrySize * mid);
        if (midID < id)
            low = mid + 1;
        else if (midID > id)
            high = mid;
        else
        {
            const uint32_t start = ReadBE32(index + kEntrySize * mid + 4);
            const uint32_t end = ReadBE32(index + kEntrySize * (mid + 1) + 4);
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
