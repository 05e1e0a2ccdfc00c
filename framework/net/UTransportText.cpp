// The text services of the transport: server addresses typed by users and URLs in text.
#include <algorithm>
#include <cstring>

#include "framework/net/UTransport.h"
#include "platform/OpenURL.h"

namespace
{
constexpr uint32_t kMaxURLLength = 511;

bool IsBlank(uint8_t c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
} // namespace

bool UTransport::_IsValidURLChar(uint16_t c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    if (c == '@' || c == '`') return true;
    return c < 128 && std::strchr("!#$%&'()*+,-./:;=?[\\]^_{|}~", int(c)) != nullptr && c != 0;
}

bool UTransport::LaunchURL(const void* text, uint32_t size, uint32_t* ioStart, uint32_t* outEnd)
{
    const auto* p = static_cast<const uint8_t*>(text);
    if (!p || !ioStart || *ioStart >= size || !_IsValidURLChar(p[*ioStart])) return false;
    uint32_t start = *ioStart, end = *ioStart + 1;
    while (start > 0 && _IsValidURLChar(p[start - 1]))
        --start;
    while (end < size && _IsValidURLChar(p[end]))
        ++end;
    const uint32_t n = std::min(end - start, kMaxURLLength);
    if (!platform::OpenURL(reinterpret_cast<const char*>(p + start), n)) return false;
    *ioStart = start;
    if (outEnd) *outEnd = end;
    return true;
}

uint32_t UTransport::CleanUpAddressText(uint16_t, const void* text, uint32_t size, void* outText,
                                        uint32_t maxSize)
{
    const auto* p = static_cast<const uint8_t*>(text);
    auto* out = static_cast<uint8_t*>(outText);
    if (!p || !out) return 0;
    uint32_t i = 0;
    while (i < size && IsBlank(p[i]))
        ++i;
    uint32_t n = 0;
    for (; i < size && !IsBlank(p[i]) && n < maxSize; ++i)
        out[n++] = (p[i] > 0x20 && p[i] < 0x7F) ? p[i] : uint8_t('x');
    return n;
}

uint16_t UTransport::GetPortFromAddressText(uint16_t, const void* text, uint32_t size)
{
    const auto* p = static_cast<const uint8_t*>(text);
    if (!p || size == 0) return 0;
    uint32_t colon = size;
    while (colon > 0 && p[colon - 1] != ':')
        --colon;
    // colon is one past the last ":"; none, or ":" as the first character, gives no port.
    if (colon <= 1) return 0;
    uint16_t port = 0;
    for (uint32_t i = colon; i < size; ++i)
        port = uint16_t(port * 10 + (p[i] - '0'));
    return port;
}

bool UTransport::_GetURLAddress(const void* text, uint32_t size, uint32_t& outStart, uint32_t& outSize)
{
    outStart = outSize = 0;
    const auto* p = static_cast<const uint8_t*>(text);
    if (!p) return false;
    const auto* colon = static_cast<const uint8_t*>(std::memchr(p, ':', size));
    if (!colon) return false;
    uint32_t i = uint32_t(colon - p) + 1;
    if (size - i < 2) return false;
    if (p[i] == '/') ++i;
    if (i < size && p[i] == '/') ++i;
    uint32_t end = i;
    while (end < size && p[end] != '/')
        ++end;
    outStart = i;
    outSize = end - i;
    return outSize > 0;
}
