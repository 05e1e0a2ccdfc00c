// What a desktop user does in a folder window beyond its buttons: the right-click menu on rows, Delete
// and F2, several rows at once, downloads to a chosen folder, and the column titles that sort the list.
#include <QLineEdit>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "client/files/CMyFileInfoWin.h"
#include "client/files/CMyNewFolderWin.h"
#include "client/files/UMyDragOut.h"
#include "client/transfers/UMyUploadChooser.h"
#include "framework/ui/CListHeaderView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/UClipboard.h"
#include "framework/ui/UPopupMenu.h"
#include "tests/client/files/FilesTestSupport.h"

using namespace filestest;

namespace
{
class FileListInteractionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.WriteSharedFile("Alpha.txt", "first file");
        h.WriteSharedFile("Beta.txt", "the second, longer file");
        h.WriteSharedFile("Docs/Guide.txt", "guide");
        h.model.guestAccess = CServerModel::AllAccess();
    }
    void TearDown() override
    {
        UPopupMenu::SetObserver(nullptr);
        UMyDragOut::SetFolderChooser(nullptr);
        UMyUploadChooser::SetChooser(nullptr);
    }

    void Begin()
    {
        h.Start();
        ASSERT_TRUE(h.Login());
        root = OpenRoot(h);
        ASSERT_NE(root, nullptr);
    }

    // A right click on the row of that name; the menu's entries are kept, and the entry of that title
    // is chosen (none when empty).
    void RightClick(const std::string& name, const std::string& choose = "")
    {
        UPopupMenu::SetObserver(
            [this, choose](const std::vector<SMenuEntry>& entries)
            {
                menu = entries;
                return choose.empty() ? -1 : UPopupMenu::Find(entries, choose);
            });
        const uint32_t row = RowOf(root, name);
        ASSERT_NE(row, 0u) << name;
        const SRect r = root->View()->GetItemRect(row);
        root->View()->ContextMenuAt(40, r.top + 3);
    }
    bool Enabled(const std::string& title) const
    {
        const int i = UPopupMenu::Find(menu, title);
        EXPECT_GE(i, 0) << "no entry " << title;
        return i >= 0 && menu[size_t(i)].enabled;
    }
    std::string Downloaded(const std::string& name) const
    {
        std::ifstream in(h.DownloadFolder() + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    CAppHarness h;
    CMyFolderWin* root = nullptr;
    std::vector<SMenuEntry> menu;
};
} // namespace

TEST_F(FileListInteractionsTest, ContextMenuDeleteAndTheDeleteKeyAskFirstAndThenSendTheDelete)
{
    Begin();
    // A right click on a row that is not selected makes it the selection.
    Select(root, "Beta.txt");
    h.boxAnswers = {2};
    RightClick("Alpha.txt", "Delete");
    EXPECT_EQ(root->View()->GetSelectedCount(), 1u);
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(140, "Alpha.txt"); }, "the question"));
    EXPECT_TRUE(h.Requests(204).empty()) << "a declined question sends nothing";

    RightClick("Alpha.txt", "Delete");
    ASSERT_TRUE(WaitIdle(h));
    ASSERT_EQ(h.Requests(204).size(), 1u);
    EXPECT_EQ(CAppHarness::Field(h.Requests(204)[0], 201), "Alpha.txt");
    EXPECT_FALSE(HasRow(root, "Alpha.txt"));

    // The Delete key in the list takes the same way: a question, then the request.
    const size_t boxes = h.boxes.size();
    Select(root, "Beta.txt");
    QTest::keyClick(root->View()->Widget(), Qt::Key_Delete);
    ASSERT_TRUE(h.WaitUntil([&] { return h.Requests(204).size() == 2; }, "the second delete"));
    EXPECT_EQ(h.boxes.size(), boxes + 1);
    EXPECT_TRUE(h.HasBox(140, "Beta.txt"));
    ASSERT_EQ(h.Requests(204).size(), 2u);
    EXPECT_EQ(CAppHarness::Field(h.Requests(204)[1], 201), "Beta.txt");
}

TEST_F(FileListInteractionsTest, EntriesTheAccessDoesNotAllowAreDisabledAndGiveNothing)
{
    SAccessBits access{};
    for (uint32_t bit : {kAccessCanDownloadFiles, kAccessCanReadChat})
        access[bit / 8] |= uint8_t(0x80u >> (bit % 8));
    h.model.guestAccess = access;
    Begin();
    RightClick("Alpha.txt", "Delete");
    EXPECT_TRUE(Enabled("Download"));
    EXPECT_TRUE(Enabled("Get Info"));
    EXPECT_FALSE(Enabled("Delete"));
    EXPECT_FALSE(Enabled("Rename"));
    EXPECT_FALSE(Enabled("New Folder"));
    EXPECT_FALSE(Enabled("Upload Folder..."));
    // A disabled entry is no choice, and its key does nothing either.
    QTest::keyClick(root->View()->Widget(), Qt::Key_Delete);
    QTest::keyClick(root->View()->Widget(), Qt::Key_F2);
    // A later request comes after anything those would have started.
    const size_t listings = h.Requests(200).size();
    h.Hit(root, kHitFileRefresh);
    ASSERT_TRUE(h.WaitUntil([&] { return h.Requests(200).size() > listings; }, "the refresh"));
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_EQ(h.modalCount, 0u);
    EXPECT_TRUE(h.Requests(204).empty());

    // Below the rows nothing is selected: only what needs no row is offered.
    UPopupMenu::SetObserver(
        [this](const std::vector<SMenuEntry>& e)
        {
            menu = e;
            return -1;
        });
    root->View()->ContextMenuAt(40, int32_t(root->View()->GetItemCount()) * CMyFileListView::kRowHeight + 5);
    EXPECT_EQ(root->View()->GetSelectedCount(), 0u);
    EXPECT_FALSE(Enabled("Download"));
    EXPECT_FALSE(Enabled("Copy Name"));
}

TEST_F(FileListInteractionsTest, F2AsksForANewNameAndSendsItWithTheCommentLeftAlone)
{
    Begin();
    Select(root, "Alpha.txt");
    h.OnModal<CMyNewFolderWin>(
        [](CMyNewFolderWin& w)
        {
            // The dialog starts with the old name.
            uint8_t name[256];
            w.GetName(name);
            EXPECT_EQ(CAppHarness::Str(name), "Alpha.txt");
            w.GetNameField()->SetText(reinterpret_cast<const uint8_t*>("\x09Gamma.txt"));
            w.Hit(CMyNewFolderWin::kHitCreate);
        });
    QTest::keyClick(root->View()->Widget(), Qt::Key_F2);
    ASSERT_TRUE(h.WaitUntil([&] { return h.modalCount == 1; }, "the rename dialog"));
    ASSERT_TRUE(WaitIdle(h));
    ASSERT_EQ(h.Requests(207).size(), 1u);
    const STestTransaction set = h.Requests(207)[0];
    EXPECT_EQ(CAppHarness::Field(set, 201), "Alpha.txt");
    EXPECT_EQ(CAppHarness::Field(set, 211), "Gamma.txt");
    EXPECT_EQ(CAppHarness::Field(set, 210), "");
    EXPECT_TRUE(h.SharedExists("Gamma.txt"));

    // The menu's Rename is the same command; leaving the name as it was asks the server for nothing.
    h.OnModal<CMyNewFolderWin>([](CMyNewFolderWin& w) { w.Hit(CMyNewFolderWin::kHitCreate); });
    RightClick("Beta.txt", "Rename");
    ASSERT_TRUE(h.WaitUntil([&] { return h.modalCount == 2; }, "the rename dialog again"));
    ASSERT_TRUE(WaitIdle(h));
    EXPECT_EQ(h.Requests(207).size(), 1u);
}

TEST_F(FileListInteractionsTest, SeveralSelectedRowsDownloadAsOneTaskEach)
{
    Begin();
    Select(root, "Alpha.txt");
    root->View()->SelectItem(RowOf(root, "Beta.txt"));
    RightClick("Beta.txt", "Download");
    // The right click on a row of the selection keeps the whole selection.
    EXPECT_EQ(root->View()->GetSelectedCount(), 2u);
    ASSERT_TRUE(h.WaitUntil(
        [&] {
            return Downloaded("Alpha.txt") == "first file" &&
                   Downloaded("Beta.txt") == "the second, longer file";
        },
        "both downloads", 10000));
    EXPECT_EQ(h.Requests(202).size(), 2u);

    // Copy Name puts every selected name on the clipboard, one per line.
    RightClick("Alpha.txt", "Copy Name");
    EXPECT_EQ(UClipboard::GetText(), "Alpha.txt\rBeta.txt");
}

TEST_F(FileListInteractionsTest, DownloadToSendsTheSelectedFilesAndFoldersToTheChosenFolder)
{
    // Where a drag cannot promise a file (a Wayland session), the menu still gets rows where the user
    // wants them; a cancelled question downloads nothing.
    Begin();
    static std::string chosen;
    chosen = h.UserFolder() + "/elsewhere";
    ASSERT_EQ(mkdir(chosen.c_str(), 0755), 0);
    UMyDragOut::SetFolderChooser([](std::string&) { return false; });
    Select(root, "Alpha.txt");
    root->View()->SelectItem(RowOf(root, "Docs"));
    RightClick("Alpha.txt", "Download To...");
    EXPECT_TRUE(h.Requests(202).empty());

    UMyDragOut::SetFolderChooser(
        [](std::string& out)
        {
            out = chosen;
            return true;
        });
    RightClick("Alpha.txt", "Download To...");
    UMyDragOut::SetFolderChooser(nullptr);
    const auto read = [](const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    ASSERT_TRUE(h.WaitUntil(
        [&] {
            return read(chosen + "/Alpha.txt") == "first file" && read(chosen + "/Docs/Guide.txt") == "guide";
        },
        "the file and the folder in the chosen folder", 10000));
    EXPECT_TRUE(Downloaded("Alpha.txt").empty()) << "the download went to the usual folder too";
}

TEST_F(FileListInteractionsTest, AClickOnAColumnTitleSortsAndASecondClickTurnsTheOrderRound)
{
    Begin();
    ASSERT_EQ(Rows(root), (std::vector<std::string>{"Alpha.txt", "Beta.txt", "Docs"}));
    Select(root, "Beta.txt");
    CListHeaderView* header = root->Header();
    ASSERT_NE(header, nullptr);
    header->ClickColumn(CMyFileListView::kSortBySize);
    // Folders first, then files by size.
    EXPECT_EQ(Rows(root), (std::vector<std::string>{"Docs", "Alpha.txt", "Beta.txt"}));
    header->ClickColumn(CMyFileListView::kSortBySize);
    EXPECT_EQ(Rows(root), (std::vector<std::string>{"Docs", "Beta.txt", "Alpha.txt"}));
    header->ClickColumn(CMyFileListView::kSortByName);
    header->ClickColumn(CMyFileListView::kSortByName);
    EXPECT_EQ(Rows(root), (std::vector<std::string>{"Docs", "Beta.txt", "Alpha.txt"}));
    // The selection follows its row through every sort, and a refreshed listing keeps the order.
    EXPECT_EQ(root->View()->GetFirstSelected(), RowOf(root, "Beta.txt"));
    h.WriteSharedFile("Charlie.txt", "c");
    h.Hit(root, kHitFileRefresh);
    ASSERT_TRUE(WaitIdle(h));
    EXPECT_EQ(Rows(root), (std::vector<std::string>{"Docs", "Charlie.txt", "Beta.txt", "Alpha.txt"}));
}

TEST_F(FileListInteractionsTest, GetInfoFromTheMenuOpensTheWindowInWhichReturnSavesAndEscapeCloses)
{
    Begin();
    RightClick("Alpha.txt", "Get Info");
    ASSERT_TRUE(h.WaitUntil([&] { return h.Windows<CMyFileInfoWin>().size() == 1; }, "the information"));
    CMyFileInfoWin* info = h.Windows<CMyFileInfoWin>()[0];
    QLineEdit* name = info->GetNameField()->LineEdit();
    // Return before any edit saves nothing: the Save button is still dimmed.
    QTest::keyClick(name, Qt::Key_Return);
    QTest::keyClick(name, Qt::Key_End);
    QTest::keyClicks(name, "2");
    QTest::keyClick(name, Qt::Key_Return);
    ASSERT_TRUE(h.WaitUntil([&] { return h.Requests(207).size() == 1; }, "the save"));
    EXPECT_EQ(CAppHarness::Field(h.Requests(207)[0], 211), "Alpha.txt2");
    ASSERT_TRUE(h.WaitUntil([&] { return h.Windows<CMyFileInfoWin>().empty(); }, "the window to go"));

    RightClick("Beta.txt", "Get Info");
    ASSERT_TRUE(h.WaitUntil([&] { return h.Windows<CMyFileInfoWin>().size() == 1; }, "the second window"));
    QTest::keyClick(h.Windows<CMyFileInfoWin>()[0]->GetNameField()->LineEdit(), Qt::Key_Escape);
    ASSERT_TRUE(h.WaitUntil([&] { return h.Windows<CMyFileInfoWin>().empty(); }, "Escape to close it"));
    EXPECT_EQ(h.Requests(207).size(), 1u);
}

// Alt on the upload button, the one other way to a folder upload, is a window manager's move gesture on
// many desktops: without the menu's entry a folder could not be chosen there.
TEST_F(FileListInteractionsTest, TheMenuOffersUploadingFilesAndAFolder)
{
    Begin();
    std::vector<bool> asked;
    UMyUploadChooser::SetChooser(
        [&](bool folder, const std::string&, std::vector<std::string>&)
        {
            asked.push_back(folder);
            return false;
        });
    RightClick("Alpha.txt", "Upload Folder...");
    ASSERT_TRUE(h.WaitUntil([&] { return asked.size() == 1; }, "the folder dialog"));
    RightClick("Alpha.txt", "Upload Files...");
    ASSERT_TRUE(h.WaitUntil([&] { return asked.size() == 2; }, "the file dialog"));
    EXPECT_EQ(asked, (std::vector<bool>{true, false}));
    EXPECT_TRUE(h.boxes.empty());
}
