#include "tools/testserver/TestWire.h"

#include <algorithm>

namespace testwire
{
std::string BE16(uint16_t v)
{
    return std::string{char(v >> 8), char(v)};
}

std::string BE32(uint32_t v)
{
    return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

uint16_t ReadBE16(const std::string& s, size_t at)
{
    return uint16_t((uint8_t(s[at]) << 8) | uint8_t(s[at + 1]));
}

uint32_t ReadBE32(const std::string& s, size_t at)
{
    return (uint32_t(uint8_t(s[at])) << 24) | (uint32_t(uint8_t(s[at + 1])) << 16) |
           (uint32_t(uint8_t(s[at + 2])) << 8) | uint8_t(s[at + 3]);
}

std::string EncodeHeader(const STestPartHeader& h)
{
    std::string out{char(h.flags), char(h.isReply)};
    out += BE16(h.type) + BE32(h.id) + BE32(h.error) + BE32(h.totalSize) + BE32(h.dataSize);
    return out;
}

STestPartHeader DecodeHeader(const std::string& s, size_t at)
{
    STestPartHeader h;
    h.flags = uint8_t(s[at]);
    h.isReply = uint8_t(s[at + 1]);
    h.type = ReadBE16(s, at + 2);
    h.id = ReadBE32(s, at + 4);
    h.error = ReadBE32(s, at + 8);
    h.totalSize = ReadBE32(s, at + 12);
    h.dataSize = ReadBE32(s, at + 16);
    return h;
}

std::string EncodeTransaction(STestPartHeader h, const std::string& body, uint32_t parts,
                              bool zeroSizeHeaders)
{
    if (parts == 0) parts = 1;
    h.totalSize = uint32_t(body.size());
    std::string out;
    size_t at = 0;
    for (uint32_t i = 0; i < parts; ++i)
    {
        const size_t left = body.size() - at;
        const size_t n = i + 1 == parts ? left : std::min(left, std::max<size_t>(1, body.size() / parts));
        if (zeroSizeHeaders)
        {
            STestPartHeader empty = h;
            empty.dataSize = 0;
            out += EncodeHeader(empty);
        }
        h.dataSize = uint32_t(n);
        out += EncodeHeader(h) + body.substr(at, n);
        at += n;
    }
    return out;
}

CFields& CFields::Add(uint16_t id, const std::string& data)
{
    mFields.emplace_back(id, data);
    return *this;
}

CFields& CFields::AddInteger(uint16_t id, int32_t value)
{
    return Add(id, uint32_t(value) < 65536 ? BE16(uint16_t(value)) : BE32(uint32_t(value)));
}

std::string CFields::Bytes() const
{
    std::string out = BE16(uint16_t(mFields.size()));
    for (const auto& [id, data] : mFields)
        out += BE16(id) + BE16(uint16_t(data.size())) + data;
    return out;
}

std::vector<std::pair<uint16_t, std::string>> CFields::Parse(const std::string& list)
{
    std::vector<std::pair<uint16_t, std::string>> fields;
    if (list.size() < 2) return fields;
    const uint16_t count = ReadBE16(list, 0);
    size_t at = 2;
    for (uint16_t i = 0; i < count && list.size() - at >= 4; ++i)
    {
        const uint16_t id = ReadBE16(list, at);
        const uint16_t size = ReadBE16(list, at + 2);
        if (list.size() - at - 4 < size) break;
        fields.emplace_back(id, list.substr(at + 4, size));
        at += 4u + size;
    }
    return fields;
}

std::string CFields::Find(const std::string& list, uint16_t id)
{
    for (const auto& [fid, data] : Parse(list))
        if (fid == id) return data;
    return {};
}

std::string FileEntry(uint32_t type, uint32_t creator, uint32_t size, const std::string& name)
{
    return BE32(type) + BE32(creator) + BE32(size) + BE32(0) + BE16(0) + BE16(uint16_t(name.size())) + name;
}

std::string UserEntry(uint16_t id, int16_t icon, uint16_t flags, const std::string& name)
{
    return BE16(id) + BE16(uint16_t(icon)) + BE16(flags) + BE16(uint16_t(name.size())) + name;
}
} // namespace testwire
