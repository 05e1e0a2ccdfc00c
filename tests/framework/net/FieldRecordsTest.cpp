// The records inside fields: paths, file and user entries, dates and complemented text.
#include <gtest/gtest.h>
#include <string>

#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"
#include "framework/net/UServerPath.h"
#include "framework/runtime/UMemory.h"
#include "tools/testserver/TestWire.h"

namespace
{
std::string Take(THdlObj* h)
{
    std::string s;
    if (h)
    {
        StHandleLocker lock(h);
        s.assign(reinterpret_cast<const char*>(lock.Data()), UMemory::GetSize(h));
    }
    UMemory::Dispose(h);
    return s;
}

const uint8_t* P(const char* pstr)
{
    return reinterpret_cast<const uint8_t*>(pstr);
}
} // namespace

TEST(ServerPathTest, PathsAreBuiltLevelByLevelAndReadBack)
{
    const std::string uploads = Take(UServerPath::MakeChildPath(nullptr, 0, P("\x07Uploads")));
    EXPECT_EQ(uploads, std::string("\x00\x01\x00\x00\x07Uploads", 12));
    const std::string deeper =
        Take(UServerPath::MakeChildPath(uploads.data(), uint32_t(uploads.size()), P("\x02Mp")));
    EXPECT_EQ(deeper, std::string("\x00\x02\x00\x00\x07Uploads\x00\x00\x02Mp", 17));

    uint8_t name[8];
    ASSERT_TRUE(UServerPath::GetTargetName(deeper.data(), uint32_t(deeper.size()), name, sizeof name));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name + 1), name[0]), "Mp");
    ASSERT_TRUE(UServerPath::GetTargetName(uploads.data(), uint32_t(uploads.size()), name, 4));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name + 1), name[0]), "Upl");

    EXPECT_EQ(UServerPath::GetSize(deeper.data(), uint32_t(deeper.size()), 1), 12u);
    EXPECT_EQ(UServerPath::GetSize(deeper.data(), uint32_t(deeper.size()), 9), 17u);
    EXPECT_EQ(Take(UServerPath::MakeParentPath(deeper.data(), uint32_t(deeper.size()))), uploads);
    EXPECT_EQ(UServerPath::MakeParentPath(uploads.data(), uint32_t(uploads.size())), nullptr);
}

TEST(ServerPathTest, DamagedPathsGiveNoName)
{
    uint8_t name[256];
    EXPECT_FALSE(
        UServerPath::GetTargetName("\x00\x01\x00\x00\x01", 5, name, sizeof name)); // 5 bytes: the root
    EXPECT_FALSE(UServerPath::GetTargetName("\x00\x00\x00\x00\x01X", 6, name, sizeof name));
    // The second level claims 9 characters but the record ends.
    const std::string bad("\x00\x02\x00\x00\x01"
                          "A\x00\x00\x09"
                          "BC",
                          11);
    EXPECT_FALSE(UServerPath::GetTargetName(bad.data(), uint32_t(bad.size()), name, sizeof name));
    EXPECT_EQ(name[0], 0);
    EXPECT_EQ(UServerPath::GetSize(bad.data(), uint32_t(bad.size()), 2), 6u);
}

TEST(FieldRecordsTest, FileEntriesKeepAtMost255NameCharacters)
{
    std::string entry = testwire::FileEntry(0x666C6472, 0x51564C43, 12, std::string(300, 'n'));
    SFileEntry e;
    ASSERT_TRUE(UFieldRecords::ReadFileEntry(entry.data(), uint32_t(entry.size()), e));
    EXPECT_EQ(e.type, 0x666C6472u);
    EXPECT_EQ(e.creator, 0x51564C43u);
    EXPECT_EQ(e.size, 12u);
    EXPECT_EQ(e.name[0], 255);
    // A name length beyond the record's end keeps only what is there.
    entry = testwire::FileEntry(1, 2, 3, "abcdef").substr(0, 23);
    ASSERT_TRUE(UFieldRecords::ReadFileEntry(entry.data(), uint32_t(entry.size()), e));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(e.name + 1), e.name[0]), "abc");
    EXPECT_FALSE(UFieldRecords::ReadFileEntry(entry.data(), 19, e));

    uint8_t out[300];
    ASSERT_TRUE(UFieldRecords::ReadFileEntry(entry.data(), uint32_t(entry.size()), e));
    const uint32_t n = UFieldRecords::WriteFileEntry(e, out);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), n), testwire::FileEntry(1, 2, 3, "abc"));
}

TEST(FieldRecordsTest, UserEntriesKeepAtMost63NameCharacters)
{
    const std::string entry = testwire::UserEntry(7, -3, 2, std::string(80, 'u'));
    SUserEntry u;
    ASSERT_TRUE(UFieldRecords::ReadUserEntry(entry.data(), uint32_t(entry.size()), u));
    EXPECT_EQ(u.id, 7);
    EXPECT_EQ(u.iconID, -3);
    EXPECT_EQ(u.flags, 2);
    EXPECT_EQ(u.name[0], 63);
    EXPECT_FALSE(UFieldRecords::ReadUserEntry(entry.data(), 7, u));
}

TEST(FieldRecordsTest, DatesAndComplementedText)
{
    StFieldData fd;
    UFieldRecords::AddDate(fd, 208, SDateTimeStamp{2024, 500, 86400});
    UFieldRecords::AddComplementedPString(fd, 105,
                                          P("\x03"
                                            "abc"));
    char raw[8];
    ASSERT_EQ(UFieldData::GetField(fd, 208, raw, 8), 8u);
    EXPECT_EQ(std::string(raw, 8), std::string("\x07\xE8\x01\xF4\x00\x01\x51\x80", 8));
    SDateTimeStamp d;
    ASSERT_TRUE(UFieldRecords::GetDate(fd, 208, d));
    EXPECT_EQ(d.year, 2024);
    EXPECT_EQ(d.msecs, 500);
    EXPECT_EQ(d.seconds, 86400u);
    ASSERT_EQ(UFieldData::GetField(fd, 105, raw, 8), 3u);
    EXPECT_EQ(std::string(raw, 3), "\x9E\x9D\x9C");
    uint8_t back[32];
    UFieldRecords::GetComplementedPString(fd, 105, back, sizeof back);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(back + 1), back[0]), "abc");
    EXPECT_FALSE(UFieldRecords::GetDate(fd, 209, d));
}
