// File downloads and uploads through the whole client against the local server's transfer port: bytes
// arrive whole however the server writes them, cut transfers leave partial files that resume, empty
// files travel, queued and stopped transfers clean up after themselves, several run at once, and names
// from a server never reach outside the download folder.
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>

#include "client/core/UMyTransferSizes.h"
#include "client/transfers/CMyDoneTransferRow.h"
#include "client/transfers/CMyDownloadFileTask.h"
#include "client/transfers/CMyUploadFileTask.h"
#include "client/transfers/UMyUploadChooser.h"
#include "framework/files/UFileSys.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/runtime/SError.h"
#include "tests/client/transfers/TransferTestSupport.h"
#include "tools/testserver/CTestSocket.h"
#include "tools/testserver/ServerFields.h"

using namespace filestest;
using namespace transfertest;

namespace
{
class FileTransferTest : public ::testing::Test
{
protected:
    void SetUp() override { h.model.guestAccess = CServerModel::AllAccess(); }

    // Logs in and opens the folder Docs.
    void Begin()
    {
        docs = LoginAndOpenDocs(h);
        ASSERT_NE(docs, nullptr);
        mLocal = h.UserFolder() + "/local";
        mkdir(mLocal.c_str(), 0755);
    }

    std::string Downloads() const { return h.DownloadFolder(); }
    std::string Local(const std::string& name) const { return mLocal + "/" + name; }

    void Download(const std::string& name, uint16_t mods = 0)
    {
        Select(docs, name);
        h.Hit(docs, kHitFileDownload, 0, mods);
    }

    bool WaitDownloaded(const std::string& name, const std::string& bytes, uint32_t watchdogMs = 10000)
    {
        const std::string path = Downloads() + "/" + name;
        return h.WaitUntil([&] { return Exists(path) && !Exists(path + ".qpf"); }, "the download to complete",
                           watchdogMs) &&
               ReadFile(path) == bytes;
    }

    // Transfers that end unfinished leave rows that do no work (stopped, or waiting for the server).
    bool WaitNoTasks(const char* what = "the transfers to end")
    {
        return h.WaitUntil(
            [&]
            {
                for (CMyTask* task : h.App().Features().Tasks())
                    if (!task->IsParked()) return false;
                return true;
            },
            what);
    }

    // The rows kept for finished transfers of a local file of that name.
    size_t DoneRows(const std::string& name)
    {
        size_t count = 0;
        for (CMyTask* task : h.App().Features().Tasks())
            if (auto* done = dynamic_cast<CMyDoneTransferRow*>(task))
                if (done->LocalPath().size() > name.size() &&
                    done->LocalPath().compare(done->LocalPath().size() - name.size() - 1, std::string::npos,
                                              "/" + name) == 0)
                    ++count;
        return count;
    }
    bool FinishedDownloadWaits()
    {
        for (CMyTask* task : h.App().Features().Tasks())
            if (dynamic_cast<CMyDownloadFileTask*>(task) && task->mIsFinished) return true;
        return false;
    }

    CAppHarness h;
    CMyFolderWin* docs = nullptr;
    std::string mLocal;
};
} // namespace

TEST_F(FileTransferTest, ADownloadArrivesByteIdenticalInOneGoAndInOneByteWrites)
{
    const std::string big = Data(3 * 1024 * 1024 + 7, 1);
    const std::string small = Data(3000, 2);
    h.WriteSharedFile("Docs/big.bin", big);
    h.WriteSharedFile("Docs/small.txt", small);
    Begin();
    Download("big.bin");
    EXPECT_TRUE(HasRowWith(h, "Downloading \xD2"
                              "big.bin\xD3"));
    ASSERT_TRUE(WaitDownloaded("big.bin", big));
    const STestTransaction request = h.Requests(202).back();
    EXPECT_EQ(CAppHarness::Field(request, 201), "big.bin");
    EXPECT_EQ(CAppHarness::Field(request, 203), "");
    EXPECT_EQ(h.transfers.Last()->handshake.substr(8), std::string(8, '\0'));

    h.transfers.SetPieceSize(1);
    Download("small.txt");
    ASSERT_TRUE(WaitDownloaded("small.txt", small, 20000));
    EXPECT_TRUE(WaitNoTasks("the finished rows to be reaped"));
    EXPECT_GE(h.App().Features().Statistics().totalBytesDownloaded, big.size() + small.size());
    EXPECT_TRUE(h.boxes.empty());
}

TEST_F(FileTransferTest, ADownloadCutAfterNBytesKeepsThemInThePartialFileAndResumesToTheWholeFile)
{
    const std::string bytes = Data(200000, 3);
    h.WriteSharedFile("Docs/report.doc", bytes);
    Begin();
    const size_t n = 70001;
    h.transfers.SetCutAfter(FlatOverhead("report.doc") + n);
    Download("report.doc");
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(128); }, "the transfer-stopped box"));
    ASSERT_TRUE(WaitNoTasks("the cut download to end"));
    const std::string partial = Downloads() + "/report.doc.qpf";
    EXPECT_EQ(ReadFile(partial), bytes.substr(0, n));
    EXPECT_FALSE(Exists(Downloads() + "/report.doc"));

    // Started again, the resume question comes; Resume asks for the rest only.
    h.transfers.SetCutAfter(0);
    h.boxAnswers.push_back(1);
    Download("report.doc");
    EXPECT_TRUE(h.HasBox(133, "report.doc"));
    ASSERT_TRUE(WaitDownloaded("report.doc", bytes));
    const std::string record = CAppHarness::Field(h.Requests(202).back(), 203);
    ASSERT_EQ(record.size(), 58u);
    EXPECT_EQ(record.substr(0, 4), "RFLT");
    EXPECT_EQ(testwire::ReadBE32(record, 46), n);
    EXPECT_EQ(h.transfers.Last()->sent, FlatOverhead("report.doc") + bytes.size() - n);
}

TEST_F(FileTransferTest, StartOverDeletesThePartialFileAndAnExistingFileAsksWhereToSave)
{
    const std::string bytes = Data(5000, 4);
    h.WriteSharedFile("Docs/a.txt", bytes);
    Begin();
    mkdir(Downloads().c_str(), 0755);
    WritePartial(Downloads() + "/a.txt.qpf", "a.txt", "stale");
    h.boxAnswers.push_back(2);
    Download("a.txt");
    ASSERT_TRUE(WaitDownloaded("a.txt", bytes));
    EXPECT_FALSE(Exists(Downloads() + "/a.txt.qpf"));
    EXPECT_EQ(CAppHarness::Field(h.Requests(202).back(), 203), "");

    // The complete file is there now: the save dialog chooses another place, which is written.
    static std::string chosen;
    chosen = Local("copy.txt");
    UFileSys::SetDialogProcs(nullptr,
                             [](const uint8_t*, const uint8_t* prompt, const std::string&, std::string& out)
                             {
                                 EXPECT_EQ(CAppHarness::Str(prompt), "Save File As:");
                                 out = chosen;
                                 return true;
                             });
    Download("a.txt");
    UFileSys::SetDialogProcs(nullptr, nullptr);
    ASSERT_TRUE(h.WaitUntil([&] { return ReadFile(Local("copy.txt")) == bytes; }, "the copy elsewhere"));
    EXPECT_EQ(ReadFile(Downloads() + "/a.txt"), bytes);
}

TEST_F(FileTransferTest, EmptyFilesDownloadAndUpload)
{
    h.WriteSharedFile("Docs/empty.txt", "");
    Begin();
    Download("empty.txt");
    ASSERT_TRUE(WaitDownloaded("empty.txt", ""));

    WriteFile(Local("nothing.txt"), "");
    EXPECT_TRUE(DropFiles(h, docs, {Local("nothing.txt")}));
    ASSERT_TRUE(h.WaitUntil([&] { return h.SharedExists("Docs/nothing.txt"); }, "the empty upload"));
    EXPECT_EQ(ReadFile(h.SharedFolder() + "/Docs/nothing.txt"), "");
    // The empty file still travels as headers: the handshake announced them.
    const STestTransaction request = h.Requests(203).back();
    EXPECT_EQ(uint32_t(serverfields::Integer(CAppHarness::Field(request, 108))), FlatOverhead("nothing.txt"));
    EXPECT_TRUE(WaitNoTasks());
    EXPECT_TRUE(h.boxes.empty());
}

TEST_F(FileTransferTest, AnUploadResumesFromTheServersRecord)
{
    const std::string bytes = Data(300000, 5);
    h.WriteSharedFile("Docs/placeholder", "");
    Begin();
    WriteFile(Local("movie.mov"), bytes);
    // The server holds the first part, and the listing shows it as a partial file of that name.
    const size_t held = 123457;
    WriteFile(h.SharedFolder() + "/Docs/movie.mov.qpf", bytes.substr(0, held));
    h.App().DoFileRefresh(docs);
    ASSERT_TRUE(WaitIdle(h));
    ASSERT_TRUE(docs->View()->HasPartialFile(CAppHarness::P("movie.mov").data()));

    h.boxAnswers.push_back(1);
    EXPECT_TRUE(DropFiles(h, docs, {Local("movie.mov")}));
    EXPECT_TRUE(h.HasBox(134, "movie.mov"));
    ASSERT_TRUE(h.WaitUntil([&] { return h.SharedExists("Docs/movie.mov"); }, "the resumed upload"));
    EXPECT_EQ(ReadFile(h.SharedFolder() + "/Docs/movie.mov"), bytes);
    EXPECT_FALSE(h.SharedExists("Docs/movie.mov.qpf"));
    const STestTransaction request = h.Requests(203).back();
    EXPECT_EQ(CAppHarness::Field(request, 204), std::string("\0\1", 2));
    EXPECT_EQ(CAppHarness::Field(request, 108), "");
    // Only the rest went: the handshake announced the headers and the missing bytes.
    EXPECT_EQ(testwire::ReadBE32(h.transfers.Last()->handshake, 8),
              FlatOverhead("movie.mov") + bytes.size() - held);
    EXPECT_TRUE(WaitNoTasks());
}

TEST_F(FileTransferTest, AnUploadCutShortFailsSilentlyAfterTheTransferBoxAndOneFromTheDialogCompletes)
{
    // Large enough that the transport still holds some of it when the server cuts the connection.
    const std::string bytes = Data(16 * 1024 * 1024, 6);
    h.WriteSharedFile("Docs/placeholder", "");
    Begin();
    WriteFile(Local("up.bin"), bytes);
    h.transfers.SetCutAfter(1000);
    DropFiles(h, docs, {Local("up.bin")});
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(128); }, "the transfer-stopped box"));
    ASSERT_TRUE(WaitNoTasks());
    EXPECT_EQ(h.alert, "");
    EXPECT_FALSE(h.SharedExists("Docs/up.bin"));
    EXPECT_TRUE(h.SharedExists("Docs/up.bin.qpf"));

    h.transfers.SetCutAfter(0);
    UMyUploadChooser::SetChooser(
        [&](bool, const std::string&, std::vector<std::string>& out)
        {
            out = {Local("up.bin")};
            return true;
        });
    h.App().DoFileRefresh(docs);
    ASSERT_TRUE(WaitIdle(h));
    h.boxAnswers.push_back(2); // no resume: the question ends the command
    h.Hit(docs, kHitFileUpload);
    EXPECT_TRUE(h.HasBox(134, "up.bin"));
    EXPECT_TRUE(WaitNoTasks("no upload to start"));
    h.boxAnswers.push_back(1);
    h.Hit(docs, kHitFileUpload);
    UMyUploadChooser::SetChooser(nullptr);
    ASSERT_TRUE(h.WaitUntil([&] { return h.SharedExists("Docs/up.bin"); }, "the upload"));
    EXPECT_EQ(ReadFile(h.SharedFolder() + "/Docs/up.bin"), bytes);
}

TEST_F(FileTransferTest, TheServerClosingRightAfterTheLastByteStillGivesACompleteFile)
{
    // The whole stream and the close leave the server in one write: the client sees the close with the
    // bytes still waiting.
    const std::string bytes = Data(100000, 7);
    h.WriteSharedFile("Docs/quick.bin", bytes);
    Begin();
    Download("quick.bin");
    ASSERT_TRUE(h.WaitUntil([&] { return h.transfers.Last() && h.transfers.Last()->finished; },
                            "the server to send and close"));
    ASSERT_TRUE(WaitDownloaded("quick.bin", bytes));
    EXPECT_FALSE(h.HasBox(128));

    // A server that waits instead is closed on by the client once the announced size arrived.
    h.transfers.SetCloseAtEnd(false);
    std::remove((Downloads() + "/quick.bin").c_str());
    Download("quick.bin");
    ASSERT_TRUE(WaitDownloaded("quick.bin", bytes));
    EXPECT_TRUE(h.WaitUntil([&] { return !h.transfers.Last()->socket->IsOpen(); }, "the client's close"));
    EXPECT_FALSE(h.HasBox(128));
}

TEST_F(FileTransferTest, ADownloadStartedTheMomentTheOneBeforeArrivedGetsItsConnection)
{
    // The second download is asked for while the first one's finished row still waits to be reaped, with
    // and without the queue, against servers that close at the end and servers that wait for the client.
    const std::string first = Data(300000, 21), second = Data(5000, 22);
    h.WriteSharedFile("Docs/first.bin", first);
    h.WriteSharedFile("Docs/second.bin", second);
    Begin();
    for (int round = 0; round < 16; ++round)
    {
        SCOPED_TRACE("round " + std::to_string(round));
        if (round == 8)
        {
            // The server by its name: every transfer connection looks the name up first.
            const auto byName = CAppHarness::P("localhost:" + std::to_string(h.server.Port()));
            h.App().Features().Session().SetAddress(byName.data() + 1, byName[0]);
        }
        h.transfers.SetCloseAtEnd(round % 2 == 0);
        h.App().Features().Settings().queueTransfers = round % 4 >= 2;
        std::remove((Downloads() + "/first.bin").c_str());
        std::remove((Downloads() + "/second.bin").c_str());
        const size_t doneBefore = DoneRows("first.bin");
        Download("first.bin");
        bool doneTooSoon = false;
        const std::string firstPath = Downloads() + "/first.bin";
        ASSERT_TRUE(h.WaitUntil(
            [&]
            {
                const bool arrived = Exists(firstPath) && !Exists(firstPath + ".qpf");
                if (!arrived && DoneRows("first.bin") > doneBefore) doneTooSoon = true;
                return arrived;
            },
            "the first download to complete"));
        ASSERT_EQ(ReadFile(firstPath), first);
        EXPECT_FALSE(doneTooSoon) << "the first row was marked done before its file was complete";
        EXPECT_EQ(DoneRows("first.bin"), doneBefore + 1) << "the first row was not marked done at its end";
        // What this test is about: the second is asked for while the first's own task, finished, still
        // waits to be reaped.
        ASSERT_TRUE(FinishedDownloadWaits()) << "the first task went too soon to test this";
        Download("second.bin");
        ASSERT_TRUE(WaitDownloaded("second.bin", second));
        ASSERT_TRUE(WaitNoTasks());
    }
    EXPECT_TRUE(h.boxes.empty());
}

TEST_F(FileTransferTest, AStreamShortOfWhatItsHeadersAnnounceFailsAndNeverBecomesAFile)
{
    const std::string bytes = Data(5000, 23);
    h.WriteSharedFile("Docs/lie.txt", bytes);
    Begin();
    struct SLie
    {
        const char* what;
        int64_t announced;
        bool noFields;
    };
    for (const SLie& lie : {SLie{"100 bytes of 5137 announced", 100, false},
                            SLie{"a 6-byte stream", 6, false}, SLie{"a reply without fields", -1, true}})
    {
        SCOPED_TRACE(lie.what);
        h.transfers.SetAnnouncedSize(lie.announced);
        h.transfers.SetEmptyDownloadReply(lie.noFields);
        h.alert.clear();
        Download("lie.txt");
        ASSERT_TRUE(WaitNoTasks("the lying download to end"));
        EXPECT_FALSE(Exists(Downloads() + "/lie.txt")) << "a short stream became a complete file";
        EXPECT_TRUE(h.alert.find("1/9") != std::string::npos || h.HasBox(128)) << "the failure is told";
    }
    // Told the truth, the next try is not blocked by what the lies left behind.
    h.transfers.SetAnnouncedSize(-1);
    h.transfers.SetEmptyDownloadReply(false);
    Download("lie.txt");
    ASSERT_TRUE(WaitDownloaded("lie.txt", bytes));
}

TEST_F(FileTransferTest, AStreamCutShortAfterItsDataBeganKeepsThePartialFileAndSaysSo)
{
    const std::string bytes = Data(5000, 25);
    h.WriteSharedFile("Docs/half.txt", bytes);
    Begin();
    // The reply announces the stream without the last 1000 bytes of data: the partial file keeps what
    // came and the download resumes from it.
    h.transfers.SetAnnouncedSize(int64_t(FlatOverhead("half.txt") + 4000));
    Download("half.txt");
    ASSERT_TRUE(WaitNoTasks("the short download to end"));
    EXPECT_NE(h.alert.find("1/9"), std::string::npos);
    EXPECT_EQ(ReadFile(Downloads() + "/half.txt.qpf"), bytes.substr(0, 4000));
    h.transfers.SetAnnouncedSize(-1);
    h.boxAnswers.push_back(1);
    Download("half.txt");
    EXPECT_TRUE(h.HasBox(133, "half.txt"));
    ASSERT_TRUE(WaitDownloaded("half.txt", bytes));
}

TEST_F(FileTransferTest, AServersOwnQpfFileDownloadsAsItselfAndIsNeverResumedAsAnother)
{
    const std::string partialLooking = Data(3000, 26), plain = Data(7000, 27);
    h.WriteSharedFile("Docs/x.qpf", partialLooking);
    h.WriteSharedFile("Docs/x", plain);
    Begin();
    // This server lists its own partial files under the name they will have; another lists them as
    // they are.
    docs->View()->AddItem(FourCC("QVft"), FourCC("QVLC"), 3000, CAppHarness::P("x.qpf").data());
    Download("x.qpf");
    ASSERT_TRUE(h.WaitUntil([&] { return ReadFile(Downloads() + "/x.qpf") == partialLooking; }, "x.qpf"));
    ASSERT_TRUE(WaitNoTasks());
    // "x.qpf" is a whole file of its own: no resume question, and "x" arrives whole beside it.
    Download("x");
    EXPECT_FALSE(h.HasBox(133));
    ASSERT_TRUE(h.WaitUntil([&] { return ReadFile(Downloads() + "/x") == plain; }, "x"));
    ASSERT_TRUE(WaitNoTasks());
    EXPECT_EQ(ReadFile(Downloads() + "/x.qpf"), partialLooking);
    EXPECT_EQ(CAppHarness::Field(h.Requests(202).back(), 203), "") << "nothing was resumed";

    // Stopped halfway, "x" is resumed from its own partial file, never from "x.qpf".
    std::remove((Downloads() + "/x").c_str());
    h.transfers.SetCutAfter(FlatOverhead("x") + 2000);
    Download("x");
    ASSERT_TRUE(WaitNoTasks("the cut download to end"));
    h.transfers.SetCutAfter(0);
    h.boxAnswers.push_back(1);
    Download("x");
    EXPECT_TRUE(h.HasBox(133, "x"));
    ASSERT_TRUE(h.WaitUntil([&] { return ReadFile(Downloads() + "/x") == plain; }, "the resumed x"));
    EXPECT_EQ(ReadFile(Downloads() + "/x.qpf"), partialLooking);
}

TEST_F(FileTransferTest, ControlCharactersAndOverlongNamesFromTheServerAreMappedOneWay)
{
    // A terminal listing the download folder would act on these.
    const std::string hostile = std::string("a\x1b[2Jb\r\n\x01\x7F") + ".txt";
    h.WriteSharedFile("Docs/" + hostile, "ctl");
    // The longest legal names: cut so that "NAME.qpf" fits the disk, and kept so when complete.
    std::vector<std::string> longNames;
    for (size_t n = 252; n <= 255; ++n)
    {
        longNames.push_back(char('a' + n - 252) + std::string(n - 1, 'x'));
        h.WriteSharedFile("Docs/" + longNames.back(), std::to_string(n));
    }
    Begin();
    Download(hostile);
    ASSERT_TRUE(WaitDownloaded("a-[2Jb----.txt", "ctl"));
    for (size_t i = 0; i < longNames.size(); ++i)
    {
        Download(longNames[i]);
        ASSERT_TRUE(WaitDownloaded(longNames[i].substr(0, 251), std::to_string(252 + i)));
    }
    EXPECT_TRUE(WaitNoTasks());
    EXPECT_TRUE(h.alert.empty()) << h.alert;
}

TEST_F(FileTransferTest, AnUploadTheServerResetsAfterEveryByteWasHandedOverFailsAndResumes)
{
    // Small enough that the socket takes all of it at once: only the server's close tells how it ended.
    const std::string bytes = Data(100000, 28);
    h.WriteSharedFile("Docs/placeholder", "");
    Begin();
    WriteFile(Local("small.bin"), bytes);
    h.transfers.SetCutAfter(1000);
    DropFiles(h, docs, {Local("small.bin")});
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(128); }, "the transfer-stopped box"));
    ASSERT_TRUE(WaitNoTasks());
    EXPECT_FALSE(h.SharedExists("Docs/small.bin"));
    ASSERT_TRUE(h.SharedExists("Docs/small.bin.qpf"));

    h.transfers.SetCutAfter(0);
    h.App().DoFileRefresh(docs);
    ASSERT_TRUE(WaitIdle(h));
    h.boxAnswers.push_back(1);
    EXPECT_TRUE(DropFiles(h, docs, {Local("small.bin")}));
    EXPECT_TRUE(h.HasBox(134, "small.bin"));
    ASSERT_TRUE(h.WaitUntil([&] { return h.SharedExists("Docs/small.bin"); }, "the resumed upload"));
    EXPECT_EQ(ReadFile(h.SharedFolder() + "/Docs/small.bin"), bytes);
}

TEST_F(FileTransferTest, StoppingAQueuedDownloadDeletesItsEmptyPartialAndARunningOneKeepsItsData)
{
    const std::string big = Data(2 * 1024 * 1024, 8);
    h.WriteSharedFile("Docs/slow.bin", big);
    h.WriteSharedFile("Docs/next.bin", Data(1000, 9));
    Begin();
    h.transfers.SetPieceSize(512);
    Download("slow.bin");
    ASSERT_TRUE(h.WaitUntil([&] { return ReadFile(Downloads() + "/slow.bin.qpf").size() > 1000; },
                            "the first bytes"));
    // Shift queues the second one behind the first.
    Download("next.bin", kModShift);
    EXPECT_TRUE(HasRowWith(h, "Downloading \xD2next.bin\xD3 (queued)"));
    EXPECT_TRUE(Exists(Downloads() + "/next.bin.qpf"));
    ASSERT_TRUE(SelectTaskRow(h, "next.bin"));
    h.Hit(h.App().Features().Windows().Tasks(), kHitStopTask);
    EXPECT_TRUE(HasRowWith(h, "Downloading \xD2next.bin\xD3 \xD1 Stopped"));
    EXPECT_FALSE(Exists(Downloads() + "/next.bin.qpf"));

    ASSERT_TRUE(SelectTaskRow(h, "slow.bin"));
    h.Hit(h.App().Features().Windows().Tasks(), kHitStopTask);
    EXPECT_TRUE(WaitNoTasks());
    const std::string kept = ReadFile(Downloads() + "/slow.bin.qpf");
    EXPECT_GT(kept.size(), 0u);
    EXPECT_EQ(kept, big.substr(0, kept.size()));
    EXPECT_FALSE(h.HasBox(128));
}

TEST_F(FileTransferTest, AQueuedDownloadWaitsItsTurnAndStartStartsItAtOnce)
{
    h.WriteSharedFile("Docs/slow.bin", Data(4 * 1024 * 1024, 10));
    h.WriteSharedFile("Docs/later.bin", Data(4000, 11));
    Begin();
    h.transfers.SetPieceSize(256);
    Download("slow.bin");
    h.App().Features().Settings().queueTransfers = 1;
    Download("later.bin");
    h.Pump();
    EXPECT_EQ(h.Requests(202).size(), 1u);
    ASSERT_TRUE(SelectTaskRow(h, "later.bin"));
    h.Hit(h.App().Features().Windows().Tasks(), kHitStartTask);
    ASSERT_TRUE(WaitDownloaded("later.bin", Data(4000, 11)));
    // It went ahead of the one it was queued behind.
    EXPECT_FALSE(Exists(Downloads() + "/slow.bin"));
}

TEST_F(FileTransferTest, TwoDownloadsAndAnUploadAtOnceAllCompleteByteIdentical)
{
    const std::string one = Data(1500000, 12), two = Data(900001, 13), up = Data(1200003, 14);
    h.WriteSharedFile("Docs/one.bin", one);
    h.WriteSharedFile("Docs/two.bin", two);
    Begin();
    h.transfers.SetPieceSize(8192);
    WriteFile(Local("up.bin"), up);
    Download("one.bin");
    Download("two.bin");
    DropFiles(h, docs, {Local("up.bin")});
    ASSERT_TRUE(
        h.WaitUntil([&] { return h.transfers.Connections().size() == 3; }, "three transfer connections"));
    ASSERT_TRUE(WaitDownloaded("one.bin", one, 30000));
    ASSERT_TRUE(WaitDownloaded("two.bin", two, 30000));
    ASSERT_TRUE(h.WaitUntil([&] { return h.SharedExists("Docs/up.bin"); }, "the upload", 30000));
    EXPECT_EQ(ReadFile(h.SharedFolder() + "/Docs/up.bin"), up);
    EXPECT_TRUE(WaitNoTasks());
    // The folder window shows what arrived.
    EXPECT_TRUE(HasRow(docs, "up.bin"));
    EXPECT_TRUE(h.boxes.empty());
}

TEST_F(FileTransferTest, AHostileNameNeverWritesOutsideTheDownloadFolder)
{
    h.WriteSharedFile("Docs/placeholder", "");
    Begin();
    // A listing that claims an item climbing out of the folder.
    docs->View()->AddItem(FourCC("TEXT"), FourCC("ttxt"), 10, CAppHarness::P("../../escape.txt").data());
    Download("../../escape.txt");
    ASSERT_TRUE(WaitNoTasks("the refused download to end"));
    EXPECT_FALSE(Exists(h.DownloadFolder() + "/escape.txt"));
    EXPECT_FALSE(Exists(h.DownloadFolder() + "/../escape.txt"));
    EXPECT_FALSE(Exists(h.DownloadFolder() + "/escape.txt.qpf"));
    // Whatever the name became, it stayed in the download folder, and nothing that got no data stays.
    EXPECT_EQ(h.Requests(202).size(), 1u);
    for (const std::string& row : h.TaskRows())
        ADD_FAILURE() << row;

    // A drag out to a local folder maps the name the same way.
    TFileSysRefObj* folder = UFileSys::NewFromNativePath(mLocal.c_str(), uint32_t(mLocal.size()));
    h.App().Features().Transfers().DownloadFileTo(nullptr, 0, CAppHarness::P("../escape.txt").data(), folder);
    UFileSys::Dispose(folder);
    ASSERT_TRUE(WaitNoTasks("the refused drag-out download to end"));
    EXPECT_FALSE(Exists(h.DownloadFolder() + "/escape.txt"));
    EXPECT_FALSE(Exists(h.DownloadFolder() + "/escape.txt.qpf"));
}

TEST_F(FileTransferTest, AFileOf4GiBIsRefusedBeforeAnythingIsSentNamingIt)
{
    h.WriteSharedFile("Docs/placeholder", "");
    Begin();
    // Sparse: it takes no room on the disk.
    const std::string huge = Local("huge.iso");
    WriteFile(huge, "");
    ASSERT_EQ(truncate(huge.c_str(), off_t(4) << 30), 0);
    DropFiles(h, docs, {huge});
    EXPECT_TRUE(h.HasBoxTitled("Upload",
                               "\xD2huge.iso\xD3 is 4 GB or larger.  Files that large cannot be uploaded."));
    EXPECT_TRUE(h.Requests(203).empty());
    EXPECT_FALSE(HasRowWith(h, "Uploading"));
}

TEST(TransferSizesTest, AnAnnouncedSizeBeyond32BitsIsRefusedAndAWideFieldThatFitsIsRead)
{
    StFieldData reply;
    const uint8_t huge[8] = {0, 0, 0, 1, 0, 0, 0, 5};
    UFieldData::AddField(reply, kFieldTransferSize, huge, sizeof(huge));
    try
    {
        UMyTransferSizes::GetTransferSize(reply);
        ADD_FAILURE() << "a size of 4 GiB and more was taken";
    }
    catch (const SError& e)
    {
        EXPECT_EQ(e.type, kErrTypeGeneral);
        EXPECT_EQ(e.id, 10);
    }
    StFieldData wide;
    const uint8_t fits[8] = {0, 0, 0, 0, 0x12, 0x34, 0x56, 0x78};
    UFieldData::AddField(wide, kFieldTransferSize, fits, sizeof(fits));
    EXPECT_EQ(UMyTransferSizes::GetTransferSize(wide), 0x12345678u);
    StFieldData none;
    EXPECT_EQ(UMyTransferSizes::GetTransferSize(none), 0u);
}
