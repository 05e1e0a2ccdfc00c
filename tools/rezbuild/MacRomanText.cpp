#include "tools/rezbuild/MacRomanText.h"

#include <cstdint>
#include <cstdio>

#include "framework/runtime/MacRoman.h"

namespace rezbuild
{
namespace
{
// The client's own table, so that what is written here reads back as the same text. Control characters
// other than tab have no place in a resource text and are refused rather than carried along.
int EncodeOne(uint32_t codePoint)
{
    if (codePoint < 0x20 && codePoint != '\t') return -1;
    if (codePoint == 0x7F) return -1;
    return UnicodeToMacRoman(codePoint);
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
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    for (size_t i = 0; i < text.size();)
    {
        const auto [codePoint, length] = DecodeUtf8(bytes, text.size(), i);
        if (codePoint < 0)
        {
            outError = "malformed UTF-8 at byte " + std::to_string(i);
            return false;
        }
        const int byte = EncodeOne(uint32_t(codePoint));
        if (byte < 0)
        {
            outError = "character " + Describe(uint32_t(codePoint)) + " has no Mac OS Roman form";
            return false;
        }
        outBytes.push_back(char(byte));
        i += length;
    }
    return true;
}
} // namespace rezbuild
