// File information through the whole client: what the window shows, and what Save sends for a name and
// a comment that were edited, left alone or emptied.
#include <gtest/gtest.h>

#include "client/app/AppNumbers.h"
#include "client/files/CMyFileInfoWin.h"
#include "client/files/CMyFolderWin.h"
#include "framework/ui/CTextView.h"
#include "tests/client/files/FilesTestSupport.h"

using namespace filestest;

namespace
{
class FileInfoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.WriteSharedFile("Report.txt", std::string(2048, 'r'));
        h.WriteSharedFile("Drop Box/");
        h.model.comments["Report.txt"] = "quarterly figures";
        h.model.guestAccess = CServerModel::AllAccess();
        h.Start();
        ASSERT_TRUE(h.Login());
        root = OpenRoot(h);
        ASSERT_NE(root, nullptr);
    }

    CMyFileInfoWin* OpenInfo(const std::string& name)
    {
        Select(root, name);
        h.Hit(root, kHitFileGetInfo);
        WaitIdle(h);
        const auto wins = h.Windows<CMyFileInfoWin>();
        return wins.empty() ? nullptr : wins.back();
    }

    // Saves and waits for the server's answer and the listing that follows it.
    STestTransaction Save(CMyFileInfoWin* win)
    {
        h.Hit(win, kHitFileSaveInfo);
        WaitIdle(h);
        const auto sent = h.Requests(207);
        return sent.empty() ? STestTransaction{} : sent.back();
    }

    CAppHarness h;
    CMyFolderWin* root = nullptr;
};
} // namespace

TEST_F(FileInfoTest, TheWindowShowsTheItemAndSaveWaitsForAnEdit)
{
    CMyFileInfoWin* win = OpenInfo("Report.txt");
    ASSERT_NE(win, nullptr);
    EXPECT_EQ(CAppHarness::Title(win), "Report.txt");
    EXPECT_EQ(win->GetNameField()->GetText(), "Report.txt");
    EXPECT_EQ(win->GetCommentField()->GetText(), "quarterly figures");
    EXPECT_EQ(win->GetValueText(0), "TEXT");
    EXPECT_EQ(win->GetValueText(1), "ttxt");
    EXPECT_EQ(win->GetValueText(2), "2K (2,048 bytes)");
    EXPECT_FALSE(win->GetValueText(3).empty());
    EXPECT_EQ(win->GetIconID(), 404);
    EXPECT_FALSE(win->IsSaveEnabled());
    h.Hit(win, kHitFileSaveInfo);
    WaitIdle(h);
    EXPECT_TRUE(h.Requests(207).empty());

    CMyFileInfoWin* folder = OpenInfo("Drop Box");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->GetValueText(2), "n/a");
    EXPECT_EQ(folder->GetIconID(), 421);
}

TEST_F(FileInfoTest, ARenameWithAnUntouchedCommentSendsNoCommentAndTheListShowsTheNewName)
{
    CMyFileInfoWin* win = OpenInfo("Report.txt");
    ASSERT_NE(win, nullptr);
    win->GetNameField()->SetText(CAppHarness::P("Summary.txt").data());
    EXPECT_TRUE(win->IsSaveEnabled());
    const STestTransaction sent = Save(win);
    EXPECT_EQ(CAppHarness::Field(sent, 201), "Report.txt");
    EXPECT_EQ(CAppHarness::Field(sent, 211), "Summary.txt");
    EXPECT_TRUE(testwire::CFields::Find(sent.body, 210).empty());
    EXPECT_EQ(testwire::CFields::Parse(sent.body).size(), 2u); // name and new name; the root has no path
    EXPECT_TRUE(h.Windows<CMyFileInfoWin>().empty());
    EXPECT_TRUE(h.SharedExists("Summary.txt"));
    EXPECT_FALSE(h.SharedExists("Report.txt"));
    // The comment went with the file, and the window shows the new name without a refresh.
    EXPECT_EQ(h.model.comments["Summary.txt"], "quarterly figures");
    EXPECT_EQ(Rows(root), (std::vector<std::string>{"Drop Box", "Summary.txt"}));
}

TEST_F(FileInfoTest, ADeletedCommentSendsOneZeroByteAndAnUntouchedNameNone)
{
    CMyFileInfoWin* win = OpenInfo("Report.txt");
    ASSERT_NE(win, nullptr);
    win->GetCommentField()->SetText(nullptr, 0);
    const STestTransaction sent = Save(win);
    EXPECT_EQ(CAppHarness::Field(sent, 210), std::string(1, '\0'));
    EXPECT_TRUE(CAppHarness::Field(sent, 211).empty());
    EXPECT_EQ(h.model.comments.count("Report.txt"), 0u);
    EXPECT_TRUE(h.SharedExists("Report.txt"));

    win = OpenInfo("Report.txt");
    ASSERT_NE(win, nullptr);
    EXPECT_EQ(win->GetCommentField()->GetText(), "");
    win->GetCommentField()->SetText(CAppHarness::P("new words").data());
    EXPECT_EQ(CAppHarness::Field(Save(win), 210), "new words");
    EXPECT_EQ(h.model.comments["Report.txt"], "new words");
}

TEST_F(FileInfoTest, AnEmptiedNameIsRefusedWithABeepAndTheWindowStays)
{
    CMyFileInfoWin* win = OpenInfo("Report.txt");
    ASSERT_NE(win, nullptr);
    win->GetNameField()->SetText(nullptr, 0);
    h.Hit(win, kHitFileSaveInfo);
    WaitIdle(h);
    EXPECT_TRUE(h.Requests(207).empty());
    EXPECT_EQ(h.Windows<CMyFileInfoWin>().size(), 1u);
}

TEST_F(FileInfoTest, ARenameTheServerRefusesShowsItsTextAndChangesNothing)
{
    h.WriteSharedFile("Summary.txt", "x");
    CMyFileInfoWin* win = OpenInfo("Report.txt");
    ASSERT_NE(win, nullptr);
    win->GetNameField()->SetText(CAppHarness::P("Summary.txt").data());
    Save(win);
    ASSERT_TRUE(h.WaitUntil([&] { return !h.boxes.empty(); }, "the server's text"));
    EXPECT_TRUE(h.HasBoxTitled("Server Message", "An item of that name already exists."));
    EXPECT_TRUE(h.SharedExists("Report.txt"));
}

TEST_F(FileInfoTest, InformationWindowsCloseWithTheirSessionAndByTheirCloseBox)
{
    CMyFileInfoWin* win = OpenInfo("Report.txt");
    ASSERT_NE(win, nullptr);
    h.Hit(win, kHitCloseBox);
    EXPECT_TRUE(h.Windows<CMyFileInfoWin>().empty());
    ASSERT_NE(OpenInfo("Report.txt"), nullptr);
    h.App().DoDisconnect();
    EXPECT_TRUE(h.Windows<CMyFileInfoWin>().empty());
}
