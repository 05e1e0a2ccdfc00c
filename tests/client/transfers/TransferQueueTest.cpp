// The queue of transfers people leave running: a stopped download resumes from its partial file with no
// trip through the folder window and its bar shows the whole file; a transfer cut off by a lost session
// waits for that server and resumes after the reconnect; the queue file brings transfers back at the
// next start for that server and login only; a damaged queue file is put aside once; and the real client
// killed in the middle of three downloads finishes all three when it starts again.
#include <QCoreApplication>
#include <QProcess>
#include <algorithm>
#include <gtest/gtest.h>

#include "client/core/UMyTransferQueueFile.h"
#include "client/tasks/CMyTaskRows.h"
#include "client/transfers/CMyCutTransferBox.h"
#include "client/transfers/CMyTransferQueue.h"
#include "framework/runtime/UClock.h"
#include "tests/client/transfers/TransferTestSupport.h"
#include "tests/support/RunLoopWait.h"

using namespace filestest;
using namespace transfertest;

namespace
{
const char kStopped[] = " \xD1 Stopped";
const char kWaiting[] = " \xD1 waiting for ";

class TransferQueueTest : public ::testing::Test
{
protected:
    void SetUp() override { h.model.guestAccess = CServerModel::AllAccess(); }

    std::string Downloads() const { return h.DownloadFolder(); }
    std::string QueueFile() const { return h.UserFolder() + "/Transfers"; }

    void Download(const std::string& name)
    {
        Select(docs, name);
        h.Hit(docs, kHitFileDownload);
    }
    void HitTasks(uint32_t id, const std::string& row)
    {
        ASSERT_TRUE(SelectTaskRow(h, row));
        h.Hit(h.App().Features().Windows().Tasks(), id);
    }
    bool WaitPartial(const std::string& name, size_t atLeast)
    {
        return h.WaitUntil([&] { return ReadFile(Downloads() + "/" + name + ".qpf").size() > atLeast; },
                           "the first bytes");
    }
    bool WaitDownloaded(const std::string& name, const std::string& bytes)
    {
        const std::string path = Downloads() + "/" + name;
        return h.WaitUntil([&] { return Exists(path) && !Exists(path + ".qpf"); }, "the download to complete",
                           20000) &&
               ReadFile(path) == bytes;
    }
    std::vector<SMyTransferRecord> FileRecords() const
    {
        const std::string bytes = ReadFile(QueueFile());
        std::vector<SMyTransferRecord> records;
        EXPECT_TRUE(UMyTransferQueueFile::Parse(bytes.data(), uint32_t(bytes.size()), records));
        return records;
    }
    // A record of this test's server as the client would write it.
    SMyTransferRecord Record(const std::string& name, const std::string& login = "") const
    {
        SMyTransferRecord r;
        r.kind = SMyTransferRecord::kDownloadFile;
        r.state = SMyTransferRecord::kRunning;
        r.address = h.Address();
        r.port = h.server.Port();
        r.login = login;
        r.serverName = name;
        const std::string docsPath = std::string("\x00\x01\x00\x00\x04"
                                                 "Docs",
                                                 9);
        r.serverPath.assign(docsPath.begin(), docsPath.end());
        r.localPath = Downloads() + "/" + name;
        return r;
    }
    void WriteQueue(const std::vector<SMyTransferRecord>& records)
    {
        mkdir(h.UserFolder().c_str(), 0755);
        mkdir(Downloads().c_str(), 0755);
        WriteFile(QueueFile(), UMyTransferQueueFile::Format(records));
    }
    // Every row, for the messages of failed checks.
    std::string AllRows() const
    {
        std::string all;
        for (const std::string& row : h.TaskRows())
            all += "[" + row + "] ";
        return all;
    }
    size_t RowsWith(const std::string& part) const
    {
        size_t n = 0;
        for (const std::string& row : h.TaskRows())
            n += row.find(part) != std::string::npos;
        return n;
    }
    // The tasks window's row holding `part`: its bar.
    const SMyTaskNameInfo* Row(const std::string& part) const
    {
        const CMyTaskRows& rows = h.App().Features().Windows().Tasks()->View()->Model();
        const std::vector<std::string> texts = h.TaskRows();
        for (size_t i = 0; i < texts.size(); ++i)
            if (texts[i].find(part) != std::string::npos) return rows.GetRow(uint32_t(i + 1));
        return nullptr;
    }

    CAppHarness h;
    CMyFolderWin* docs = nullptr;
};
} // namespace

TEST_F(TransferQueueTest, StopKeepsAStoppedRowAndStartResumesTheWholeFileWithTheBarOnTheWhole)
{
    const std::string bytes = Data(3 * 1024 * 1024, 21);
    h.WriteSharedFile("Docs/movie.bin", bytes);
    docs = LoginAndOpenDocs(h);
    ASSERT_NE(docs, nullptr);
    h.transfers.SetPieceSize(4096);
    Download("movie.bin");
    ASSERT_TRUE(WaitPartial("movie.bin", 100000));
    HitTasks(kHitStopTask, "movie.bin");
    const std::string kept = ReadFile(Downloads() + "/movie.bin.qpf");
    ASSERT_GT(kept.size(), 100000u);
    EXPECT_EQ(kept, bytes.substr(0, kept.size()));
    EXPECT_EQ(RowWith(h, "movie.bin"), "Downloading \xD2movie.bin\xD3" + std::string(kStopped)) << AllRows();
    ASSERT_EQ(FileRecords().size(), 1u);
    EXPECT_EQ(FileRecords()[0].state, SMyTransferRecord::kStopped);
    EXPECT_EQ(FileRecords()[0].localPath, Downloads() + "/movie.bin");

    // Start resumes from the partial file: the folder window is not asked again, only the rest comes,
    // and the bar counts from what was there.
    const size_t requestsBefore = h.Requests(202).size();
    h.transfers.SetPieceSize(1024);
    HitTasks(kHitStartTask, "movie.bin");
    ASSERT_TRUE(h.WaitUntil([&] { return Row("movie.bin") && Row("movie.bin")->progMax > 10; }, "the bar"));
    const SMyTaskNameInfo* row = Row("movie.bin");
    EXPECT_GE(row->progMax, bytes.size());
    EXPECT_GE(row->progVal, kept.size());
    h.transfers.SetPieceSize(0);
    ASSERT_TRUE(WaitDownloaded("movie.bin", bytes));
    ASSERT_EQ(h.Requests(202).size(), requestsBefore + 1);
    EXPECT_EQ(CAppHarness::Field(h.Requests(202).back(), 203).size(), 58u);
    EXPECT_EQ(h.transfers.Last()->sent, FlatOverhead("movie.bin") + bytes.size() - kept.size());
    EXPECT_TRUE(h.WaitUntil([&] { return FileRecords().empty(); }, "the queue to forget it"));
}

TEST_F(TransferQueueTest, StopOnAStoppedRowRemovesItAndDeletesThePartialFileOnlyWhenAsked)
{
    h.WriteSharedFile("Docs/a.bin", Data(2 * 1024 * 1024, 22));
    h.WriteSharedFile("Docs/b.bin", Data(2 * 1024 * 1024, 23));
    docs = LoginAndOpenDocs(h);
    ASSERT_NE(docs, nullptr);
    h.transfers.SetPieceSize(2048);
    Download("a.bin");
    Download("b.bin");
    ASSERT_TRUE(WaitPartial("a.bin", 10000));
    ASSERT_TRUE(WaitPartial("b.bin", 10000));
    HitTasks(kHitStopTask, "a.bin");
    HitTasks(kHitStopTask, "b.bin");
    ASSERT_EQ(RowsWith(kStopped), 2u) << AllRows();

    std::vector<std::string> asked;
    CMyTransferQueue::ERemove answer = CMyTransferQueue::ERemove::Cancel;
    h.App().Features().Transfers().SetAskRemove(
        [&](const uint8_t* name)
        {
            asked.push_back(CAppHarness::Str(name));
            return answer;
        });
    HitTasks(kHitStopTask, "a.bin");
    EXPECT_EQ(RowsWith(kStopped), 2u) << "Cancel keeps the row";
    answer = CMyTransferQueue::ERemove::KeepFile;
    HitTasks(kHitStopTask, "a.bin");
    answer = CMyTransferQueue::ERemove::DeleteFile;
    HitTasks(kHitStopTask, "b.bin");
    EXPECT_EQ(asked, (std::vector<std::string>{"a.bin", "a.bin", "b.bin"}));
    EXPECT_EQ(RowsWith(kStopped), 0u) << AllRows();
    EXPECT_TRUE(Exists(Downloads() + "/a.bin.qpf"));
    EXPECT_FALSE(Exists(Downloads() + "/b.bin.qpf"));
    EXPECT_TRUE(FileRecords().empty());
}

TEST_F(TransferQueueTest, ADownloadCutByALostSessionWaitsAndResumesAfterTheReconnectByteIdentical)
{
    const std::string bytes = Data(2 * 1024 * 1024 + 3, 24);
    h.WriteSharedFile("Docs/half.bin", bytes);
    docs = LoginAndOpenDocs(h);
    ASSERT_NE(docs, nullptr);
    const uint16_t port = h.server.Port();
    h.transfers.SetPieceSize(2048);
    Download("half.bin");
    ASSERT_TRUE(WaitPartial("half.bin", 20000));

    const std::string address = h.Address(); // the server that goes has no port to tell
    StClockInHand clock;
    h.server.StopListening();
    h.server.CloseConnection();
    ASSERT_TRUE(h.WaitUntil([&] { return HasRowWith(h, kWaiting + address); }, "the waiting row"))
        << AllRows();
    EXPECT_TRUE(HasRowWith(h, "Downloading \xD2half.bin\xD3" + std::string(kWaiting)));
    ASSERT_EQ(FileRecords().size(), 1u);
    EXPECT_EQ(FileRecords()[0].state, SMyTransferRecord::kWaiting);
    EXPECT_FALSE(h.HasBox(128)) << "a transfer that waits for its server is no failure to tell";
    const size_t kept = ReadFile(Downloads() + "/half.bin.qpf").size();

    h.transfers.SetPieceSize(0);
    ASSERT_TRUE(h.server.Listen(port));
    UClock::Advance(2400);
    ASSERT_TRUE(h.WaitUntil([&] { return h.App().Features().Session().IsLoggedIn(); }, "the reconnect"));
    ASSERT_TRUE(WaitDownloaded("half.bin", bytes));
    EXPECT_EQ(CAppHarness::Field(h.Requests(202).back(), 203).size(), 58u);
    EXPECT_EQ(h.transfers.Last()->sent, FlatOverhead("half.bin") + bytes.size() - kept);
}

// A killed server closes the transfer and the transaction connection in no fixed order. With the
// transfer's end seen first, box 128 came up although the reconnect resumed the download by itself.
TEST_F(TransferQueueTest, ATransferCutJustBeforeItsSessionIsLostOpensNoBoxAndResumes)
{
    const std::string bytes = Data(300000, 31);
    h.WriteSharedFile("Docs/cut.bin", bytes);
    docs = LoginAndOpenDocs(h);
    ASSERT_NE(docs, nullptr);
    const uint16_t port = h.server.Port();
    StClockInHand clock;
    h.transfers.SetCutAfter(FlatOverhead("cut.bin") + 100000);
    Download("cut.bin");
    ASSERT_TRUE(h.WaitUntil([&] { return HasRowWith(h, "(cut off)"); }, "the cut transfer's row"))
        << AllRows();
    h.server.StopListening();
    h.server.CloseConnection();
    ASSERT_TRUE(h.WaitUntil([&] { return h.App().Features().Connection().Reconnect().IsWaiting(); },
                            "the reconnect's wait"));
    UClock::Advance(CMyCutTransferBox::kGraceMs);
    h.Pump();
    EXPECT_FALSE(h.HasBox(128)) << "the transfer waits for the reconnect in its row";

    h.transfers.SetCutAfter(0);
    ASSERT_TRUE(h.server.Listen(port));
    UClock::Advance(2400);
    ASSERT_TRUE(h.WaitUntil([&] { return h.App().Features().Session().IsLoggedIn(); }, "the reconnect"));
    ASSERT_TRUE(WaitDownloaded("cut.bin", bytes));
    EXPECT_FALSE(h.HasBox(128));
}

// With the session still up a cut is a failure of its own: it is told once, after the short wait.
TEST_F(TransferQueueTest, ATransferCutWhileTheSessionStaysIsToldInOneBoxAfterAMoment)
{
    h.WriteSharedFile("Docs/a.bin", Data(300000, 32));
    h.WriteSharedFile("Docs/b.bin", Data(300000, 33));
    docs = LoginAndOpenDocs(h);
    ASSERT_NE(docs, nullptr);
    StClockInHand clock;
    h.transfers.SetCutAfter(FlatOverhead("a.bin") + 1000);
    Download("a.bin");
    Download("b.bin");
    ASSERT_TRUE(h.WaitUntil([&] { return RowsWith("(cut off)") == 2; }, "both cut rows")) << AllRows();
    EXPECT_FALSE(h.HasBox(128)) << "told before the session had a moment to go";
    UClock::Advance(CMyCutTransferBox::kGraceMs);
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(128); }, "the box"));
    h.Pump();
    EXPECT_EQ(std::count_if(h.boxes.begin(), h.boxes.end(), [](const auto& b) { return b.id == 128; }), 1);
}

TEST_F(TransferQueueTest, TheQueueFileComesBackWaitingAndStartsOnlyForItsServerAndLogin)
{
    // The servers listen once the harness starts; the queue file is then read as a start reads it.
    h.Start();
    const std::string mine = Data(300000, 25);
    h.WriteSharedFile("Docs/mine.bin", mine);
    h.WriteSharedFile("Docs/resumed.bin", mine);
    h.WriteSharedFile("Docs/gone.bin", mine);
    SMyTransferRecord other = Record("mine.bin");
    other.address = "127.0.0.1:1";
    other.port = 1;
    other.state = SMyTransferRecord::kWaiting;
    SMyTransferRecord alice = Record("mine.bin", "alice");
    alice.state = SMyTransferRecord::kWaiting;
    SMyTransferRecord resumed = Record("resumed.bin");
    resumed.state = SMyTransferRecord::kWaiting;
    SMyTransferRecord gone = Record("gone.bin");
    gone.hadData = true;
    WriteQueue({other, Record("mine.bin"), alice, resumed, gone});
    WritePartial(Downloads() + "/resumed.bin.qpf", "resumed.bin", mine.substr(0, 1000));

    h.App().Features().Transfers().Load();
    ASSERT_EQ(h.TaskRows().size(), 5u);
    for (const std::string& row : h.TaskRows())
        EXPECT_NE(row.find(kWaiting), std::string::npos) << row;
    EXPECT_TRUE(HasRowWith(h, std::string(kWaiting) + "127.0.0.1:1"));

    ASSERT_TRUE(h.Login());
    ASSERT_TRUE(WaitDownloaded("mine.bin", mine)) << AllRows();
    ASSERT_TRUE(WaitDownloaded("resumed.bin", mine));
    ASSERT_TRUE(WaitDownloaded("gone.bin", mine));
    // Started in the order of the queue; the partial file was resumed; the gone one started over.
    const std::vector<STestTransaction> requests = h.Requests(202);
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(CAppHarness::Field(requests[0], 201), "mine.bin");
    EXPECT_EQ(CAppHarness::Field(requests[1], 201), "resumed.bin");
    EXPECT_EQ(CAppHarness::Field(requests[1], 203).size(), 58u);
    EXPECT_EQ(CAppHarness::Field(requests[2], 203), "");
    // Another server's and another login's stay waiting.
    ASSERT_TRUE(h.WaitUntil([&] { return FileRecords().size() == 2; }, "the finished ones to leave"));
    EXPECT_EQ(FileRecords()[0], other);
    EXPECT_EQ(FileRecords()[1].login, "alice");
    EXPECT_TRUE(h.WaitUntil([&] { return RowsWith(kWaiting) == 2 && RowsWith(" \xD1 Done") == 3; },
                            "two waiting rows and three done ones"))
        << AllRows();
    EXPECT_EQ(h.TaskRows().size(), 5u);
}

TEST_F(TransferQueueTest, ADamagedQueueFileIsPutAsideOnceAndIgnored)
{
    std::string bytes = UMyTransferQueueFile::Format({Record("x.bin")});
    bytes.resize(bytes.size() - 3);
    mkdir(h.UserFolder().c_str(), 0755);
    WriteFile(QueueFile(), bytes);
    h.Start();
    EXPECT_TRUE(h.TaskRows().empty());
    EXPECT_FALSE(Exists(QueueFile()));
    EXPECT_EQ(ReadFile(QueueFile() + ".damaged"), bytes);
    // What is put aside is never read again: the next start finds no queue and says nothing.
    std::vector<SMyTransferRecord> records;
    EXPECT_TRUE(UMyTransferQueueFile::Read(records));
    EXPECT_TRUE(records.empty());
}

// The real program, killed with SIGKILL while three downloads run, finishes all three after its next
// start and login, resuming each from what it had.
TEST_F(TransferQueueTest, AClientKilledInTheMiddleOfThreeDownloadsFinishesThemAfterItsNextStart)
{
    std::vector<std::string> files;
    for (int i = 0; i < 3; ++i)
    {
        files.push_back(Data(1024 * 1024 + size_t(i), 30 + uint32_t(i)));
        h.WriteSharedFile("Docs/f" + std::to_string(i) + ".bin", files.back());
    }
    h.Start(); // the servers, and the harness's folders; the clients below are the real program
    std::vector<SMyTransferRecord> records;
    for (int i = 0; i < 3; ++i)
        records.push_back(Record("f" + std::to_string(i) + ".bin"));
    WriteQueue(records);
    h.transfers.SetPieceSize(1024);

    const std::string data = h.UserFolder().substr(0, h.UserFolder().rfind('/'));
    auto start = [&]
    {
        auto client = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", QString::fromStdString(data));
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(data + "/config"));
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(data + "/run"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        client->setProcessEnvironment(env);
        client->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        client->setStandardOutputFile(QProcess::nullDevice());
        client->start(QCoreApplication::applicationDirPath() + "/quenvol",
                      {QString::fromStdString("quenvol://" + h.Address())});
        return client;
    };
    mkdir((data + "/run").c_str(), 0700);
    auto first = start();
    // The transfers take their turns (the option to queue them is on): the first is under way, the
    // other two wait for it.
    ASSERT_TRUE(h.WaitUntil([&] { return h.transfers.Last() && h.transfers.Last()->sent > 50000; },
                            "the first download under way", 60000));
    first->kill();
    ASSERT_TRUE(h.WaitUntil([&] { return first->state() == QProcess::NotRunning; }, "the kill", 60000));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(Exists(Downloads() + "/f" + std::to_string(i) + ".bin"));

    h.transfers.SetPieceSize(0);
    const size_t before = h.Requests(202).size();
    auto second = start();
    ASSERT_TRUE(h.WaitUntil(
        [&]
        {
            for (int i = 0; i < 3; ++i)
                if (!Exists(Downloads() + "/f" + std::to_string(i) + ".bin")) return false;
            return true;
        },
        "three complete files", 60000));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ReadFile(Downloads() + "/f" + std::to_string(i) + ".bin"), files[size_t(i)]) << i;
    const std::vector<STestTransaction> requests = h.Requests(202);
    ASSERT_EQ(requests.size(), before + 3);
    EXPECT_EQ(CAppHarness::Field(requests[before], 201), "f0.bin");
    EXPECT_EQ(CAppHarness::Field(requests[before], 203).size(), 58u) << "resumed, not downloaded again";
    second->kill();
    h.WaitUntil([&] { return second->state() == QProcess::NotRunning; }, "the end", 60000);
}
