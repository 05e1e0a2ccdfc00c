#include "client/core/UMyTrackerWire.h"

#include <cstring>

#include "framework/runtime/SError.h"

namespace
{
const uint8_t kTrackerMagic[4] = {'Q', 'V', 'R', 'K'};

uint16_t BE16(const uint8_t* p)
{
    return uint16_t((p[0] << 8) | p[1]);
}
} // namespace

void UMyTrackerWire::MakeHello(uint8_t out[kHelloSize])
{
    std::memcpy(out, kTrackerMagic, 4);
    out[4] = uint8_t(kVersion >> 8);
    out[5] = uint8_t(kVersion);
}

void UMyTrackerWire::CheckHello(const uint8_t hello[kHelloSize])
{
    if (std::memcmp(hello, kTrackerMagic, 4) != 0) Fail(kErrTypeGeneral, 8);
    if (BE16(hello + 4) != kVersion) Fail(kErrTypeGeneral, 7);
}

bool UMyTrackerWire::ReadServerRecord(const uint8_t* data, uint32_t size, uint32_t& ioOffset,
                                      SMyTrackedServer& out)
{
    if (!data || ioOffset >= size || size - ioOffset < kMinRecordSize) return false;
    const uint8_t* p = data + ioOffset;
    const uint32_t left = size - ioOffset;
    const uint32_t nameLength = p[10];
    // The description's length byte must lie inside the body, and so must the whole record: a record
    // with an empty description may end exactly at the body's end.
    if (11 + nameLength >= left) return false;
    const uint32_t descLength = p[11 + nameLength];
    const uint32_t recordSize = kMinRecordSize + nameLength + descLength;
    if (recordSize > left) return false;
    std::memcpy(out.address, p, 4);
    out.port = BE16(p + 4);
    out.users = BE16(p + 6);
    out.name.assign(reinterpret_cast<const char*>(p + 11), nameLength);
    out.desc.assign(reinterpret_cast<const char*>(p + 12 + nameLength), descLength);
    ioOffset += recordSize;
    return true;
}

std::string UMyTrackerWire::MakeServerRecord(const uint8_t address[4], uint16_t port, uint16_t users,
                                             const std::string& name, const std::string& desc)
{
    std::string r(reinterpret_cast<const char*>(address), 4);
    r.push_back(char(port >> 8));
    r.push_back(char(port));
    r.push_back(char(users >> 8));
    r.push_back(char(users));
    r.append(2, '\0');
    const std::string n = name.substr(0, 255), d = desc.substr(0, 255);
    r.push_back(char(uint8_t(n.size())));
    r += n;
    r.push_back(char(uint8_t(d.size())));
    r += d;
    return r;
}
