// The byte-range helpers of UMemory: copying, comparing, searching and replacing.
#include <cstring>

#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"

uint32_t UMemory::Copy(void* destination, const void* source, uint32_t size)
{
    if (size && destination && source) std::memmove(destination, source, size);
    return size;
}

void UMemory::Fill(void* buffer, uint32_t size, uint8_t value)
{
    if (size && buffer) std::memset(buffer, value, size);
}

void UMemory::Clear(void* buffer, uint32_t size)
{
    Fill(buffer, size, 0);
}

bool UMemory::Equal(const void* a, const void* b, uint32_t size)
{
    return size == 0 || std::memcmp(a, b, size) == 0;
}

int UMemory::Compare(const void* a, const void* b, uint32_t size)
{
    if (size == 0) return 0;
    int r = std::memcmp(a, b, size); // memcmp compares as unsigned char
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int UMemory::Compare(const void* a, uint32_t sizeA, const void* b, uint32_t sizeB)
{
    if (sizeA != sizeB) return sizeA < sizeB ? -1 : 1;
    return Compare(a, b, sizeA);
}

const void* UMemory::Search(const void* pattern, uint32_t patternSize, const void* data, uint32_t dataSize)
{
    if (!pattern || !data || patternSize == 0 || patternSize > dataSize) return nullptr;
    return memmem(data, dataSize, pattern, patternSize);
}

const void* UMemory::SearchByte(uint8_t value, const void* data, uint32_t size)
{
    if (!data || size == 0) return nullptr;
    return std::memchr(data, value, size);
}

const void* UMemory::SearchByteBackwards(uint8_t value, const void* data, uint32_t size)
{
    if (!data || size == 0) return nullptr;
    return memrchr(data, value, size);
}

const uint32_t* UMemory::SearchLongArray(uint32_t value, const uint32_t* array, uint32_t count)
{
    if (!array) return nullptr;
    for (uint32_t i = 0; i < count; ++i)
        if (array[i] == value) return array + i;
    return nullptr;
}

uint32_t UMemory::SearchAndReplaceAll(THdlObj* handle, uint32_t startOffset, const void* pattern,
                                      uint32_t patternSize, const void* replacement, uint32_t replacementSize)
{
    RequireObject(handle);
    if (startOffset >= GetSize(handle) || !pattern || patternSize == 0) return 0;
    uint32_t count = 0;
    if (patternSize == 1 && replacementSize == 1)
    {
        const uint8_t from = *static_cast<const uint8_t*>(pattern);
        const uint8_t to = *static_cast<const uint8_t*>(replacement);
        StHandleLocker lock(handle);
        uint8_t* p = lock.Data();
        for (uint32_t i = startOffset, n = GetSize(handle); i < n; ++i)
            if (p[i] == from)
            {
                p[i] = to;
                ++count;
            }
        return count;
    }
    uint32_t pos = startOffset;
    while (pos < GetSize(handle))
    {
        uint32_t size = GetSize(handle);
        const uint8_t* base = static_cast<const uint8_t*>(Lock(handle));
        const void* hit = Search(pattern, patternSize, base + pos, size - pos);
        uint32_t at = hit ? uint32_t(static_cast<const uint8_t*>(hit) - base) : 0;
        Unlock(handle);
        if (!hit) break;
        if (patternSize == replacementSize)
        {
            StHandleLocker lock(handle);
            std::memcpy(lock.Data() + at, replacement, replacementSize);
        }
        else
            Replace(handle, at, patternSize, replacement, replacementSize);
        ++count;
        // Text that a replacement put in is never searched again.
        pos = at + replacementSize;
    }
    return count;
}
