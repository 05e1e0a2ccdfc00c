// Folder downloads through the whole client against the test server's transfer port: a tree with nested
// and empty folders, a complete local file (skipped) and a partial one (resumed), cut connections started
// again, splits into 1-byte writes, hostile item paths, and the empty folder.
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

#include "client/app/AppNumbers.h"
#include "client/core/CMyTask.h"
#include "client/files/CMyFolderWin.h"
#include "client/transfers/CMyDownloadFldrTask.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "tests/client/files/FilesTestSupport.h"
#include "tests/client/transfers/TransferTestSupport.h"
#include "tools/testserver/CTestSocket.h"

namespace fs = std::filesystem;
using namespace filestest;

namespace
{
std::string Bytes(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + seed * 17 + i / 251) & 0xFF);
    return bytes;
}

std::string ReadPath(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void WritePath(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every item below a folder: folders as "/", files as their bytes.
std::map<std::string, std::string> Tree(const fs::path& root)
{
    std::map<std::string, std::string> items;
    for (const auto& e : fs::recursive_directory_iterator(root))
    {
        const std::string rel = fs::relative(e.path(), root).string();
        items[rel] = e.is_directory() ? std::string("/") : ReadPath(e.path());
    }
    return items;
}

std::string Level(const std::string& name)
{
    return std::string(2, '\0') + char(name.size()) + name;
}

std::string Record(std::initializer_list<std::string> levels)
{
    std::string record = testwire::BE16(uint16_t(levels.size()));
    for (const std::string& l : levels)
        record += Level(l);
    return record;
}

std::string Header(bool isFolder, const std::string& record)
{
    const std::string header = testwire::BE16(isFolder ? 1 : 0) + record;
    return testwire::BE16(uint16_t(header.size())) + header;
}

class FolderDownloadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.model.guestAccess = CServerModel::AllAccess();
        h.WriteSharedFile("Tree/a.txt", Bytes(3000, 1));
        h.WriteSharedFile("Tree/Empty/");
        h.WriteSharedFile("Tree/Sub/Deep/b.bin", Bytes(70000, 2));
        h.WriteSharedFile("Tree/Sub/c.txt", Bytes(10, 3));
        h.WriteSharedFile("Tree/Sub/zero.dat", "");
        h.WriteSharedFile("Tree/exists.txt", Bytes(500, 4));
        h.WriteSharedFile("Tree/partial.bin", Bytes(20000, 5));
        h.WriteSharedFile("Nothing/");
        h.transfers.onEvent = [this](uint32_t, const std::string& what) { events.push_back(what); };
    }

    void Begin()
    {
        h.Start();
        ASSERT_TRUE(h.Login());
        h.App().Features().Settings().queueTransfers = 0;
    }

    fs::path Local() const { return fs::path(dest.path().toStdString()); }
    fs::path Shared(const std::string& path) const { return fs::path(h.SharedFolder()) / path; }

    CMyDownloadFldrTask* Download(const std::string& name, bool queued = false)
    {
        const std::string native = Local().string();
        StFileSysRef parent(UFileSys::NewFromNativePath(native.data(), uint32_t(native.size())));
        return h.App().Features().Transfers().DownloadFolder(nullptr, 0, CAppHarness::P(name).data(),
                                                             parent.Get(), queued);
    }

    bool HasTask() const
    {
        for (CMyTask* task : h.App().Features().Tasks())
            if (dynamic_cast<CMyDownloadFldrTask*>(task)) return true;
        return false;
    }

    bool RunToEnd(const char* what, uint32_t watchdogMs = 15000)
    {
        return h.WaitUntil([&] { return !HasTask(); }, what, watchdogMs);
    }

    bool Has(const std::string& event) const
    {
        for (const std::string& e : events)
            if (e.find(event) != std::string::npos) return true;
        return false;
    }

    // The local folder holds a file that exists already and the start of another.
    void PrepareLocal()
    {
        WritePath(Local() / "Tree/exists.txt", "mine");
        transfertest::WritePartial((Local() / "Tree/partial.bin.qpf").string(), "partial.bin",
                                   Bytes(20000, 5).substr(0, 7000));
    }

    std::map<std::string, std::string> Expected() const
    {
        std::map<std::string, std::string> tree = Tree(Shared("Tree"));
        tree["exists.txt"] = "mine";
        return tree;
    }

    // Before the harness: its server reports a connection's close while the harness goes.
    std::vector<std::string> events;
    CAppHarness h{transfertest::CEndRecorder::Make};
    QTemporaryDir dest;
};
} // namespace

TEST_F(FolderDownloadTest, ATreeArrivesWithEachAnswerAndNothingPartialStays)
{
    Begin();
    PrepareLocal();
    ASSERT_NE(Download("Tree"), nullptr);
    ASSERT_TRUE(RunToEnd("the folder download to end"));
    EXPECT_EQ(Tree(Local() / "Tree"), Expected());
    // The complete file was skipped, the partial one resumed where it stopped, the rest sent whole.
    EXPECT_TRUE(Has("resuming at 7000"));
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const std::string& e) { return e.find("sending item") != std::string::npos; }),
              5);
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_TRUE(h.alert.empty()) << h.alert;
    const STestTransaction request = h.Requests(210).back();
    EXPECT_EQ(CAppHarness::Field(request, 201), "Tree");
    const STransferConnection* c = h.transfers.Last();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->handshake.size(), 18u);
    EXPECT_EQ(c->handshake.substr(12), std::string("\0\1\0\0\0\3", 6));
}

TEST_F(FolderDownloadTest, HeadersAndSizesSplitIntoSingleBytesAreReassembled)
{
    h.WriteSharedFile("Tree/Sub/Deep/b.bin", Bytes(3000, 2));
    h.transfers.SetPieceSize(1);
    Begin();
    PrepareLocal();
    ASSERT_NE(Download("Tree"), nullptr);
    ASSERT_TRUE(RunToEnd("the folder download in 1-byte writes to end", 60000));
    EXPECT_EQ(Tree(Local() / "Tree"), Expected());
    EXPECT_TRUE(h.alert.empty()) << h.alert;
}

TEST_F(FolderDownloadTest, ADownloadCutAnywhereResumesToTheSameTree)
{
    Begin();
    // Inside the first header, inside a file's size, in the middle of file data, late in the big file.
    for (uint64_t cut : {3u, 40u, 1200u, 40000u, 90000u})
    {
        SCOPED_TRACE("cut after " + std::to_string(cut));
        fs::remove_all(Local() / "Tree");
        h.transfers.SetFolderCutAfter(cut);
        h.boxes.clear();
        ASSERT_NE(Download("Tree"), nullptr);
        ASSERT_TRUE(RunToEnd("the cut download to end"));
        // Told a moment later, once the session is seen to have stayed.
        EXPECT_TRUE(h.WaitUntil([&] { return h.HasBox(128); }, "the early close's box"));
        h.transfers.SetFolderCutAfter(0);
        ASSERT_NE(Download("Tree"), nullptr);
        ASSERT_TRUE(RunToEnd("the second download to end"));
        EXPECT_EQ(Tree(Local() / "Tree"), Tree(Shared("Tree")));
    }
}

TEST_F(FolderDownloadTest, TheEndIsToldOnTheDesktopAsAFileDownloadsIs)
{
    Begin();
    auto& app = static_cast<transfertest::CEndRecorder&>(h.App());
    ASSERT_NE(Download("Tree"), nullptr);
    ASSERT_TRUE(RunToEnd("the folder download to end"));
    EXPECT_EQ(app.ends, (std::vector<std::pair<std::string, bool>>{{"Tree", true}}));
    fs::remove_all(Local() / "Tree");
    h.transfers.SetFolderCutAfter(1200);
    ASSERT_NE(Download("Tree"), nullptr);
    ASSERT_TRUE(RunToEnd("the cut folder download to end"));
    ASSERT_EQ(app.ends.size(), 2u);
    EXPECT_EQ(app.ends[1], std::make_pair(std::string("Tree"), false));
}

TEST_F(FolderDownloadTest, AnEmptyFolderCompletesAtOnce)
{
    Begin();
    ASSERT_NE(Download("Nothing"), nullptr);
    ASSERT_TRUE(RunToEnd("the empty folder download to end"));
    EXPECT_TRUE(fs::is_directory(Local() / "Nothing"));
    EXPECT_TRUE(fs::is_empty(Local() / "Nothing"));
    EXPECT_TRUE(h.transfers.Connections().empty()) << "nothing to wait for on a transfer connection";
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_TRUE(h.alert.empty()) << h.alert;
}

TEST_F(FolderDownloadTest, TheDownloadButtonTakesAFolderRowIntoTheDownloadFolderWithARow)
{
    h.transfers.SetPieceSize(512);
    Begin();
    CMyFolderWin* root = OpenRoot(h);
    ASSERT_NE(root, nullptr);
    Select(root, "Tree");
    h.Hit(root, kHitFileDownload);
    ASSERT_TRUE(h.WaitUntil(
        [&]
        {
            for (const std::string& row : h.TaskRows())
                if (row.find("Downloading Folder \xD2Tree\xD3") != std::string::npos) return true;
            return false;
        },
        "the folder download's row"));
    ASSERT_TRUE(RunToEnd("the folder download to end"));
    EXPECT_EQ(Tree(fs::path(h.DownloadFolder()) / "Tree"), Tree(Shared("Tree")));
}

TEST_F(FolderDownloadTest, AStoppedDownloadKeepsThePartialFileWithDataAndResumesIt)
{
    h.transfers.SetPieceSize(256);
    Begin();
    CMyDownloadFldrTask* task = Download("Tree", true);
    ASSERT_NE(task, nullptr);
    ASSERT_FALSE(h.TaskRows().empty());
    EXPECT_NE(h.TaskRows().back().find("(queued)"), std::string::npos);
    ASSERT_TRUE(h.WaitUntil([&] { return task->GetDoneSize() > 5000; }, "part of the big file"));
    delete task; // as the tasks window's Stop does
    const fs::path partial = Local() / "Tree/Sub/Deep/b.bin.qpf";
    ASSERT_TRUE(fs::exists(partial));
    const uint64_t kept = fs::file_size(partial);
    EXPECT_GT(kept, 0u);
    EXPECT_FALSE(fs::exists(Local() / "Tree/Sub/Deep/b.bin"));
    h.transfers.SetPieceSize(0);
    ASSERT_NE(Download("Tree"), nullptr);
    ASSERT_TRUE(RunToEnd("the resumed download to end"));
    EXPECT_TRUE(Has("resuming at " + std::to_string(kept)));
    EXPECT_EQ(Tree(Local() / "Tree"), Tree(Shared("Tree")));
}

TEST_F(FolderDownloadTest, ItemsAnnouncedShorterThanTheirStreamFailAndLeaveNoShortFileBehind)
{
    Begin();
    for (int64_t size : {int64_t(0), int64_t(100), int64_t(1000)})
    {
        SCOPED_TRACE("items announced as " + std::to_string(size) + " bytes");
        fs::remove_all(Local() / "Tree");
        h.transfers.SetFolderItemSize(size);
        h.alert.clear();
        ASSERT_NE(Download("Tree"), nullptr);
        ASSERT_TRUE(RunToEnd("the lying folder download to end"));
        EXPECT_NE(h.alert.find("1/9"), std::string::npos) << h.alert;
        // Whatever stands under a final name is whole; the short rest stays a partial file.
        for (const auto& [name, bytes] : Tree(Local() / "Tree"))
        {
            if (bytes != "/" && name.find(".qpf") == std::string::npos)
            {
                EXPECT_EQ(bytes, ReadPath(Shared("Tree") / name)) << name;
            }
        }
    }
    h.transfers.SetFolderItemSize(-1);
    ASSERT_NE(Download("Tree"), nullptr);
    ASSERT_TRUE(RunToEnd("the honest download to end"));
    EXPECT_EQ(Tree(Local() / "Tree"), Tree(Shared("Tree")));
}

TEST_F(FolderDownloadTest, AnItemNamedLikeAPartialFileIsNeverResumedAsAnother)
{
    // "x.qpf" comes first, and is a whole file of its own.
    h.WriteSharedFile("Pair/x.qpf", Bytes(3000, 7));
    h.WriteSharedFile("Pair/x", Bytes(5000, 8));
    h.transfers.SetFolderOrderDescending(true);
    Begin();
    ASSERT_NE(Download("Pair"), nullptr);
    ASSERT_TRUE(RunToEnd("the folder download to end"));
    EXPECT_EQ(Tree(Local() / "Pair"), Tree(Shared("Pair")));
    EXPECT_FALSE(Has("resuming"));
    // With "x" gone the next download brings it whole again and leaves "x.qpf" as it is.
    fs::remove(Local() / "Pair/x");
    ASSERT_NE(Download("Pair"), nullptr);
    ASSERT_TRUE(RunToEnd("the second folder download to end"));
    EXPECT_EQ(Tree(Local() / "Pair"), Tree(Shared("Pair")));
    EXPECT_FALSE(Has("resuming"));
    EXPECT_TRUE(h.alert.empty()) << h.alert;
}

TEST_F(FolderDownloadTest, TwoServerNamesForOneLocalNameInAFolderItMadeKeepTheFirst)
{
    // A folder the download makes is not searched for the files it gets: a name taken there can only be
    // taken by an item before. Small files are named when whole; large ones go through partial files.
    h.WriteSharedFile("Twice/s\x01.txt", "first");
    h.WriteSharedFile("Twice/s\x02.txt", "second");
    const std::string big1 = Bytes(1500000, 7), big2 = Bytes(1500000, 8);
    h.WriteSharedFile("Twice/Sub/b\x01.bin", big1);
    h.WriteSharedFile("Twice/Sub/b\x02.bin", big2);
    Begin();
    ASSERT_NE(Download("Twice"), nullptr);
    ASSERT_TRUE(RunToEnd("the folder download to end"));
    const std::map<std::string, std::string> expected = {
        {"s-.txt", "first"}, {"Sub", "/"}, {"Sub/b-.bin", big1}};
    EXPECT_EQ(Tree(Local() / "Twice"), expected);
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_TRUE(h.alert.empty()) << h.alert;
}

TEST_F(FolderDownloadTest, ServerNamesAreMappedAsASingleDownloadMapsThem)
{
    // The longest legal names, cut to leave room for the partial extension; control characters; a
    // folder whose leading dot is mapped, with a file in it.
    std::map<std::string, std::string> expected;
    for (size_t n = 252; n <= 255; ++n)
    {
        const std::string name = char('a' + n - 252) + std::string(n - 1, 'x');
        h.WriteSharedFile("Names/" + name, std::to_string(n));
        expected[name.substr(0, 251)] = std::to_string(n);
    }
    h.WriteSharedFile("Names/e\x1b[2J\r\n\x01\x7F.txt", "ctl");
    expected["e-[2J----.txt"] = "ctl";
    h.WriteSharedFile("Names/d\x1b/f", "inside");
    expected["d-"] = "/";
    expected["d-/f"] = "inside";
    h.WriteSharedFile("Names/.hidden/g", "hidden");
    expected["-hidden"] = "/";
    expected["-hidden/g"] = "hidden";
    Begin();
    ASSERT_NE(Download("Names"), nullptr);
    ASSERT_TRUE(RunToEnd("the folder download to end"));
    EXPECT_EQ(Tree(Local() / "Names"), expected);
    EXPECT_TRUE(h.alert.empty()) << h.alert;
}

// A server that announces items of its own making.
class HostileFolderTest : public FolderDownloadTest
{
protected:
    void Serve(const std::string& stream)
    {
        h.transfers.SetHandler(STransferJob::EKind::FolderDownload,
                               [stream](CTransferServer&, STransferConnection& c)
                               {
                                   // Whatever the client answers, a file of 135 empty-file bytes would
                                   // follow; the client must not get that far.
                                   c.socket->Write(stream);
                               });
    }

    // The download of Tree fails, and nothing exists beside the download folder's own content.
    void ExpectRefused()
    {
        const fs::path outside = Local() / "outside";
        fs::create_directories(outside);
        const fs::path link = Local() / "Tree/away";
        fs::create_directories(link.parent_path());
        fs::create_directory_symlink(outside, link);
        ASSERT_NE(Download("Tree"), nullptr);
        ASSERT_TRUE(RunToEnd("the hostile download to end"));
        EXPECT_TRUE(fs::is_empty(outside));
        std::vector<std::string> top;
        for (const auto& e : fs::directory_iterator(Local()))
            top.push_back(e.path().filename().string());
        std::sort(top.begin(), top.end());
        EXPECT_EQ(top, (std::vector<std::string>{"Tree", "outside"}));
        for (const auto& e : fs::recursive_directory_iterator(Local() / "Tree"))
            EXPECT_EQ(e.path().filename(), "away") << "written: " << e.path();
        EXPECT_FALSE(h.alert.empty() && h.boxes.empty()) << "the failure is told";
    }
};

TEST_F(HostileFolderTest, AFileThatClimbsOutIsRefused)
{
    Serve(Header(false, Record({"..", "x"})));
    Begin();
    ExpectRefused();
}

TEST_F(HostileFolderTest, AnItemNamedDotDotIsRefused)
{
    Serve(Header(true, Record({".."})));
    Begin();
    ExpectRefused();
}

TEST_F(HostileFolderTest, ANameWithSeparatorsIsRefused)
{
    Serve(Header(false, Record({"../x"})));
    Begin();
    ExpectRefused();
}

TEST_F(HostileFolderTest, AFolderLinkThatLeadsOutIsNotFollowed)
{
    Serve(Header(false, Record({"away", "x"})));
    Begin();
    ExpectRefused();
}

TEST_F(HostileFolderTest, AHeaderThatDoesNotFitItsSizeIsRefused)
{
    // The level says 9 bytes where 3 follow.
    Serve(testwire::BE16(9) + testwire::BE16(0) + testwire::BE16(1) + std::string(2, '\0') +
          "\x09"
          "abc");
    Begin();
    ExpectRefused();
}
