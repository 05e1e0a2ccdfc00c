// A server or firewall address as the transport takes it: a host name or dotted address, with the port
// either in `port` or after a colon at the end of the name.
#pragma once

#include <cstdint>

enum : uint16_t
{
    kInternetNameAddressType = 42,
};

struct SInternetNameAddress
{
    uint16_t type;     // kInternetNameAddressType
    uint16_t port;     // 0: take it from ":port" at the end of the name
    uint8_t name[256]; // length-prefixed
};

// What a connect operation is handed: the two words, the length byte and the characters.
inline uint32_t GetAddressSize(const SInternetNameAddress& address)
{
    return uint32_t(address.name[0]) + 5;
}
