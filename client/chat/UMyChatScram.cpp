#include "client/chat/UMyChatScram.h"

#include <algorithm>
#include <cstring>

namespace
{
// The sets, in the order their tables are built (the order matters only for reading old chats).
const uint8_t* const kSets[] = {
    reinterpret_cast<const uint8_t*>("\x15"
                                     "bcdfghjklmnpqrstvwxyz"),
    reinterpret_cast<const uint8_t*>("\x15"
                                     "BCDFGHJKLMNPQRSTVWXYZ"),
    reinterpret_cast<const uint8_t*>("\x05"
                                     "aeiou"),
    reinterpret_cast<const uint8_t*>("\x0A"
                                     "0123456789"),
};

uint32_t KeyStep(uint32_t value)
{
    return std::min<uint32_t>(value & 0xFF, 9);
}
} // namespace

void UMyChatScram::BuildSubsTable(const uint8_t* set, uint32_t a, uint32_t b, uint32_t c, uint8_t* table)
{
    const uint32_t n = set[0];
    if (n == 0) return;
    a = KeyStep(a);
    b = KeyStep(b);
    c = KeyStep(c);
    uint8_t pool[256];
    std::memcpy(pool, set + 1, n);
    // A slot holding 0 is used; the sets never contain the byte 0.
    uint32_t p = 0;
    for (uint32_t i = 1; i <= n; ++i)
    {
        uint8_t taken = 0;
        for (uint32_t tries = a + b + c + 10; tries && !taken; --tries)
        {
            p += a;
            if (p >= n) p = b % n;
            if (!pool[p]) continue;
            p += pool[p] * c / 102;
            if (p >= n) p = c % n;
            if (!pool[p]) continue;
            taken = pool[p];
            pool[p] = 0;
        }
        if (!taken)
        {
            // One slot per character: a free one is always left.
            uint8_t* free = std::find_if(pool, pool + n, [](uint8_t slot) { return slot != 0; });
            taken = *free;
            *free = 0;
        }
        table[set[i]] = taken;
    }
}

void UMyChatScram::MakeTables(const uint8_t key[kKeyLength], uint8_t* scram, uint8_t* unscram)
{
    // The key's characters count from the digit 0, as signed values; step 1 of the walk folds them.
    const auto a = uint32_t(int16_t(key[0]) - 48), b = uint32_t(int16_t(key[1]) - 48),
               c = uint32_t(int16_t(key[2]) - 48);
    for (uint32_t i = 0; i < 256; ++i)
        scram[i] = uint8_t(i);
    for (const uint8_t* set : kSets)
        BuildSubsTable(set, a, b, c, scram);
    for (uint32_t i = 0; i < 256; ++i)
        unscram[scram[i]] = uint8_t(i);
}

void UMyChatScram::Scramble(uint8_t* data, uint32_t size, const uint8_t* table)
{
    uint32_t i = 0;
    while (i < size)
    {
        const auto* quote = static_cast<uint8_t*>(std::memchr(data + i, '"', size - i));
        const uint32_t end = quote ? uint32_t(quote - data) : size;
        for (; i < end; ++i)
            data[i] = table[data[i]];
        if (!quote) return;
        const auto* closing = static_cast<uint8_t*>(std::memchr(data + end + 1, '"', size - end - 1));
        if (!closing) return;
        i = uint32_t(closing - data) + 1;
    }
}
