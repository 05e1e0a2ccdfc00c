#include "framework/runtime/UText.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace
{
constexpr UText::SByteTable MakeClassTable()
{
    UText::SByteTable t{};
    for (int c = 0; c < 0x20; ++c)
        t.bytes[c] = UText::kClassControl;
    t.bytes[0x7F] = UText::kClassControl;
    for (int c = '\t'; c <= '\r'; ++c)
        t.bytes[c] |= UText::kClassWhiteControl;
    t.bytes[0x20] = UText::kClassBlank;
    for (int c = 0x21; c < 0x7F; ++c)
        t.bytes[c] = UText::kClassPunctuation;
    for (int c = '0'; c <= '9'; ++c)
        t.bytes[c] = UText::kClassDigit;
    for (int c = 'A'; c <= 'Z'; ++c)
        t.bytes[c] = uint8_t(UText::kClassUpper | (c <= 'F' ? UText::kClassHexLetter : 0));
    for (int c = 'a'; c <= 'z'; ++c)
        t.bytes[c] = uint8_t(UText::kClassLower | (c <= 'f' ? UText::kClassHexLetter : 0));
    return t;
}

constexpr UText::SByteTable MakeLowerTable()
{
    UText::SByteTable t{};
    for (int c = 0; c < 256; ++c)
        t.bytes[c] = uint8_t(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    return t;
}

uint32_t CopyOut(void* outBuf, uint32_t size, const char* text, uint32_t length)
{
    uint32_t n = length < size ? length : size;
    if (n) std::memcpy(outBuf, text, n);
    return n;
}

bool IsWhite(uint8_t c)
{
    return UText::IsSpace(c);
}

// Mac OS Roman's no-break space.
constexpr uint8_t kNoBreakSpace = 0xCA;
} // namespace

constinit const UText::SByteTable UText::kClasses = MakeClassTable();
constinit const UText::SByteTable UText::kLower = MakeLowerTable();

uint32_t UText::IntegerToText(void* outBuf, uint32_t size, int32_t value, uint32_t options)
{
    if (!outBuf || !size) return 0;
    // Built from the right: ten digits, three commas and a sign at most.
    char text[16];
    char* p = text + sizeof(text);
    uint32_t magnitude = value < 0 ? 0u - uint32_t(value) : uint32_t(value);
    int digits = 0;
    do
    {
        if (options && digits && digits % 3 == 0) *--p = ',';
        *--p = char('0' + magnitude % 10);
        magnitude /= 10;
        ++digits;
    } while (magnitude);
    if (value < 0) *--p = '-';
    return CopyOut(outBuf, size, p, uint32_t(text + sizeof(text) - p));
}

uint32_t UText::SizeToText(uint64_t byteCount, void* outBuf, uint32_t size, uint32_t options)
{
    if (!outBuf || !size) return 0;
    if (byteCount == 0) return CopyOut(outBuf, size, "0K", 2);
    if (byteCount < 1024)
    {
        if (options & kSizeLessThan1K) return CopyOut(outBuf, size, "<1K", 3);
        return Format(outBuf, size, "%lu", uint32_t(byteCount));
    }
    // Counts above 4G would not fit the formatter's 32-bit numbers; the whole part is printed by hand.
    char text[32];
    char* p = text + sizeof(text);
    char unit;
    uint64_t whole;
    uint32_t tenth;
    bool showTenth;
    if (byteCount < 1048576)
    {
        whole = byteCount / 1024;
        tenth = uint32_t((byteCount % 1024) / 103);
        showTenth = (options & kSizeTenthBelow10K) && whole < 10 && tenth;
        unit = 'K';
    }
    else
    {
        whole = byteCount / 1048576;
        tenth = uint32_t((byteCount % 1048576) / 104858);
        showTenth = tenth != 0;
        unit = 'M';
    }
    *--p = unit;
    if (showTenth)
    {
        *--p = char('0' + tenth);
        *--p = '.';
    }
    do
    {
        *--p = char('0' + whole % 10);
        whole /= 10;
    } while (whole);
    return CopyOut(outBuf, size, p, uint32_t(text + sizeof(text) - p));
}

uint32_t UText::SecondsToText(uint32_t seconds, void* outBuf, uint32_t size)
{
    uint32_t secs = seconds % 60;
    uint32_t mins = (seconds / 60) % 60;
    uint32_t hours = (seconds / 3600) % 24;
    uint32_t days = seconds / 86400;
    if (days) return Format(outBuf, size, "%lu:%.2lu:%.2lu:%.2lu", days, hours, mins, secs);
    if (hours) return Format(outBuf, size, "%lu:%.2lu:%.2lu", hours, mins, secs);
    return Format(outBuf, size, "%lu:%.2lu", mins, secs);
}

int32_t UText::TextToInteger(const void* text, uint32_t length, uint32_t, uint32_t base)
{
    if (!text) return 0;
    char buffer[64];
    uint32_t n = length < 63 ? length : 63;
    std::memcpy(buffer, text, n);
    buffer[n] = 0;
    if (base == 1 || base > 36) return 0;
    // long is 64-bit here, so clamp to the 32-bit limits the callers expect.
    long long value = std::strtoll(buffer, nullptr, int(base));
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return int32_t(value);
}

bool UText::Equal(const void* text1, uint32_t length1, const void* text2, uint32_t length2, uint32_t,
                  uint32_t options)
{
    if (length1 != length2) return false;
    if (length1 == 0) return true;
    if (options & kEqualExact) return std::memcmp(text1, text2, length1) == 0;
    const uint8_t* a = static_cast<const uint8_t*>(text1);
    const uint8_t* b = static_cast<const uint8_t*>(text2);
    for (uint32_t i = 0; i < length1; ++i)
        if (ToLower(a[i]) != ToLower(b[i])) return false;
    return true;
}

void UText::MakeLowercase(void* text, uint32_t length, uint32_t)
{
    uint8_t* p = static_cast<uint8_t*>(text);
    for (uint32_t i = 0; i < length; ++i)
        p[i] = ToLower(p[i]);
}

void UText::ReplaceNonPrinting(void* text, uint32_t length, uint32_t, uint8_t replacement, uint32_t options)
{
    uint8_t keep = kClassDigit | kClassPunctuation | kClassLower | kClassUpper | kClassBlank;
    if (!(options & kReplaceWhiteControls)) keep |= kClassWhiteControl;
    const bool keepHighHalf = (options & kKeepMacRomanLetters) != 0;
    uint8_t* p = static_cast<uint8_t*>(text);
    for (uint32_t i = 0; i < length; ++i)
    {
        if (keepHighHalf && p[i] >= 0x80)
        {
            if (p[i] == kNoBreakSpace) p[i] = ' ';
            continue;
        }
        if (!(GetClass(p[i]) & keep)) p[i] = replacement;
    }
}

std::vector<std::string> UText::SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

uint32_t UText::GetVisibleLength(const void* text, uint32_t length, uint32_t)
{
    const uint8_t* p = static_cast<const uint8_t*>(text);
    while (length && IsWhite(p[length - 1]))
        --length;
    return length;
}

bool UText::FindWord(const void* text, uint32_t length, uint32_t, uint32_t offset, uint32_t& outStart,
                     uint32_t& outLength)
{
    if (offset >= length)
    {
        outStart = length;
        outLength = 0;
        return false;
    }
    const uint8_t* p = static_cast<const uint8_t*>(text);
    bool white = IsWhite(p[offset]);
    uint32_t start = offset;
    while (start && IsWhite(p[start - 1]) == white)
        --start;
    uint32_t end = offset + 1;
    while (end < length && IsWhite(p[end]) == white)
        ++end;
    outStart = start;
    outLength = end - start;
    return true;
}
