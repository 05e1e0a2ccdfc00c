// The Mac OS Roman character set: every protocol, file and resource text of the client is in it.
// Unicode is only met where text reaches the window toolkit or the platform's locale services.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

// The Unicode code point of one Mac OS Roman byte. Bytes below 0x80 are ASCII.
uint32_t MacRomanToUnicode(uint8_t byte);
// The Mac OS Roman byte of a code point, or -1 when the character set has none.
int UnicodeToMacRoman(uint32_t codePoint);

// The UTF-8 character at text[pos] (pos < length): its code point and byte count, or -1 and 1 for a
// malformed, overlong, cut-short or surrogate sequence, so that each bad byte counts as one.
std::pair<int32_t, size_t> DecodeUtf8(const uint8_t* text, size_t length, size_t pos);

// Appends a code point of the basic plane (every character of the set is one) as UTF-8.
void AppendUtf8(std::string& out, uint32_t codePoint);
// Mac OS Roman bytes to UTF-8; every byte has a character, so nothing is lost.
std::string MacRomanToUtf8(const void* text, uint32_t length);
// UTF-8 to Mac OS Roman. A character the set lacks and every byte of a malformed sequence become '?'.
std::string Utf8ToMacRoman(const char* text, size_t length);
inline std::string Utf8ToMacRoman(const std::string& text)
{
    return Utf8ToMacRoman(text.data(), text.size());
}
