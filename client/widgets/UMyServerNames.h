// Names of server files as the client shows them. A server may send any bytes in a name, line breaks
// and NULs included; windows show a stand-in for them, while the name itself is kept as it came, for
// the requests that refer back to the item.
#pragma once

#include <cstdint>

class UMyServerNames
{
public:
    // Copies the length-prefixed name into `out` (`capacity` bytes, length byte included), with every
    // control character replaced by '?'.
    static void MakeShowable(const uint8_t* name, uint8_t* out, uint32_t capacity);
    static bool IsShowable(uint8_t c) { return c >= 0x20 && c != 0x7F; }
};
