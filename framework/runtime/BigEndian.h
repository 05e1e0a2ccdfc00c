// Numbers as the protocol and the file formats hold them: most significant byte first.
#pragma once

#include <cstdint>
#include <string>

inline uint16_t GetBE16(const uint8_t* p)
{
    return uint16_t((p[0] << 8) | p[1]);
}

inline uint32_t GetBE32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline void PutBE16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}

inline void PutBE32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

inline void AppendBE16(std::string& out, uint16_t v)
{
    out += char(v >> 8);
    out += char(v);
}

inline void AppendBE32(std::string& out, uint32_t v)
{
    AppendBE16(out, uint16_t(v >> 16));
    AppendBE16(out, uint16_t(v));
}
