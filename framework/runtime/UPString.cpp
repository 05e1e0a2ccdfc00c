#include "framework/runtime/UPString.h"

#include <algorithm>
#include <cstring>

#include "framework/runtime/UText.h"

namespace
{
template <class Fold>
int CompareFolded(const uint8_t* a, const uint8_t* b, Fold fold)
{
    const std::span<const uint8_t> x = UPString::Bytes(a), y = UPString::Bytes(b);
    const size_t common = std::min(x.size(), y.size());
    for (size_t i = 0; i < common; ++i)
    {
        const uint8_t c = fold(x[i]), d = fold(y[i]);
        if (c != d) return c < d ? -1 : 1;
    }
    if (x.size() == y.size()) return 0;
    return x.size() < y.size() ? -1 : 1;
}
} // namespace

std::span<const uint8_t> UPString::Bytes(const uint8_t* pstr)
{
    if (!pstr) return {};
    return {pstr + 1, pstr[0]};
}

std::string_view UPString::Text(const uint8_t* pstr)
{
    if (!pstr) return {};
    return {reinterpret_cast<const char*>(pstr + 1), pstr[0]};
}

uint8_t UPString::Copy(uint8_t* dest, uint32_t capacity, const uint8_t* src)
{
    return SetBytes(dest, capacity, Bytes(src));
}

uint8_t UPString::SetBytes(uint8_t* dest, uint32_t capacity, const void* data, uint32_t size)
{
    if (!dest || capacity == 0) return 0;
    const uint8_t n = uint8_t(std::min({data ? size : 0u, capacity - 1, kMaxLength}));
    // memmove: a string may be cut in place, or copied from a part of itself.
    if (n) std::memmove(dest + 1, data, n);
    dest[0] = n;
    return n;
}

uint8_t UPString::SetBytes(uint8_t* dest, uint32_t capacity, std::span<const uint8_t> bytes)
{
    const uint32_t size = uint32_t(std::min<size_t>(bytes.size(), kMaxLength));
    return SetBytes(dest, capacity, bytes.data(), size);
}

uint8_t UPString::SetText(uint8_t* dest, uint32_t capacity, const char* text)
{
    // Never reads further than could be stored: the text need not end within reach.
    const size_t size = text ? strnlen(text, kMaxLength) : 0;
    return SetBytes(dest, capacity, text, uint32_t(size));
}

bool UPString::Equal(const uint8_t* a, const uint8_t* b)
{
    const std::span<const uint8_t> x = Bytes(a), y = Bytes(b);
    return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin());
}

int UPString::Compare(const uint8_t* a, const uint8_t* b)
{
    return CompareFolded(a, b, [](uint8_t c) { return c; });
}

int UPString::CompareIgnoringCase(const uint8_t* a, const uint8_t* b)
{
    return CompareFolded(a, b, UText::ToLower);
}
