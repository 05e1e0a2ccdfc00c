// The limits on transfers through the whole client, on the clock the test holds: a download and an upload
// move at the speed limit within 5 % over ten seconds and go on at full speed the moment the limit is
// lifted; transfers past the number at once wait in the queue and start in order as others end.
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

#include "client/core/CMyTransferLimits.h"
#include "client/transfers/CMyTransferTask.h"
#include "framework/runtime/UClock.h"
#include "tests/client/transfers/TransferTestSupport.h"

using namespace filestest;
using namespace transfertest;

namespace
{
class TransferLimitsTest : public ::testing::Test
{
protected:
    void SetUp() override { h.model.guestAccess = CServerModel::AllAccess(); }

    CMyTransferTask* Running() const
    {
        for (CMyTask* task : h.App().Features().Tasks())
            if (task->IsTransfer() && !task->IsParked() && !task->mIsFinished)
                return static_cast<CMyTransferTask*>(task);
        return nullptr;
    }
    void SetLimits(uint32_t down, uint32_t up, uint32_t atOnce)
    {
        h.App().Features().Settings().downloadLimit = down;
        h.App().Features().Settings().uploadLimit = up;
        h.App().Features().Settings().transfersAtOnce = atOnce;
        h.App().Features().Tasks().TransferLimits().SetFrom(h.App().Features().Settings());
    }
    // Ten seconds of the clock in steps of 100 ms, each taken up to the limit: the transfer has used what
    // the limit allowed when it waits for the limit's wake-up again. The bytes it moved meanwhile.
    uint64_t TenSeconds(CMyTransferTask* task)
    {
        const uint64_t before = task->GetDoneSize();
        for (int step = 0; step < 100; ++step)
        {
            UClock::Advance(100);
            if (!h.WaitUntil([&] { return h.App().Features().Tasks().TransferLimits().IsHoldingBack(); },
                             "the limit's share taken"))
                break;
        }
        return task->GetDoneSize() - before;
    }

    CAppHarness h;
    CMyFolderWin* docs = nullptr;
};
} // namespace

TEST_F(TransferLimitsTest, DownloadAndUploadHoldTheirLimitWithinFivePerCentAndGoOnAtOnceWhenItIsLifted)
{
    const std::string bytes = Data(3 * 1024 * 1024, 11);
    h.WriteSharedFile("Docs/big.bin", bytes);
    docs = LoginAndOpenDocs(h);
    ASSERT_NE(docs, nullptr);
    StClockInHand clock;
    SetLimits(100, 150, 0);

    Select(docs, "big.bin");
    h.Hit(docs, kHitFileDownload);
    ASSERT_TRUE(h.WaitUntil(
        [&]
        {
            return Running() && Running()->GetDoneSize() > 0 &&
                   h.App().Features().Tasks().TransferLimits().IsHoldingBack();
        },
        "the download under way and held back"));
    CMyTransferTask* download = Running();
    const uint64_t moved = TenSeconds(download);
    EXPECT_NEAR(double(moved), 100.0 * 1024 * 10, 100.0 * 1024 * 10 * 0.05);
    // Lifted, the rest comes at once, whole.
    SetLimits(0, 150, 0);
    ASSERT_TRUE(
        h.WaitUntil([&] { return Exists(h.DownloadFolder() + "/big.bin"); }, "the rest of the download"));
    EXPECT_EQ(ReadFile(h.DownloadFolder() + "/big.bin"), bytes);

    // The upload limit is the upload's own.
    const std::string local = h.UserFolder() + "/up.bin";
    WriteFile(local, bytes);
    ASSERT_TRUE(DropFiles(h, docs, {local}));
    ASSERT_TRUE(h.WaitUntil(
        [&]
        {
            return Running() && Running()->GetDoneSize() > 0 &&
                   h.App().Features().Tasks().TransferLimits().IsHoldingBack();
        },
        "the upload under way and held back"));
    const uint64_t sent = TenSeconds(Running());
    EXPECT_NEAR(double(sent), 150.0 * 1024 * 10, 150.0 * 1024 * 10 * 0.05);
    SetLimits(0, 0, 0);
    ASSERT_TRUE(h.WaitUntil([&] { return h.SharedExists("Docs/up.bin"); }, "the rest of the upload", 20000));
    EXPECT_EQ(ReadFile(h.SharedFolder() + "/Docs/up.bin"), bytes);
}

TEST_F(TransferLimitsTest, TransfersPastTheNumberAtOnceWaitInTheQueueAndStartInOrder)
{
    std::vector<std::string> files;
    for (int i = 0; i < 3; ++i)
    {
        files.push_back(Data(300000, 20 + uint32_t(i)));
        h.WriteSharedFile("Docs/f" + std::to_string(i) + ".bin", files.back());
    }
    docs = LoginAndOpenDocs(h);
    ASSERT_NE(docs, nullptr);
    SetLimits(0, 0, 1);
    h.transfers.SetPieceSize(4096);
    for (int i = 0; i < 3; ++i)
    {
        Select(docs, "f" + std::to_string(i) + ".bin");
        h.Hit(docs, kHitFileDownload);
    }
    ASSERT_TRUE(h.WaitUntil([&] { return h.transfers.Last() && h.transfers.Last()->sent > 0; },
                            "the first transfer"));
    EXPECT_EQ(h.Requests(202).size(), 1u) << "only one transfer asks the server";
    EXPECT_TRUE(HasRowWith(h, "f1.bin\xD3 (queued)"));
    EXPECT_TRUE(HasRowWith(h, "f2.bin\xD3 (queued)"));
    // Each one starts as the one before it ends, never two at once.
    size_t most = 0;
    ASSERT_TRUE(h.WaitUntil(
        [&]
        {
            size_t open = 0;
            for (const auto& c : h.transfers.Connections())
                open += !c->finished && !c->clientClosed;
            most = std::max(most, open);
            return Exists(h.DownloadFolder() + "/f2.bin");
        },
        "the three downloads", 20000));
    EXPECT_LE(most, 1u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ReadFile(h.DownloadFolder() + "/f" + std::to_string(i) + ".bin"), files[size_t(i)]) << i;
    EXPECT_NE(h.transfers.Connections()[1]->job.path.find("f1.bin"), std::string::npos);
}

TEST_F(TransferLimitsTest, SmallFilesOfAFolderHeldBackByTheLimitAppearOnlyWhole)
{
    // Each file's stream is in hand as soon as its size is, but the limit lets it into the file over
    // several steps: meanwhile the file is nowhere to be seen, not even as a partial file.
    std::map<std::string, std::string> files;
    for (int i = 0; i < 4; ++i)
    {
        const std::string name = "Tree/f" + std::to_string(i) + ".txt";
        files[name] = Data(30000, 40 + uint32_t(i));
        h.WriteSharedFile(name, files[name]);
    }
    h.WriteSharedFile("Docs/");
    docs = LoginAndOpenDocs(h);
    ASSERT_NE(docs, nullptr);
    StClockInHand clock;
    SetLimits(50, 0, 0);
    const std::string downloads = h.DownloadFolder();
    std::filesystem::create_directories(downloads);
    StFileSysRef parent(UFileSys::NewFromNativePath(downloads.data(), uint32_t(downloads.size())));
    ASSERT_NE(h.App().Features().Transfers().DownloadFolder(nullptr, 0, CAppHarness::P("Tree").data(),
                                                            parent.Get(), false),
              nullptr);
    std::string seenHalf;
    bool seenPartial = false;
    auto look = [&]
    {
        size_t whole = 0;
        for (const auto& [name, bytes] : files)
        {
            const std::string path = downloads + "/" + name;
            seenPartial = seenPartial || Exists(path + ".qpf");
            if (!Exists(path)) continue;
            if (ReadFile(path) != bytes) seenHalf = name;
            ++whole;
        }
        return whole;
    };
    // 120 KB at 50 KB/s: about two and a half seconds of the clock, in steps of 100 ms.
    for (int step = 0; step < 100 && look() < files.size(); ++step)
    {
        UClock::Advance(100);
        if (!h.WaitUntil(
                [&] {
                    return h.App().Features().Tasks().TransferLimits().IsHoldingBack() ||
                           look() == files.size();
                },
                "the limit's share taken"))
            break;
    }
    EXPECT_EQ(look(), files.size()) << "the folder download stalled under the limit";
    EXPECT_EQ(seenHalf, "") << "a file showed before it was whole";
    EXPECT_FALSE(seenPartial);
}
