#include "framework/runtime/MacRoman.h"

#include <algorithm>
#include <array>
#include <utility>

namespace
{
// 0x80-0xFF in order; the resource builder converts with the same table, so that the client reads its
// own resources back as they were written. 0xDB is the euro sign: older systems had the general currency
// sign (U+00A4) there, but mapping that back to 0xDB would turn a typed currency sign into a euro sign on
// every other client, so it has no byte and becomes '?' like any other character the set lacks. 0xF0 has
// no standard character and maps to a private-use code point.
constexpr uint16_t kHighHalf[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, // 0x80
    0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8, // 0x88
    0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, // 0x90
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, // 0x98
    0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF, // 0xA0
    0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, // 0xA8
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, // 0xB0
    0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, // 0xB8
    0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, // 0xC0
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, // 0xC8
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, // 0xD0
    0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, // 0xD8
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, // 0xE0
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, // 0xE8
    0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC, // 0xF0
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7, // 0xF8
};

struct ReverseEntry
{
    uint16_t codePoint;
    uint8_t byte;
};

// Sorted by code point so that the way back is a binary search; built once.
const std::array<ReverseEntry, 128>& ReverseTable()
{
    static const std::array<ReverseEntry, 128> table = []
    {
        std::array<ReverseEntry, 128> t{};
        for (uint32_t i = 0; i < 128; ++i)
            t[i] = {kHighHalf[i], uint8_t(0x80 + i)};
        std::sort(t.begin(), t.end(),
                  [](const ReverseEntry& a, const ReverseEntry& b) { return a.codePoint < b.codePoint; });
        return t;
    }();
    return table;
}

} // namespace

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80)
        out += char(cp);
    else if (cp < 0x800)
    {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    }
    else
    {
        // The table holds nothing beyond the basic plane.
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

std::pair<int32_t, size_t> DecodeUtf8(const uint8_t* text, size_t length, size_t pos)
{
    uint8_t lead = text[pos];
    if (lead < 0x80) return {lead, 1};
    size_t count;
    uint32_t cp;
    uint32_t minimum;
    if ((lead & 0xE0) == 0xC0)
        count = 2, cp = lead & 0x1F, minimum = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        count = 3, cp = lead & 0x0F, minimum = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        count = 4, cp = lead & 0x07, minimum = 0x10000;
    else
        return {-1, 1};
    if (length - pos < count) return {-1, 1};
    for (size_t i = 1; i < count; ++i)
    {
        uint8_t next = text[pos + i];
        if ((next & 0xC0) != 0x80) return {-1, 1};
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {-1, 1};
    return {int32_t(cp), count};
}

uint32_t MacRomanToUnicode(uint8_t byte)
{
    return byte < 0x80 ? byte : kHighHalf[byte - 0x80];
}

int UnicodeToMacRoman(uint32_t codePoint)
{
    if (codePoint < 0x80) return int(codePoint);
    const auto& table = ReverseTable();
    auto it = std::lower_bound(table.begin(), table.end(), codePoint,
                               [](const ReverseEntry& e, uint32_t cp) { return e.codePoint < cp; });
    if (it == table.end() || it->codePoint != codePoint) return -1;
    return it->byte;
}

std::string MacRomanToUtf8(const void* text, uint32_t length)
{
    std::string out;
    if (!text) return out;
    const uint8_t* p = static_cast<const uint8_t*>(text);
    out.reserve(length);
    for (uint32_t i = 0; i < length; ++i)
        AppendUtf8(out, MacRomanToUnicode(p[i]));
    return out;
}

std::string Utf8ToMacRoman(const char* text, size_t length)
{
    std::string out;
    if (!text) return out;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
    out.reserve(length);
    for (size_t pos = 0; pos < length;)
    {
        auto [cp, used] = DecodeUtf8(p, length, pos);
        pos += used;
        int byte = cp < 0 ? -1 : UnicodeToMacRoman(uint32_t(cp));
        out += byte < 0 ? '?' : char(byte);
    }
    return out;
}
