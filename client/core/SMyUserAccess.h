// The user's access bits on a server, 8 bytes in wire order: bit n is mask 0x80 >> (n % 8) of byte n / 8.
#pragma once

#include <cstdint>
#include <cstring>

struct SMyUserAccess
{
    uint8_t bytes[8];

    bool Has(uint32_t bit) const { return bit < 64 && (bytes[bit / 8] & (0x80u >> (bit % 8))) != 0; }
    void Set(uint32_t bit, bool on)
    {
        if (bit >= 64) return;
        if (on)
            bytes[bit / 8] |= uint8_t(0x80u >> (bit % 8));
        else
            bytes[bit / 8] &= uint8_t(~(0x80u >> (bit % 8)));
    }
    void SetAll() { std::memset(bytes, 0xFF, sizeof(bytes)); }
};
