#include "platform/HandOffMessage.h"

#include <cstring>

namespace platform
{
namespace
{
constexpr uint8_t kMagic[4] = {'Q', 'V', 'd', 'o'};
} // namespace

std::vector<uint8_t> MakeHandOffMessage(const std::vector<std::string>& items)
{
    std::vector<uint8_t> m(kMagic, kMagic + 4);
    m.push_back(uint8_t(items.size() >> 8));
    m.push_back(uint8_t(items.size()));
    for (const std::string& item : items)
    {
        m.push_back(uint8_t(item.size() >> 8));
        m.push_back(uint8_t(item.size()));
        m.insert(m.end(), item.begin(), item.end());
    }
    return m;
}

EHandOffParse ParseHandOffMessage(const uint8_t* bytes, size_t n, std::vector<std::string>& outItems)
{
    outItems.clear();
    for (size_t i = 0; i < 4 && i < n; ++i)
        if (bytes[i] != kMagic[i]) return EHandOffParse::Bad;
    if (n < 6) return EHandOffParse::Incomplete;
    const uint32_t count = uint32_t(bytes[4]) << 8 | bytes[5];
    if (count > kHandOffMaxItems) return EHandOffParse::Bad;
    size_t at = 6;
    for (uint32_t i = 0; i < count; ++i)
    {
        if (n - at < 2) return EHandOffParse::Incomplete;
        const uint32_t size = uint32_t(bytes[at]) << 8 | bytes[at + 1];
        at += 2;
        if (size > kHandOffMaxItemSize) return EHandOffParse::Bad;
        if (n - at < size) return EHandOffParse::Incomplete;
        const auto* first = reinterpret_cast<const char*>(bytes + at);
        if (std::memchr(first, 0, size)) return EHandOffParse::Bad;
        outItems.emplace_back(first, size);
        at += size;
    }
    return at == n ? EHandOffParse::Complete : EHandOffParse::Bad;
}
} // namespace platform
