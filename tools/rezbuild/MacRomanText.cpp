#include "tools/rezbuild/MacRomanText.h"

#include <cstdint>
#include <cstdio>

namespace rezbuild
{
namespace
{
// Unicode code points of the bytes 0x80 to 0xFF.
constexpr uint16_t kHighHalf[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5,
    0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, 0x00F2, 0x00F4,
    0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6,
    0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265,
    0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF,
    0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5,
    0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044,
    0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9,
    0x0131, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

int EncodeOne(uint32_t codePoint)
{
    if (codePoint == '\t' || (codePoint >= 0x20 && codePoint < 0x7F)) return int(codePoint);
    for (int i = 0; i < 128; ++i)
        if (kHighHalf[i] == codePoint) return 0x80 + i;
    return -1;
}

std::string Describe(uint32_t codePoint)
{
    char text[16];
    std::snprintf(text, sizeof(text), "U+%04X", unsigned(codePoint));
    return text;
}
} // namespace

bool Utf8ToMacRoman(const std::string& text, std::string& outBytes, std::string& outError)
{
    outBytes.clear();
    size_t i = 0;
    while (i < text.size())
    {
        const uint8_t lead = uint8_t(text[i]);
        uint32_t codePoint;
        size_t length;
        uint32_t minimum;
        if (lead < 0x80)
            codePoint = lead, length = 1, minimum = 0;
        else if ((lead & 0xE0) == 0xC0)
            codePoint = lead & 0x1F, length = 2, minimum = 0x80;
        else if ((lead & 0xF0) == 0xE0)
            codePoint = lead & 0x0F, length = 3, minimum = 0x800;
        else if ((lead & 0xF8) == 0xF0)
            codePoint = lead & 0x07, length = 4, minimum = 0x10000;
        else
        {
            outError = "malformed UTF-8 at byte " + std::to_string(i);
            return false;
        }
        if (i + length > text.size())
        {
            outError = "UTF-8 sequence cut short at byte " + std::to_string(i);
            return false;
        }
        for (size_t k = 1; k < length; ++k)
        {
            const uint8_t next = uint8_t(text[i + k]);
            if ((next & 0xC0) != 0x80)
            {
                outError = "malformed UTF-8 at byte " + std::to_string(i);
                return false;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        {
            outError = "malformed UTF-8 at byte " + std::to_string(i);
            return false;
        }
        const int byte = EncodeOne(codePoint);
        if (byte < 0)
        {
            outError = "character " + Describe(codePoint) + " has no Mac OS Roman form";
            return false;
        }
        outBytes.push_back(char(byte));
        i += length;
    }
    return true;
}
} // namespace rezbuild
