#include "framework/runtime/MacRoman.h"

#include <gtest/gtest.h>

#include <string>

TEST(MacRoman, EveryByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    std::string utf8 = MacRomanToUtf8(all.data(), uint32_t(all.size()));
    EXPECT_EQ(Utf8ToMacRoman(utf8), all);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(UnicodeToMacRoman(MacRomanToUnicode(uint8_t(b))), b);
}

TEST(MacRoman, KnownCharacters)
{
    EXPECT_EQ(MacRomanToUnicode(0xD2), 0x201Cu);
    EXPECT_EQ(MacRomanToUnicode(0xD3), 0x201Du);
    EXPECT_EQ(MacRomanToUnicode(0x8E), 0x00E9u);
    EXPECT_EQ(MacRomanToUnicode(0xCA), 0x00A0u);
    EXPECT_EQ(MacRomanToUnicode(0xDB), 0x20ACu);
    EXPECT_EQ(MacRomanToUnicode(0xF0), 0xF8FFu);
    EXPECT_EQ(MacRomanToUnicode(0xFF), 0x02C7u);
    // 0xDB is the euro sign alone: the older currency sign typed by a user must not arrive as a euro.
    EXPECT_EQ(UnicodeToMacRoman(0x20AC), 0xDB);
    EXPECT_EQ(UnicodeToMacRoman(0x00A4), -1);
    EXPECT_EQ(Utf8ToMacRoman("\xC2\xA4"), "?");
    EXPECT_EQ(UnicodeToMacRoman(0x3042), -1);
    EXPECT_EQ(UnicodeToMacRoman(0x80), -1); // a C1 control is not in the set

    EXPECT_EQ(MacRomanToUtf8("\xD2name\xD3", 6), "\xE2\x80\x9Cname\xE2\x80\x9D");
    EXPECT_EQ(MacRomanToUtf8("Caf\x8E", 4), "Caf\xC3\xA9");
    EXPECT_EQ(Utf8ToMacRoman("\xE2\x80\x9C"
                             "a\xE2\x80\x9D \xE2\x82\xAC"),
              "\xD2"
              "a\xD3 \xDB");
    EXPECT_EQ(MacRomanToUtf8(std::string("a\0b", 3).data(), 3), std::string("a\0b", 3));
}

TEST(MacRoman, UnmappableAndMalformedBecomeQuestionMarks)
{
    EXPECT_EQ(Utf8ToMacRoman("\xE6\x97\xA5\xE6\x9C\xAC"), "??"); // two CJK characters
    EXPECT_EQ(Utf8ToMacRoman("x\xF0\x9F\x98\x80y"), "x?y");      // one character outside the basic plane
    EXPECT_EQ(Utf8ToMacRoman("\x80"), "?");                      // a lone continuation byte
    EXPECT_EQ(Utf8ToMacRoman("ab\xE2\x80"), "ab??");             // cut short at the end
    EXPECT_EQ(Utf8ToMacRoman("\xC0\xAF"), "??");                 // overlong
    EXPECT_EQ(Utf8ToMacRoman("\xED\xA0\x80"), "???");            // a surrogate
    EXPECT_EQ(Utf8ToMacRoman("\xF4\x90\x80\x80"), "????");       // beyond U+10FFFF
    EXPECT_EQ(Utf8ToMacRoman("\xC3"
                             "A"),
              "?A"); // the next character is kept
    EXPECT_EQ(Utf8ToMacRoman(nullptr, 3), "");
    EXPECT_EQ(MacRomanToUtf8(nullptr, 3), "");
}
