// The three checksums of UMemory.
#include "framework/runtime/UMemory.h"

namespace
{
struct SCRCTable
{
    uint32_t entries[256];
    constexpr SCRCTable() : entries()
    {
        for (uint32_t i = 0; i < 256; ++i)
        {
            uint32_t crc = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : (crc << 1);
            entries[i] = crc;
        }
    }
};
constexpr SCRCTable kCRCTable;
static_assert(kCRCTable.entries[1] == 0x04C11DB7u);
} // namespace

uint32_t UMemory::Checksum(const void* data, uint32_t size)
{
    const auto* p = static_cast<const uint8_t*>(data);
    uint32_t sum = 0;
    for (uint32_t i = 0; i < size; ++i)
        sum += p[i];
    return sum;
}

uint32_t UMemory::CRC(const void* data, uint32_t size, uint32_t initial)
{
    const auto* p = static_cast<const uint8_t*>(data);
    uint32_t crc = initial;
    for (uint32_t i = 0; i < size; ++i)
        crc = (crc << 8) ^ kCRCTable.entries[(crc >> 24) ^ p[i]];
    return crc;
}

uint32_t UMemory::AdlerSum(const void* data, uint32_t size, uint32_t initial)
{
    constexpr uint32_t kModulus = 65521;
    // 5552 is the longest run whose sums cannot overflow 32 bits before reduction.
    constexpr uint32_t kRun = 5552;
    const auto* p = static_cast<const uint8_t*>(data);
    uint32_t a = initial & 0xFFFF, b = initial >> 16;
    while (size)
    {
        uint32_t run = size < kRun ? size : kRun;
        size -= run;
        while (run--)
        {
            a += *p++;
            b += a;
        }
        a %= kModulus;
        b %= kModulus;
    }
    return (b << 16) | a;
}
