// The transfer queue file: what is written reads back the same, and bytes that break any rule of the
// format are refused whole, wherever the damage is.
#include <gtest/gtest.h>

#include "client/core/UMyTransferQueueFile.h"

namespace
{
std::vector<SMyTransferRecord> Sample()
{
    SMyTransferRecord a;
    a.kind = SMyTransferRecord::kDownloadFile;
    a.state = SMyTransferRecord::kRunning;
    a.hadData = true;
    a.port = 5500;
    a.address = "files.example.org:5500";
    a.login = "alice";
    a.serverName = "Report \xD2one\xD3.pdf";
    a.serverPath = {0, 1, 0, 0, 4, 'D', 'o', 'c', 's'};
    a.localPath = "/home/alice/Downloads/Report.pdf";
    a.doneSize = 1000;
    a.totalSize = 190700000;
    SMyTransferRecord b = a;
    b.kind = SMyTransferRecord::kUpload;
    b.state = SMyTransferRecord::kStopped;
    b.login.clear();
    b.serverPath.clear();
    b.localPath = "/tmp/up";
    SMyTransferRecord c = a;
    c.kind = SMyTransferRecord::kDownloadFolder;
    c.state = SMyTransferRecord::kWaiting;
    SMyTransferRecord d = b;
    d.kind = SMyTransferRecord::kUploadFolder;
    d.localPath = "/tmp/Album";
    return {a, b, c, d};
}

bool Parses(const std::string& bytes)
{
    std::vector<SMyTransferRecord> records;
    return UMyTransferQueueFile::Parse(bytes.data(), uint32_t(bytes.size()), records);
}
} // namespace

TEST(TransferQueueFile, WhatIsWrittenReadsBackTheSame)
{
    const std::string bytes = UMyTransferQueueFile::Format(Sample());
    std::vector<SMyTransferRecord> records;
    ASSERT_TRUE(UMyTransferQueueFile::Parse(bytes.data(), uint32_t(bytes.size()), records));
    EXPECT_EQ(records, Sample());
    ASSERT_TRUE(Parses(UMyTransferQueueFile::Format({})));
    // Overlong texts are cut on writing, so that the file always reads back.
    SMyTransferRecord longLogin = Sample()[0];
    longLogin.login = std::string(40, 'x');
    const std::string cut = UMyTransferQueueFile::Format({longLogin});
    ASSERT_TRUE(UMyTransferQueueFile::Parse(cut.data(), uint32_t(cut.size()), records));
    EXPECT_EQ(records[0].login, std::string(31, 'x'));
}

TEST(TransferQueueFile, DamageAnywhereRefusesTheWholeFile)
{
    const std::string good = UMyTransferQueueFile::Format(Sample());
    // Cut at every length, and one byte too many.
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(Parses(good.substr(0, n))) << n;
    EXPECT_FALSE(Parses(good + '\0'));
    std::vector<SMyTransferRecord> records{Sample()[0]};
    EXPECT_FALSE(Parses("QVTQ\x00\x02\x00\x00"));                 // a later version
    EXPECT_FALSE(Parses(std::string("QVTQ\x00\x01\x03\xE9", 8))); // more records than allowed
    auto damaged = [&](auto change)
    {
        std::vector<SMyTransferRecord> r{Sample()[0]};
        change(r[0]);
        return UMyTransferQueueFile::Format(r);
    };
    EXPECT_FALSE(Parses(damaged([](SMyTransferRecord& r) { r.kind = SMyTransferRecord::EKind(5); })));
    EXPECT_FALSE(Parses(damaged([](SMyTransferRecord& r) { r.state = SMyTransferRecord::EState(0); })));
    EXPECT_FALSE(Parses(damaged([](SMyTransferRecord& r) { r.localPath = "Downloads/x"; })));
    EXPECT_FALSE(Parses(damaged([](SMyTransferRecord& r) { r.localPath = std::string("/a\0b", 4); })));
    EXPECT_FALSE(Parses(damaged([](SMyTransferRecord& r) { r.serverName.clear(); })));
    EXPECT_FALSE(Parses(damaged([](SMyTransferRecord& r) { r.address.clear(); })));
    // A length past its field's limit, written by hand: the login's length byte says 32.
    std::string bytes = UMyTransferQueueFile::Format(records);
    const size_t loginAt = 8 + 3 + 2 + 8 + 1 + records[0].address.size();
    ASSERT_EQ(uint8_t(bytes[loginAt]), records[0].login.size());
    bytes[loginAt] = 32;
    EXPECT_FALSE(Parses(bytes));
}
