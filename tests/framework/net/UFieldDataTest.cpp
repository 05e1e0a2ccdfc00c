// Field lists: the exact bytes both peers share, the integer rules, and tolerant reading.
#include <gtest/gtest.h>
#include <string>

#include "framework/net/UFieldData.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"
#include "tests/support/NetTestSupport.h"
#include "tools/testserver/TestWire.h"

namespace
{
std::string Bytes(TFieldDataObj* fd)
{
    THdlObj* h = UFieldData::GetDataHandle(fd);
    StHandleLocker lock(h);
    return std::string(reinterpret_cast<const char*>(lock.Data()), UMemory::GetSize(h));
}

// A list made of given bytes, owned by the returned object.
TFieldDataObj* FromBytes(const std::string& bytes, uint32_t offset = 0)
{
    return UFieldData::New(UMemory::NewHandle(bytes.data(), uint32_t(bytes.size())), offset);
}
} // namespace

TEST(FieldDataTest, IntegersTakeTwoBytesBelow65536AndFourOtherwise)
{
    StFieldData fd;
    UFieldData::AddInteger(fd, 101, 1);
    EXPECT_EQ(Bytes(fd), std::string("\x00\x01\x00\x65\x00\x02\x00\x01", 8));

    StFieldData big;
    UFieldData::AddInteger(big, 101, 65536);
    UFieldData::AddInteger(big, 102, -1);
    UFieldData::AddInteger(big, 103, 65535);
    EXPECT_EQ(Bytes(big), testwire::CFields()
                              .Add(101, std::string("\x00\x01\x00\x00", 4))
                              .Add(102, "\xFF\xFF\xFF\xFF")
                              .Add(103, "\xFF\xFF")
                              .Bytes());
    EXPECT_EQ(UFieldData::GetInteger(big, 101), 65536);
    EXPECT_EQ(UFieldData::GetInteger(big, 102), -1);
    EXPECT_EQ(UFieldData::GetInteger(big, 103), 65535);
}

TEST(FieldDataTest, IntegersAreReadByTheFieldSize)
{
    TFieldDataObj* fd = FromBytes(testwire::CFields()
                                      .Add(1, "\x07")
                                      .Add(2, "\x01\x02\x03")
                                      .Add(3, "\x01\x02\x03\x04\x05\x06\x07\x08")
                                      .Add(4, std::string("\x80\x00", 2))
                                      .Bytes());
    EXPECT_EQ(UFieldData::GetInteger(fd, 1), 7);
    EXPECT_EQ(UFieldData::GetInteger(fd, 2), 0);
    EXPECT_EQ(UFieldData::GetInteger(fd, 3), 0x01020304);
    EXPECT_EQ(UFieldData::GetInteger(fd, 4), 0x8000); // unsigned 16-bit, not sign-extended
    EXPECT_EQ(UFieldData::GetInteger(fd, 9), 0);
    UFieldData::Dispose(fd);
}

TEST(FieldDataTest, EmptyFieldsAreNeverWrittenAndAFreshListIsTwoZeroBytes)
{
    StFieldData fd;
    EXPECT_EQ(Bytes(fd), std::string("\0\0", 2));
    UFieldData::AddField(fd, 101, "x", 0);
    UFieldData::AddPString(fd, 102, nullptr);
    UFieldData::AddPString(fd, 102, reinterpret_cast<const uint8_t*>("\0"));
    EXPECT_EQ(Bytes(fd), std::string("\0\0", 2));
    EXPECT_EQ(UFieldData::GetFieldCount(fd), 0u);
}

TEST(FieldDataTest, AddingRefusesIdZeroOversizedFieldsAndNullObjects)
{
    StFieldData fd;
    UFieldData::AddInteger(fd, 5, 5);
    std::string big(65536, 'a');
    EXPECT_EQ(RaisedError([&] { UFieldData::AddField(fd, 7, big.data(), 65536); }), "1/10");
    EXPECT_EQ(RaisedError([&] { UFieldData::AddInteger(fd, 0, 1); }), "1/2");
    EXPECT_EQ(RaisedError([&] { UFieldData::AddInteger(nullptr, 1, 1); }), "1/2");
    // The list is still whole after the failed adds, and the largest field fits.
    UFieldData::AddField(fd, 7, big.data(), 65535);
    EXPECT_EQ(UFieldData::GetFieldCount(fd), 2u);
    EXPECT_EQ(UFieldData::GetFieldSize(fd, 7), 65535u);
    EXPECT_EQ(UFieldData::GetInteger(fd, 5), 5);
}

TEST(FieldDataTest, LookupsByIdAndPositionSeeFieldsAddedAfterAnEarlierRead)
{
    StFieldData fd;
    const uint8_t name[] = "\x05"
                           "Alice";
    UFieldData::AddPString(fd, 102, name);
    UFieldData::AddInteger(fd, 103, 7);
    EXPECT_EQ(UFieldData::GetInteger(fd, 103), 7); // builds the index and fills the cache
    UFieldData::AddInteger(fd, 103, 9);            // must throw both away
    UFieldData::AddInteger(fd, 50, 1);
    ASSERT_EQ(UFieldData::GetFieldCount(fd), 4u);
    EXPECT_EQ(UFieldData::GetFieldID(fd, 1), 102);
    EXPECT_EQ(UFieldData::GetFieldID(fd, 4), 50);
    EXPECT_EQ(UFieldData::GetFieldID(fd, 0), 0);
    EXPECT_EQ(UFieldData::GetFieldID(fd, 5), 0);
    EXPECT_EQ(UFieldData::GetInteger(fd, 50), 1);
    // Repeated ids are walked by position, in the order they were added.
    uint8_t b[4];
    ASSERT_EQ(UFieldData::GetFieldByIndex(fd, 2, b, 4), 2u);
    EXPECT_EQ(b[1], 7);
    ASSERT_EQ(UFieldData::GetFieldByIndex(fd, 3, b, 4), 2u);
    EXPECT_EQ(b[1], 9);
    EXPECT_EQ(UFieldData::ReadFieldByIndex(fd, 1, 2, b, 4), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b), 3), "ice");
    EXPECT_EQ(UFieldData::ReadFieldByIndex(fd, 1, 5, b, 4), 0u);
    uint8_t out[32];
    UFieldData::GetPString(fd, 102, out, sizeof out);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out + 1), out[0]), "Alice");
    UFieldData::GetPString(fd, 999, out, sizeof out);
    EXPECT_EQ(out[0], 0);
}

TEST(FieldDataTest, TextIsCutToTheCallersCapacity)
{
    StFieldData fd;
    const std::string forty(40, 'q');
    UFieldData::AddField(fd, 101, forty.data(), 40);
    uint8_t out[32];
    UFieldData::GetPString(fd, 101, out, sizeof out);
    EXPECT_EQ(out[0], 31);
    char copy[10];
    EXPECT_EQ(UFieldData::GetField(fd, 101, copy, 10), 10u);
}

TEST(FieldDataTest, TruncatedOrLyingListsYieldTheFieldsThatFit)
{
    // Count says 3, only 2 whole fields follow, then half a head.
    std::string list = testwire::CFields().AddInteger(1, 10).AddInteger(2, 20).Bytes();
    list[1] = 3;
    TFieldDataObj* fd = FromBytes(list + "\x00\x03\x00");
    EXPECT_EQ(UFieldData::GetFieldCount(fd), 2u);
    EXPECT_EQ(UFieldData::GetInteger(fd, 2), 20);
    UFieldData::Dispose(fd);

    // A field whose size runs past the end is not read at all.
    fd = FromBytes(std::string("\x00\x02\x00\x01\x00\x01\x41\x00\x02\x00\x09\x42", 12));
    EXPECT_EQ(UFieldData::GetFieldCount(fd), 1u);
    EXPECT_EQ(UFieldData::GetFieldSize(fd, 2), 0u);
    UFieldData::Dispose(fd);

    // A list of only a count of 65535 and nothing else, and a block shorter than its offset.
    fd = FromBytes("\xFF\xFF");
    EXPECT_EQ(UFieldData::GetFieldCount(fd), 0u);
    UFieldData::Dispose(fd);
    fd = FromBytes("abc", 10);
    EXPECT_EQ(UFieldData::GetFieldCount(fd), 0u);
    EXPECT_EQ(UFieldData::GetInteger(fd, 1), 0);
    UFieldData::Dispose(fd);

    EXPECT_EQ(UFieldData::GetFieldCount(nullptr), 0u);
    EXPECT_EQ(UFieldData::GetInteger(nullptr, 1), 0);
    EXPECT_EQ(UFieldData::GetFieldID(nullptr, 1), 0);
}

TEST(FieldDataTest, AnOffsetLeavesTheBytesInFrontAlone)
{
    TFieldDataObj* fd = FromBytes(std::string("HEAD\0\0", 6), 4);
    UFieldData::AddInteger(fd, 9, 258);
    EXPECT_EQ(Bytes(fd), std::string("HEAD\x00\x01\x00\x09\x00\x02\x01\x02", 12));
    EXPECT_EQ(UFieldData::GetInteger(fd, 9), 258);
    UFieldData::DeleteAllFields(fd);
    EXPECT_EQ(UFieldData::GetFieldCount(fd), 0u);
    EXPECT_EQ(Bytes(fd), std::string(6, '\0')); // a fresh empty list behind the offset
    UFieldData::Dispose(fd);
}
