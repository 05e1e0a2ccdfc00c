// Folder windows through the whole client: opening the root and sub-folders, the parent, re-targeting
// with Alt, refreshing, and what ends them.
#include <gtest/gtest.h>

#include "client/app/AppNumbers.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/files/CMyFileListView.h"
#include "client/files/CMyFolderWin.h"
#include "client/tasks/CMyTasksWin.h"
#include "framework/net/UFieldData.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CWindow.h"
#include "tests/client/files/FilesTestSupport.h"

using namespace filestest;

namespace
{
class FolderWindowsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.WriteSharedFile("Read Me.txt", "hello");
        h.WriteSharedFile("Docs/Guide.txt", "guide");
        h.WriteSharedFile("Docs/Old/Notes.txt", "notes");
        h.WriteSharedFile("Docs/Old/Older/");
        h.WriteSharedFile("Uploads/");
        h.model.guestAccess = CServerModel::AllAccess();
        h.Start();
        ASSERT_TRUE(h.Login());
    }

    size_t Listings() const { return h.Requests(200).size(); }

    CAppHarness h;
};
} // namespace

TEST_F(FolderWindowsTest, CtrlFOpensTheRootWindowWithItsListingAndAgainOnlyBringsItForward)
{
    h.Key('F', 'f', kModCtrl);
    ASSERT_TRUE(WaitIdle(h));
    CMyFolderWin* root = h.App().GetRootFolderWin();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(CAppHarness::Title(root), "Files");
    EXPECT_EQ(Rows(root), (std::vector<std::string>{"Docs", "Read Me.txt", "Uploads"}));
    // A folder's size column shows how many items it holds.
    EXPECT_EQ(root->View()->GetItem(RowOf(root, "Docs"))->fileSize, 2u);
    EXPECT_EQ(CMyFileListView::SizeColumnText(*root->View()->GetItem(RowOf(root, "Docs"))), "(2)");
    EXPECT_EQ(CWindow::GetFrontWindow(), root);

    h.App().DoShowTasksWin();
    const size_t listings = Listings();
    h.Hit(h.App().Features().Windows().Toolbar(), kHitShowFiles);
    EXPECT_EQ(FolderWins(h).size(), 1u);
    EXPECT_EQ(CWindow::GetFrontWindow(), root);
    EXPECT_EQ(Listings(), listings);
}

TEST_F(FolderWindowsTest, DoubleClickOpensTheFolderAndAnOpenOneComesForwardInsteadOfASecond)
{
    CMyFolderWin* root = OpenRoot(h);
    ASSERT_NE(root, nullptr);
    Open(h, root, "Docs");
    CMyFolderWin* docs = FolderWin(h, "Docs");
    ASSERT_NE(docs, nullptr);
    EXPECT_EQ(WinPath(docs), PathRecord({"Docs"}));
    EXPECT_EQ(CAppHarness::Field(h.Requests(200).back(), 202), PathRecord({"Docs"}));
    EXPECT_EQ(Rows(docs), (std::vector<std::string>{"Guide.txt", "Old"}));

    root->BringToFront();
    const size_t listings = Listings();
    Open(h, root, "Docs");
    EXPECT_EQ(FolderWins(h).size(), 2u);
    EXPECT_EQ(CWindow::GetFrontWindow(), docs);
    EXPECT_EQ(Listings(), listings);
}

TEST_F(FolderWindowsTest, AltDoubleClickSendsTheSameWindowIntoTheFolder)
{
    CMyFolderWin* root = OpenRoot(h);
    ASSERT_NE(root, nullptr);
    Open(h, root, "Docs", kModAlt);
    EXPECT_EQ(FolderWins(h).size(), 1u);
    EXPECT_EQ(h.App().Features().FolderWins().GetItem(1), root);
    EXPECT_EQ(CAppHarness::Title(root), "Docs");
    EXPECT_EQ(WinPath(root), PathRecord({"Docs"}));
    EXPECT_EQ(Rows(root), (std::vector<std::string>{"Guide.txt", "Old"}));
    EXPECT_EQ(h.App().GetRootFolderWin(), nullptr);
    const std::string docsPath = PathRecord({"Docs"});
    EXPECT_EQ(h.App().GetFolderWinByPath(docsPath.data(), uint32_t(docsPath.size())), root);

    Open(h, root, "Old", kModAlt);
    EXPECT_EQ(CAppHarness::Title(root), "Old");
    EXPECT_EQ(Rows(root), (std::vector<std::string>{"Notes.txt", "Older"}));
}

TEST_F(FolderWindowsTest, TheParentOfASubFolderIsItsFolderAndOfAFirstLevelFolderFiles)
{
    CMyFolderWin* root = OpenRoot(h);
    ASSERT_NE(root, nullptr);
    Open(h, root, "Docs", kModAlt);
    Open(h, root, "Old", kModAlt);
    ASSERT_EQ(CAppHarness::Title(root), "Old");

    // Ctrl+Up in the front folder window: a new window for the parent.
    root->BringToFront();
    h.Key(kKeyUp, 0, kModCtrl);
    WaitIdle(h);
    CMyFolderWin* docs = FolderWin(h, "Docs");
    ASSERT_NE(docs, nullptr);
    EXPECT_EQ(WinPath(docs), PathRecord({"Docs"}));
    EXPECT_TRUE(HasRow(docs, "Guide.txt"));

    // From a first-level folder the parent is the root window "Files".
    h.Key(kKeyUp, 0, kModCtrl);
    WaitIdle(h);
    CMyFolderWin* files = h.App().GetRootFolderWin();
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(CAppHarness::Title(files), "Files");
    EXPECT_EQ(CWindow::GetFrontWindow(), files);
    EXPECT_EQ(FolderWins(h).size(), 3u);

    // With Alt the window goes up itself; an open root window is brought forward instead.
    h.App().DoCloseWindow(files);
    h.App().DoFileOpenParent(docs, kModAlt);
    WaitIdle(h);
    EXPECT_EQ(CAppHarness::Title(docs), "Files");
    EXPECT_EQ(docs->GetPathSize(), 0u);
    EXPECT_TRUE(HasRow(docs, "Read Me.txt"));
    const size_t windows = FolderWins(h).size();
    h.App().DoFileOpenParent(docs, kModAlt); // the root has no parent
    EXPECT_EQ(FolderWins(h).size(), windows);
}

TEST_F(FolderWindowsTest, OpenParentActsOnlyWhenAFolderWindowIsInFront)
{
    CMyFolderWin* root = OpenRoot(h);
    ASSERT_NE(root, nullptr);
    Open(h, root, "Docs");
    ASSERT_NE(FolderWin(h, "Docs"), nullptr);
    h.App().DoShowTasksWin();
    h.App().Features().Windows().Tasks()->BringToFront();
    const size_t listings = Listings();
    h.Key(kKeyUp, 0, kModCtrl);
    WaitIdle(h);
    EXPECT_EQ(Listings(), listings);
    EXPECT_EQ(FolderWins(h).size(), 2u);
}

TEST_F(FolderWindowsTest, RefreshShowsWhatChangedOnTheServerKeepsTheSelectionAndWithoutOneFilesDoNothing)
{
    CMyFolderWin* root = OpenRoot(h);
    ASSERT_NE(root, nullptr);
    h.WriteSharedFile("New.txt", "new");
    EXPECT_FALSE(HasRow(root, "New.txt"));
    // The last row: the new file sorts before it and moves it down. A command chosen for it just
    // before the new listing came must still find it.
    const uint32_t last = root->View()->GetItemCount();
    ASSERT_GT(last, 0u);
    root->View()->SelectOnly(last);
    uint8_t selected[256], after[256];
    root->View()->GetSelectedFileName(selected);
    h.Hit(root, kHitFileRefresh);
    WaitIdle(h);
    EXPECT_TRUE(HasRow(root, "New.txt"));
    root->View()->GetSelectedFileName(after);
    EXPECT_EQ(CAppHarness::Str(after), CAppHarness::Str(selected));
    EXPECT_EQ(root->View()->GetSelectedCount(), 1u);

    root->View()->DeselectAll();
    const size_t requests = h.server.Received().size();
    h.Hit(root, kHitFileList);
    h.Hit(root, kHitFileGetInfo);
    h.Hit(root, kHitFileDelete);
    h.Hit(root, kHitFilePreview);
    WaitIdle(h);
    EXPECT_EQ(h.server.Received().size(), requests);
    EXPECT_TRUE(h.boxes.empty());
}

TEST_F(FolderWindowsTest, CtrlAltFClosesEveryFolderWindowAndTheSessionsEndDoesToo)
{
    CMyFolderWin* root = OpenRoot(h);
    ASSERT_NE(root, nullptr);
    Open(h, root, "Docs");
    ASSERT_EQ(FolderWins(h).size(), 2u);
    h.Key('F', 'f', kModCtrl | kModAlt);
    EXPECT_TRUE(FolderWins(h).empty());
    EXPECT_EQ(h.App().Features().FolderWins().GetItemCount(), 0u);

    ASSERT_NE(OpenRoot(h), nullptr);
    h.App().DoDisconnect();
    EXPECT_TRUE(FolderWins(h).empty());
    // Without a session there is nothing to open.
    h.App().DoShowPublicFiles();
    EXPECT_TRUE(FolderWins(h).empty());
}

TEST_F(FolderWindowsTest, AListingForAWindowSentElsewhereMeanwhileIsDropped)
{
    CMyFolderWin* root = OpenRoot(h);
    ASSERT_NE(root, nullptr);
    // The listing of Docs is asked for, and before it arrives the window goes back to the root.
    STestReply silent;
    silent.answer = false;
    h.server.SetReply(200, silent);
    Select(root, "Docs");
    h.Hit(root, kHitFileList, 0, kModAlt);
    ASSERT_TRUE(h.WaitUntil([&] { return h.server.CountReceived(200) == 2; }, "the Docs listing request"));
    h.App().DoFileOpenParent(root, kModAlt);
    EXPECT_EQ(CAppHarness::Title(root), "Files");
    EXPECT_TRUE(Rows(root).empty());
    // What the Docs listing brings finds no window of that path (the listing task looks it up so).
    const std::string docsPath = PathRecord({"Docs"});
    EXPECT_EQ(h.App().GetFolderWinByPath(docsPath.data(), uint32_t(docsPath.size())), nullptr);
    EXPECT_TRUE(Rows(root).empty());
}
