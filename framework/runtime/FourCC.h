// Four-character codes as the numbers that files and resource maps hold.
#pragma once

#include <cstdint>

// The first character is the most significant byte, so codes compare and sort as the bytes read.
constexpr uint32_t FourCC(const char (&code)[5])
{
    return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
           (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}
