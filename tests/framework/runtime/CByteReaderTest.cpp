// The bounded reader every parser of outside bytes reads with: it never reads past the end, a failure
// stays, and a length over its limit fails before anything is allocated.
#include <gtest/gtest.h>

#include "framework/runtime/CByteReader.h"

namespace
{
TEST(CByteReader, ReadsBigEndianNumbersAndStringsInOrder)
{
    const uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D,
                             0x0E, 0x0F, 0x02, 'h',  'i',  0x00, 0x03, 'a',  'b',  'c',  0x00, 0x01, 0xFF};
    CByteReader in(bytes, sizeof(bytes));
    EXPECT_EQ(in.Read8(), 0x01);
    EXPECT_EQ(in.Read16(), 0x0203);
    EXPECT_EQ(in.Read32(), 0x04050607u);
    EXPECT_EQ(in.Read64(), 0x08090A0B0C0D0E0Full);
    EXPECT_EQ(in.ReadString8(), "hi");
    EXPECT_EQ(in.ReadString16(), "abc");
    EXPECT_EQ(in.ReadBytes16(), std::vector<uint8_t>{0xFF});
    EXPECT_TRUE(in.Ok());
    EXPECT_EQ(in.Left(), 0u);
    EXPECT_EQ(in.Offset(), sizeof(bytes));
}

// A parser checks once at the end: a read that did not fit must not let a later, smaller read succeed
// with bytes from the wrong place.
TEST(CByteReader, AShortReadFailsForGoodAndReadsNothing)
{
    const uint8_t bytes[] = {0xAA, 0xBB, 0xCC};
    CByteReader in(bytes, sizeof(bytes));
    EXPECT_EQ(in.Read32(), 0u);
    EXPECT_FALSE(in.Ok());
    EXPECT_EQ(in.Read8(), 0);
    EXPECT_EQ(in.Read16(), 0);
    EXPECT_EQ(in.ReadBytes(1), nullptr);
    EXPECT_FALSE(in.Skip(0));
    EXPECT_EQ(in.Left(), 0u);
    EXPECT_FALSE(in.HasString8());

    // A string whose length runs past the end is nothing, and so is everything after it.
    const uint8_t shortString[] = {0x05, 'a', 'b', 0x01};
    CByteReader s(shortString, sizeof(shortString));
    EXPECT_EQ(s.ReadString8(), "");
    EXPECT_FALSE(s.Ok());
    EXPECT_EQ(s.Read8(), 0);

    // No bytes at all, or a null pointer with a size, read nothing.
    CByteReader none(nullptr, 0);
    EXPECT_TRUE(none.Ok());
    EXPECT_EQ(none.Read8(), 0);
    EXPECT_FALSE(none.Ok());
    CByteReader lying(nullptr, 100);
    EXPECT_FALSE(lying.Ok());
    EXPECT_EQ(lying.Left(), 0u);
}

TEST(CByteReader, ALengthOverItsLimitFailsEvenWhenTheBytesAreThere)
{
    std::vector<uint8_t> bytes = {0x00, 0x04, 'a', 'b', 'c', 'd'};
    EXPECT_EQ(CByteReader(bytes.data(), uint32_t(bytes.size())).ReadString16(4), "abcd");
    CByteReader in(bytes.data(), uint32_t(bytes.size()));
    EXPECT_EQ(in.ReadString16(3), "");
    EXPECT_FALSE(in.Ok());
    CByteReader raw(bytes.data(), uint32_t(bytes.size()));
    EXPECT_TRUE(raw.ReadBytes16(3).empty());
    EXPECT_FALSE(raw.Ok());

    // A huge announced length with few bytes behind it allocates nothing and fails.
    const uint8_t huge[] = {0xFF, 0xFF, 'x'};
    CByteReader h(huge, sizeof(huge));
    EXPECT_TRUE(h.ReadBytes16().empty());
    EXPECT_FALSE(h.Ok());
}

// Formats where a string that runs past the end is read as nothing and the parse goes on ask first.
TEST(CByteReader, HasStringTellsWithoutReading)
{
    const uint8_t bytes[] = {0x00, 0x02, 'o', 'k', 0x03, 'n', 'o'};
    CByteReader in(bytes, sizeof(bytes));
    EXPECT_TRUE(in.HasString16());
    EXPECT_EQ(in.Offset(), 0u);
    EXPECT_EQ(in.ReadString16(), "ok");
    EXPECT_FALSE(in.HasString8());
    EXPECT_FALSE(in.HasString16());
    EXPECT_TRUE(in.Ok());
    EXPECT_EQ(in.Left(), 3u);
}
} // namespace
