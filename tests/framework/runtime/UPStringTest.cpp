// Length-prefixed strings: every store stays inside its capacity, and the comparisons are orderings a
// sort may rely on.
#include "framework/runtime/UPString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
const uint8_t kHello[] = "\x05hello";
const uint8_t kEmpty[] = "";

// A destination of `capacity` bytes followed by guard bytes that must survive.
struct SGuarded
{
    explicit SGuarded(uint32_t capacity) : capacity(capacity), bytes(capacity + 8, 0x5A) {}
    uint8_t* data() { return bytes.data(); }
    bool GuardsIntact() const
    {
        for (size_t i = capacity; i < bytes.size(); ++i)
            if (bytes[i] != 0x5A) return false;
        return true;
    }
    std::string Text() const { return std::string(UPString::Text(bytes.data())); }

    uint32_t capacity;
    std::vector<uint8_t> bytes;
};
} // namespace

TEST(UPString, StoresAreCutToTheCapacityAndTo255Bytes)
{
    SGuarded four(4);
    EXPECT_EQ(UPString::Copy(four.data(), four.capacity, kHello), 3);
    EXPECT_EQ(four.Text(), "hel");
    EXPECT_TRUE(four.GuardsIntact());

    SGuarded one(1);
    EXPECT_EQ(UPString::SetText(one.data(), one.capacity, "abc"), 0);
    EXPECT_EQ(one.bytes[0], 0);
    EXPECT_TRUE(one.GuardsIntact());

    const std::string long300(300, 'x');
    SGuarded big(400);
    EXPECT_EQ(UPString::SetBytes(big.data(), big.capacity, long300.data(), uint32_t(long300.size())), 255);
    EXPECT_EQ(big.Text(), std::string(255, 'x'));
    EXPECT_EQ(UPString::SetText(big.data(), big.capacity, long300.c_str()), 255);
    EXPECT_EQ(UPString::SetBytes(
                  big.data(), big.capacity,
                  std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(long300.data()), long300.size())),
              255);
    EXPECT_TRUE(big.GuardsIntact());

    // The array forms take the capacity from the type.
    uint8_t name[8];
    EXPECT_EQ(UPString::SetText(name, "Wonderland"), 7);
    EXPECT_EQ(UPString::Text(name), "Wonderl");
    EXPECT_EQ(UPString::Copy(name, kHello), 5);
    EXPECT_EQ(UPString::Text(name), "hello");
    EXPECT_EQ(UPString::SetBytes(name, "abcdefghij", 2), 2);
    EXPECT_EQ(UPString::Text(name), "ab");
    EXPECT_EQ(UPString::SetBytes(name, UPString::Bytes(kHello)), 5);
    EXPECT_TRUE(UPString::Equal(name, kHello));
}

TEST(UPString, NullSourcesAreEmptyAndNullDestinationsStoreNothing)
{
    uint8_t name[16];
    UPString::SetText(name, "old");
    EXPECT_EQ(UPString::Copy(name, nullptr), 0);
    EXPECT_EQ(name[0], 0);
    UPString::SetText(name, "old");
    EXPECT_EQ(UPString::SetBytes(name, nullptr, 5), 0);
    EXPECT_EQ(name[0], 0);
    EXPECT_EQ(UPString::SetText(name, nullptr), 0);
    EXPECT_EQ(UPString::Copy(nullptr, 16, kHello), 0);
    EXPECT_EQ(UPString::Copy(name, 0, kHello), 0);
    EXPECT_TRUE(UPString::Bytes(nullptr).empty());
    EXPECT_TRUE(UPString::Text(nullptr).empty());
    EXPECT_TRUE(UPString::Equal(nullptr, kEmpty));
}

TEST(UPString, APartOfAStringMayBeCopiedOntoItself)
{
    uint8_t text[16];
    UPString::SetText(text, "abcdef");
    EXPECT_EQ(UPString::SetBytes(text, text + 3, 4), 4); // "cdef", from its own bytes
    EXPECT_EQ(UPString::Text(text), "cdef");
    EXPECT_EQ(UPString::Copy(text, 3, text), 2); // cut in place
    EXPECT_EQ(UPString::Text(text), "cd");
}

TEST(UPString, ComparisonsAreOrderingsAndEqualStringsCompareEqual)
{
    const uint8_t abc[] = "\x03"
                          "abc",
                  ABC[] = "\x03"
                          "ABC",
                  ab[] = "\x02"
                         "ab",
                  abd[] = "\x03"
                          "abd",
                  high[] = "\x01\x8E"; // é: above every ASCII byte, and not folded
    EXPECT_EQ(UPString::Compare(abc, abc), 0);
    EXPECT_TRUE(UPString::Equal(abc, abc));
    EXPECT_FALSE(UPString::Equal(abc, ABC));
    EXPECT_FALSE(UPString::Equal(abc, ab));
    EXPECT_LT(UPString::Compare(ab, abc), 0);
    EXPECT_GT(UPString::Compare(abc, ab), 0);
    EXPECT_LT(UPString::Compare(ABC, abc), 0);
    EXPECT_LT(UPString::Compare(abd, high), 0);
    EXPECT_GT(UPString::Compare(high, abd), 0);

    EXPECT_EQ(UPString::CompareIgnoringCase(abc, ABC), 0);
    EXPECT_EQ(UPString::CompareIgnoringCase(ABC, abc), 0);
    EXPECT_LT(UPString::CompareIgnoringCase(ab, ABC), 0);
    EXPECT_GT(UPString::CompareIgnoringCase(abd, ABC), 0);
    EXPECT_LT(UPString::CompareIgnoringCase(ABC, high), 0);
    EXPECT_EQ(UPString::CompareIgnoringCase(nullptr, kEmpty), 0);
}
