#include "framework/runtime/UText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{
// Formats into a buffer of `size` bytes followed by guard bytes that must survive.
std::string FormatIn(uint32_t size, const char* format, ...)
{
    char buffer[256];
    std::memset(buffer, 0x5A, sizeof(buffer));
    va_list args;
    va_start(args, format);
    uint32_t count = UText::FormatArg(buffer, size, format, args);
    va_end(args);
    EXPECT_LE(count, size);
    for (uint32_t i = size; i < sizeof(buffer); ++i)
        EXPECT_EQ(buffer[i], 0x5A) << "wrote past the buffer at " << i;
    return std::string(buffer, count);
}

#define FMT(...) FormatIn(200, __VA_ARGS__)

std::string Size(uint64_t bytes, uint32_t options = 0)
{
    char buffer[32];
    return std::string(buffer, UText::SizeToText(bytes, buffer, sizeof(buffer), options));
}

std::string Seconds(uint32_t seconds)
{
    char buffer[32];
    return std::string(buffer, UText::SecondsToText(seconds, buffer, sizeof(buffer)));
}

std::string Integer(int32_t value, uint32_t options, uint32_t size = 32)
{
    char buffer[32];
    return std::string(buffer, UText::IntegerToText(buffer, size, value, options));
}

int32_t ToInteger(const std::string& text, uint32_t base = 10)
{
    return UText::TextToInteger(text.data(), uint32_t(text.size()), 0, base);
}
} // namespace

TEST(UTextFormat, AgreesWithPrintfOnCommonIntegerForms)
{
    const char* formats[] = {"%d",      "%5d",    "%-5d|", "%05d", "%+d",   "% d",    "%.3d", "%8.3d",
                             "%-8.3d|", "%08.3d", "%+05d", "%i",   "%u",    "%o",     "%#o",  "%#5o",
                             "%x",      "%X",     "%#x",   "%#X",  "%#08x", "%-#8x|", "%.0d", "%5.0d|"};
    const int values[] = {0, 1, 7, -7, 42, -42, 255, 8, 123456, INT_MIN, INT_MAX};
    for (const char* format : formats)
        for (int value : values)
        {
            // "#" with hex of 0 differs on purpose (see below).
            if (value == 0 && std::strchr(format, '#') && std::strpbrk(format, "xX")) continue;
            char expected[64];
            int n = std::snprintf(expected, sizeof(expected), format, value);
            EXPECT_EQ(FMT(format, value), std::string(expected, size_t(n))) << format << " of " << value;
        }
}

TEST(UTextFormat, NumberRules)
{
    EXPECT_EQ(FMT("%#x|%#X", 0u, 0u), "0x0|0X0"); // the prefix does not depend on the value
    EXPECT_EQ(FMT("%#.0o", 0u), "0");
    EXPECT_EQ(FMT("%.2lu:%.2lu", 5u, 59u), "05:59");
    EXPECT_EQ(FMT("%-05d|", 3), "3    |");    // "-" cancels "0"
    EXPECT_EQ(FMT("%+u % u", 5u, 5u), "5 5"); // signs belong to signed conversions
    EXPECT_EQ(FMT("%ld %lu", INT32_MIN, UINT32_MAX), "-2147483648 4294967295");
    EXPECT_EQ(FMT("%Ld %lx", -5, 0xDEADBEEFu), "-5 deadbeef");
    // "h" keeps the low 16 bits of the promoted argument.
    EXPECT_EQ(FMT("%hd %hu %hx", 0x18000, 70000, 0x12345), "-32768 4464 2345");
    EXPECT_EQ(FMT("%c%c", 'A', 0xD2), "A\xD2");
    EXPECT_EQ(FMT("%3c|%-3c|", 'x', 'y'), "  x|y  |");
    EXPECT_EQ(FMT("100%%"), "100%");
    EXPECT_EQ(FMT("%p", reinterpret_cast<void*>(uintptr_t(0xABCDEF01))), "abcdef01");
    EXPECT_EQ(FMT("%p", static_cast<void*>(nullptr)), "00000000");
}

TEST(UTextFormat, StarTakesWidthAndPrecisionFromArguments)
{
    EXPECT_EQ(FMT("%*d|", 5, 42), "   42|");
    EXPECT_EQ(FMT("%*d|", -5, 42), "42   |");
    EXPECT_EQ(FMT("%.*s|", 2, "abc"), "ab|");
    EXPECT_EQ(FMT("%.*d|", -1, 7), "7|"); // a negative precision is no precision
    EXPECT_EQ(FMT("%*.*d|", 6, 3, 7), "   007|");
}

TEST(UTextFormat, Strings)
{
    const uint8_t hello[] = "\x05hello";
    const uint8_t empty[] = "\x00";
    const uint8_t withNul[] = {3, 'a', 0, 'b'};
    EXPECT_EQ(FMT("[%#s]", hello), "[hello]");
    EXPECT_EQ(FMT("[%#s]", empty), "[]");
    EXPECT_EQ(FMT("[%#.3s]", hello), "[hel]");
    EXPECT_EQ(FMT("[%#-8s][%#7s]", hello, hello), "[hello   ][  hello]");
    EXPECT_EQ(FMT("%#s", withNul), std::string("a\0b", 3)); // the length byte rules, not a NUL
    EXPECT_EQ(FMT("%s|%.2s|%-4s|%4s", "abc", "abc", "ab", "ab"), "abc|ab|ab  |  ab");
    // With a precision the string need not be terminated at all.
    const char unterminated[3] = {'x', 'y', 'z'};
    EXPECT_EQ(FMT("%.3s", unterminated), "xyz");
    EXPECT_EQ(FMT("[%s][%#s]", static_cast<const char*>(nullptr), static_cast<const uint8_t*>(nullptr)),
              "[][]");
}

TEST(UTextFormat, StoresCountSoFar)
{
    int32_t count = -1;
    int16_t shortCount = -1;
    EXPECT_EQ(FMT("abc%n de%hnf", &count, &shortCount), "abc def");
    EXPECT_EQ(count, 3);
    EXPECT_EQ(shortCount, 6);
}

TEST(UTextFormat, StopsAtBufferSize)
{
    EXPECT_EQ(FormatIn(1, "hello"), "h");
    EXPECT_EQ(FormatIn(0, "hello"), "");
    EXPECT_EQ(FormatIn(3, "%5d", 42), "   ");
    EXPECT_EQ(FormatIn(4, "ab%#s", reinterpret_cast<const uint8_t*>("\x05hello")), "abhe");
    EXPECT_EQ(FormatIn(6, "%-20d", -12), "-12   ");
    // A huge width only fills what is there.
    EXPECT_EQ(FormatIn(4, "%2000000000d", 1), "    ");
    EXPECT_EQ(FormatIn(4, "%*d", INT_MIN, 1), "1   ");
    EXPECT_EQ(FormatIn(5, "%.2000000000d", 1), "00000");
    // Output stops when full: a later %n is not reached.
    int32_t count = -1;
    EXPECT_EQ(FormatIn(2, "ab%n", &count), "ab");
    EXPECT_EQ(count, -1);
}

TEST(UTextFormat, UnknownConversionEndsFormatting)
{
    EXPECT_EQ(FMT("ab%qcd"), "ab");
    EXPECT_EQ(FMT("ab%"), "ab");
    EXPECT_EQ(FMT("ab%-5"), "ab");
    EXPECT_EQ(FMT("%d%k%d", 1, 2), "1");
}

TEST(UText, SizeToText)
{
    EXPECT_EQ(Size(0), "0K");
    EXPECT_EQ(Size(0, 1), "0K");
    EXPECT_EQ(Size(1023), "1023");
    EXPECT_EQ(Size(1, 1), "<1K");
    EXPECT_EQ(Size(1023, 1), "<1K");
    EXPECT_EQ(Size(1024), "1K");
    EXPECT_EQ(Size(1536), "1K");
    EXPECT_EQ(Size(1536, 2), "1.4K");
    EXPECT_EQ(Size(1024 + 102, 2), "1K"); // 102 / 103 is a zero tenth
    EXPECT_EQ(Size(10240, 2), "10K");
    EXPECT_EQ(Size(10240 + 512, 2), "10K");
    EXPECT_EQ(Size(1048575, 3), "1023K");
    EXPECT_EQ(Size(1048576), "1M");
    // Tenths are cut, not rounded, in both units: half a megabyte is 4.99998 tenths.
    EXPECT_EQ(Size(1048576 + 524288), "1.4M");
    EXPECT_EQ(Size(1048576 + 5 * 104858), "1.5M");
    EXPECT_EQ(Size(100 * 1048576ull + 1048575), "100.9M");
    EXPECT_EQ(Size(5ull << 30), "5120M"); // beyond 32 bits
    char two[2];
    EXPECT_EQ(UText::SizeToText(1536, two, 2, 2), 2u);
    EXPECT_EQ(std::string(two, 2), "1.");
}

TEST(UText, SecondsToText)
{
    EXPECT_EQ(Seconds(0), "0:00");
    EXPECT_EQ(Seconds(59), "0:59");
    EXPECT_EQ(Seconds(676), "11:16");
    EXPECT_EQ(Seconds(3599), "59:59");
    EXPECT_EQ(Seconds(3600), "1:00:00");
    EXPECT_EQ(Seconds(86399), "23:59:59");
    EXPECT_EQ(Seconds(86400 + 3600 + 60 + 1), "1:01:01:01");
    EXPECT_EQ(Seconds(UINT32_MAX), "49710:06:28:15");
}

TEST(UText, IntegerToText)
{
    EXPECT_EQ(Integer(0, 1), "0");
    EXPECT_EQ(Integer(-1234, 1), "-1,234");
    EXPECT_EQ(Integer(-1234, 0), "-1234");
    EXPECT_EQ(Integer(123, 1), "123");
    EXPECT_EQ(Integer(123456, 1), "123,456");
    EXPECT_EQ(Integer(1234567, 1), "1,234,567");
    EXPECT_EQ(Integer(INT32_MIN, 1), "-2,147,483,648");
    EXPECT_EQ(Integer(INT32_MAX, 0), "2147483647");
    EXPECT_EQ(Integer(123456, 0, 3), "123");
}

TEST(UText, TextToInteger)
{
    EXPECT_EQ(ToInteger("  -42xyz"), -42);
    EXPECT_EQ(ToInteger("+17"), 17);
    EXPECT_EQ(ToInteger("0x1F", 0), 31);
    EXPECT_EQ(ToInteger("017", 0), 15);
    EXPECT_EQ(ToInteger("17", 0), 17);
    EXPECT_EQ(ToInteger("ff", 16), 255);
    EXPECT_EQ(ToInteger("99999999999"), INT32_MAX);
    EXPECT_EQ(ToInteger("-99999999999"), INT32_MIN);
    EXPECT_EQ(ToInteger(""), 0);
    EXPECT_EQ(UText::TextToInteger("12345", 3, 0, 10), 123); // the length rules, not a NUL
    EXPECT_EQ(ToInteger(std::string(63, '0') + "7"), 0);     // the 64th byte is not read
    EXPECT_EQ(ToInteger(std::string(62, '0') + "7"), 7);
}

TEST(UText, EqualFoldsOnlyAsciiLetters)
{
    EXPECT_TRUE(UText::Equal("Hello, World", 12, "hELLO, wORLD", 12));
    EXPECT_FALSE(UText::Equal("Hello", 5, "hello", 5, 0, UText::kEqualExact));
    EXPECT_TRUE(UText::Equal("Hello", 5, "Hello", 5, 0, UText::kEqualExact));
    EXPECT_FALSE(UText::Equal("abc", 3, "abcd", 4));
    EXPECT_FALSE(UText::Equal("abc", 3, "ab", 2));
    EXPECT_TRUE(UText::Equal("", 0, "x", 0));
    EXPECT_FALSE(UText::Equal("\x8E", 1, "\x83", 1)); // Mac Roman e-acute and E-acute are not folded
    EXPECT_FALSE(UText::Equal("[", 1, "{", 1));       // 0x20 apart but not letters

    char text[] = "MiXeD 123 \xC9Z";
    UText::MakeLowercase(text, sizeof(text) - 1);
    EXPECT_STREQ(text, "mixed 123 \xC9z");
}

TEST(UText, ReplaceNonPrinting)
{
    char text[] = "a\rb\t\x01\xE9 .~\x7F";
    UText::ReplaceNonPrinting(text, sizeof(text) - 1, 0, '*');
    EXPECT_STREQ(text, "a\rb\t** .~*");
    char strict[] = "a\rb\t\x01\xE9 .~\x7F\n\v\f";
    UText::ReplaceNonPrinting(strict, sizeof(strict) - 1, 0, '*', UText::kReplaceWhiteControls);
    EXPECT_STREQ(strict, "a*b*** .~****");

    // What a user typed keeps its accented letters, quotes and signs; controls still go, and the
    // no-break space turns into the blank it looks like.
    char typed[] = "caf\x8E \xD2hi\xD3 \xDB\xCA\x01\x7F\xFF\x80\t";
    UText::ReplaceNonPrinting(typed, sizeof(typed) - 1, 0, '*', UText::kKeepMacRomanLetters);
    EXPECT_STREQ(typed, "caf\x8E \xD2hi\xD3 \xDB **\xFF\x80\t");
    char name[] = "Jos\x8E\t\xCA";
    UText::ReplaceNonPrinting(name, sizeof(name) - 1, 0, '*',
                              UText::kReplaceWhiteControls | UText::kKeepMacRomanLetters);
    EXPECT_STREQ(name, "Jos\x8E* ");
}

TEST(UText, VisibleLengthAndWords)
{
    EXPECT_EQ(UText::GetVisibleLength("abc \t\r\n ", 8), 3u);
    EXPECT_EQ(UText::GetVisibleLength("   ", 3), 0u);
    EXPECT_EQ(UText::GetVisibleLength(" a\xCA", 3), 3u); // a non-breaking space has no class

    const char* text = "hello  world";
    uint32_t start = 99, length = 99;
    EXPECT_TRUE(UText::FindWord(text, 12, 0, 0, start, length));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(length, 5u);
    EXPECT_TRUE(UText::FindWord(text, 12, 0, 4, start, length));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(length, 5u);
    EXPECT_TRUE(UText::FindWord(text, 12, 0, 6, start, length));
    EXPECT_EQ(start, 5u);
    EXPECT_EQ(length, 2u);
    EXPECT_TRUE(UText::FindWord(text, 12, 0, 11, start, length));
    EXPECT_EQ(start, 7u);
    EXPECT_EQ(length, 5u);
    EXPECT_FALSE(UText::FindWord(text, 12, 0, 12, start, length));
    EXPECT_EQ(start, 12u);
    EXPECT_EQ(length, 0u);
    EXPECT_FALSE(UText::FindWord("", 0, 0, 0, start, length));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(length, 0u);
}

TEST(UText, CharacterClasses)
{
    EXPECT_EQ(UText::GetClass('\t'), UText::kClassControl | UText::kClassWhiteControl);
    EXPECT_EQ(UText::GetClass(' '), UText::kClassBlank);
    EXPECT_EQ(UText::GetClass('b'), UText::kClassLower | UText::kClassHexLetter);
    EXPECT_EQ(UText::GetClass('G'), UText::kClassUpper);
    for (int c = 0; c < 256; ++c)
    {
        uint8_t b = uint8_t(c);
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        bool digit = c >= '0' && c <= '9';
        bool graph = c > 0x20 && c < 0x7F;
        EXPECT_EQ(UText::IsAlphaNumeric(b), letter || digit) << c;
        EXPECT_EQ(UText::IsGraph(b), graph) << c;
        EXPECT_EQ(UText::IsPrinting(b), graph || c == ' ') << c;
        EXPECT_EQ(UText::IsSpace(b), c == ' ' || (c >= '\t' && c <= '\r')) << c;
        EXPECT_EQ(UText::ToLower(b), c >= 'A' && c <= 'Z' ? c + 32 : c) << c;
        if (c >= 0x80)
        {
            EXPECT_EQ(UText::GetClass(b), 0) << c;
        }
    }
}

TEST(UText, SplitLinesKeepsEmptyLinesWithinButNoneAfterTheLastFeed)
{
    using Lines = std::vector<std::string>;
    EXPECT_EQ(UText::SplitLines(""), Lines{});
    EXPECT_EQ(UText::SplitLines("\n"), Lines{""});
    EXPECT_EQ(UText::SplitLines("a\n\nb\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(UText::SplitLines("a\r\nb"), (Lines{"a\r", "b"}));
    EXPECT_EQ(UText::SplitLines(std::string("a\0b\nc", 5)), (Lines{std::string("a\0b", 3), "c"}));
}
