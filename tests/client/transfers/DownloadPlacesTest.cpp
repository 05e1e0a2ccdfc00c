// Finished files at hand: downloads go to the desktop's download folder (as the user's folder settings
// name it), to a folder chosen in the options, or to the program's own folder; a partial file an earlier
// version left in the program's folder is still resumed; a finished transfer's row stays, greyed and
// "Done", until cleared, and opens what arrived or shows it in the file manager (over the session bus, or
// the opener on its folder where no file manager answers).
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

#include "client/tasks/CMyTaskListView.h"
#include "client/transfers/CMyTransferQueue.h"
#include "framework/ui/UPopupMenu.h"
#include "platform/FileManager.h"
#include "platform/OpenURL.h"
#include "tests/client/transfers/TransferTestSupport.h"
#include "tests/support/CPrivateBus.h"

using namespace filestest;
using namespace transfertest;

namespace
{
const char kDone[] = " \xD1 Done";

std::vector<std::string> gOpened;

class DownloadPlacesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.model.guestAccess = CServerModel::AllAccess();
        gOpened.clear();
        platform::SetOpenURLProc(
            [](const char* url, size_t size)
            {
                gOpened.emplace_back(url, size);
                return true;
            });
    }
    void TearDown() override
    {
        platform::SetOpenURLProc(nullptr);
        platform::SetFileManagerBusAddress(QString());
        UPopupMenu::SetObserver(nullptr);
    }

    void Begin()
    {
        docs = LoginAndOpenDocs(h);
        ASSERT_NE(docs, nullptr);
    }
    void Download(const std::string& name)
    {
        Select(docs, name);
        h.Hit(docs, kHitFileDownload);
    }
    bool WaitFile(const std::string& path, const std::string& bytes)
    {
        return h.WaitUntil([&] { return Exists(path) && ReadFile(path) == bytes; }, path.c_str(), 10000);
    }
    // Chooses the row menu's entry of that title on the row holding `row`; false when it is disabled.
    bool ChooseInRowMenu(const std::string& row, const std::string& title)
    {
        EXPECT_TRUE(SelectTaskRow(h, row)) << row;
        bool enabled = false;
        UPopupMenu::SetObserver(
            [&](const std::vector<SMenuEntry>& entries)
            {
                const int i = UPopupMenu::Find(entries, title);
                enabled = i >= 0 && entries[size_t(i)].enabled;
                return enabled ? i : -1;
            });
        CMyTaskListView* list = h.App().Features().Windows().Tasks()->View();
        list->ContextMenuAt(5, list->GetItemRect(list->GetFirstSelected()).top + 5);
        h.Pump();
        UPopupMenu::SetObserver(nullptr);
        return enabled;
    }
    size_t RowsWith(const std::string& part) const
    {
        size_t n = 0;
        for (const std::string& row : h.TaskRows())
            n += row.find(part) != std::string::npos;
        return n;
    }
    static std::string FileURL(const std::string& path)
    {
        return QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded).toStdString();
    }

    CAppHarness h;
    CMyFolderWin* docs = nullptr;
};
} // namespace

TEST_F(DownloadPlacesTest, DownloadsLandInTheDesktopsFolderTheChosenOneOrTheProgramsOwn)
{
    const std::string a = Data(5000, 1), b = Data(7000, 2), c = Data(300, 3), d = Data(900, 4);
    h.WriteSharedFile("Docs/a.bin", a);
    h.WriteSharedFile("Docs/b.bin", b);
    h.WriteSharedFile("Docs/c.bin", c);
    h.WriteSharedFile("Docs/d.bin", d);
    Begin();
    // Without the user's folder settings: ~/Downloads, made when missing.
    Download("a.bin");
    ASSERT_TRUE(WaitFile(h.HomeFolder() + "/Downloads/a.bin", a));

    // The folder the desktop's settings name.
    WriteFile(h.UserFolder() + "/../config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"$HOME/Incoming\"\n");
    Download("b.bin");
    ASSERT_TRUE(WaitFile(h.HomeFolder() + "/Incoming/b.bin", b));

    // A folder chosen in the options, made when missing.
    const std::string chosen = h.HomeFolder() + "/chosen/deeper";
    h.App().Features().Settings().downloadFolder = SMyDownloadFolder{SMyDownloadFolder::kChosen, chosen};
    Download("c.bin");
    ASSERT_TRUE(WaitFile(chosen + "/c.bin", c));

    // The program's own folder: "Downloads", or "Leeched Goods" where the user made that.
    h.App().Features().Settings().downloadFolder = SMyDownloadFolder{SMyDownloadFolder::kProgram, ""};
    Download("c.bin");
    ASSERT_TRUE(WaitFile(h.UserFolder() + "/Downloads/c.bin", c));
    EXPECT_FALSE(h.App().Features().Statistics().isLeechMode);
    mkdir((h.UserFolder() + "/Leeched Goods").c_str(), 0755);
    Download("d.bin");
    ASSERT_TRUE(WaitFile(h.UserFolder() + "/Leeched Goods/d.bin", d));
    EXPECT_TRUE(h.App().Features().Statistics().isLeechMode);
}

TEST_F(DownloadPlacesTest, APartialFileLeftInTheProgramsFolderIsResumedAndFinishesWhereDownloadsGoNow)
{
    const std::string bytes = Data(200000, 5);
    h.WriteSharedFile("Docs/report.doc", bytes);
    Begin();
    const std::string old = h.UserFolder() + "/Downloads";
    mkdir(old.c_str(), 0755);
    const size_t n = 70001;
    WritePartial(old + "/report.doc.qpf", "report.doc", bytes.substr(0, n));

    h.boxAnswers.push_back(1);
    Download("report.doc");
    EXPECT_TRUE(h.HasBox(133, "report.doc")) << "the resume question, as for a partial file beside it";
    ASSERT_TRUE(WaitFile(h.DownloadFolder() + "/report.doc", bytes));
    EXPECT_FALSE(Exists(old + "/report.doc.qpf"));
    EXPECT_FALSE(Exists(old + "/report.doc"));
    // Only the rest travelled.
    EXPECT_EQ(h.transfers.Last()->sent, FlatOverhead("report.doc") + bytes.size() - n);
}

TEST_F(DownloadPlacesTest, AFinishedRowStaysDoneUntilClearedAndOpensOrShowsWhatArrived)
{
    if (!CPrivateBus::IsAvailable()) GTEST_SKIP() << "dbus-daemon is not installed";
    CPrivateBus bus;
    ASSERT_TRUE(bus.Start());
    auto fileManager = std::make_unique<CFakeFileManager>(bus.Address());
    ASSERT_TRUE(fileManager->Register());
    platform::SetFileManagerBusAddress(bus.Address());

    const std::string a = Data(4000, 6), b = Data(3000, 7);
    h.WriteSharedFile("Docs/a b.txt", a);
    h.WriteSharedFile("Docs/b.txt", b);
    Begin();
    Download("a b.txt");
    const std::string path = h.DownloadFolder() + "/a b.txt";
    ASSERT_TRUE(WaitFile(path, a));
    const std::string done = std::string("Downloading \xD2"
                                         "a b.txt\xD3") +
                             kDone;
    ASSERT_TRUE(h.WaitUntil([&] { return HasRowWith(h, done); }, "the done row"));
    // Long after the finished task was reaped, the row is still there, in its place and greyed.
    Download("b.txt");
    ASSERT_TRUE(WaitFile(h.DownloadFolder() + "/b.txt", b));
    // The row of b.txt, not of "a b.txt".
    const std::string kB = std::string("\xD2") + "b.txt\xD3";
    ASSERT_TRUE(h.WaitUntil(
        [&] { return h.TaskRows().size() == 2 && HasRowWith(h, "b.txt\xD3" + std::string(kDone)); },
        "both done rows and nothing else"));
    EXPECT_NE(h.TaskRows()[0].find("a b.txt"), std::string::npos);
    EXPECT_TRUE(h.App().Features().Windows().Tasks()->View()->Model().GetRow(1)->task->IsKeptFinished());

    // Show in Folder reaches the file manager with the file's URI.
    ASSERT_TRUE(ChooseInRowMenu("a b.txt", "Show in Folder"));
    ASSERT_TRUE(h.WaitUntil([&] { return !fileManager->shown.empty(); }, "the file manager's call"));
    EXPECT_EQ(fileManager->shown[0], QStringList{QString::fromStdString(FileURL(path))});
    EXPECT_TRUE(gOpened.empty());

    // Without a file manager on the bus, the opener shows the folder instead.
    fileManager.reset();
    ASSERT_TRUE(ChooseInRowMenu("a b.txt", "Show in Folder"));
    ASSERT_TRUE(h.WaitUntil([&] { return platform::PendingFileManagerCalls() == 0 && !gOpened.empty(); },
                            "the opener on the folder"));
    EXPECT_EQ(gOpened.back(), FileURL(h.DownloadFolder()));

    // Open hands the file itself to the opener; a double click does the same.
    ASSERT_TRUE(ChooseInRowMenu("a b.txt", "Open"));
    EXPECT_EQ(gOpened.back(), FileURL(path));
    gOpened.clear();
    ASSERT_TRUE(SelectTaskRow(h, kB + kDone));
    h.App().Features().Windows().Tasks()->View()->OpenItem(
        h.App().Features().Windows().Tasks()->View()->GetFirstSelected());
    h.Pump();
    ASSERT_EQ(gOpened.size(), 1u);
    EXPECT_EQ(gOpened.back(), FileURL(h.DownloadFolder() + "/b.txt"));

    // Remove takes one done row away (the file stays), Clear Finished the rest.
    ASSERT_TRUE(ChooseInRowMenu(kB + kDone, "Remove"));
    EXPECT_EQ(h.TaskRows().size(), 1u);
    EXPECT_TRUE(Exists(h.DownloadFolder() + "/b.txt"));
    ASSERT_TRUE(ChooseInRowMenu("a b.txt", "Clear Finished"));
    EXPECT_TRUE(h.TaskRows().empty());
    EXPECT_TRUE(Exists(path));
}

TEST_F(DownloadPlacesTest, TheRowMenuOffersWhatTheRowCanDo)
{
    const std::string big = Data(2 * 1024 * 1024, 8);
    h.WriteSharedFile("Docs/big.bin", big);
    Begin();
    h.transfers.SetPieceSize(512);
    Download("big.bin");
    ASSERT_TRUE(h.WaitUntil([&] { return h.transfers.Last() && h.transfers.Last()->sent > 1000; },
                            "the download under way"));
    // A running download can stop, not open.
    EXPECT_FALSE(ChooseInRowMenu("big.bin", "Open"));
    EXPECT_FALSE(ChooseInRowMenu("big.bin", "Start"));
    ASSERT_TRUE(ChooseInRowMenu("big.bin", "Stop"));
    ASSERT_TRUE(h.WaitUntil([&] { return HasRowWith(h, "\xD1 Stopped"); }, "the stopped row"));
    // The stopped row took the running one's place: one row for the file.
    EXPECT_EQ(RowsWith("big.bin"), 1u);
    // Stopped: it can start again or go (asking about its partial file), not be opened.
    EXPECT_FALSE(ChooseInRowMenu("Stopped", "Show in Folder"));
    EXPECT_FALSE(ChooseInRowMenu("Stopped", "Clear Finished"));
    h.boxAnswers.push_back(3); // delete the partial file
    ASSERT_TRUE(ChooseInRowMenu("Stopped", "Remove"));
    EXPECT_EQ(RowsWith("big.bin"), 0u);
    EXPECT_FALSE(Exists(h.DownloadFolder() + "/big.bin.qpf"));
}
