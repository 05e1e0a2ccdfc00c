// The session windows: type-to-select, commands enabled by access rights, private chat titles and zoom,
// and the long-lived windows' start-up, show and close rules.
#include <QApplication>
#include <QTest>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/boxes/MsgBox.h"
#include "client/chat/CMyChatWin.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/chat/CMyPrivMsgWin.h"
#include "client/files/CMyFileListView.h"
#include "client/files/CMyFolderWin.h"
#include "client/tasks/CMyTaskListView.h"
#include "client/tasks/CMyTasksWin.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyTextWin.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UClock.h"
#include "framework/ui/CIconButtonView.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"
#include "tests/support/RunLoopWait.h"
#include "tests/support/TestDataFile.h"

namespace
{
void FillFolder(CMyFolderWin& win, std::initializer_list<std::pair<const char*, bool>> items)
{
    StFieldData fields;
    for (const auto& [name, isFolder] : items)
    {
        SFileEntry e{};
        e.type = isFolder ? 0x666C6472 /* fldr */ : 0x54455854 /* TEXT */;
        e.name[0] = uint8_t(std::strlen(name));
        std::memcpy(e.name + 1, name, e.name[0]);
        uint8_t record[300];
        UFieldData::AddField(fields, kFieldFileEntry, record, UFieldRecords::WriteFileEntry(e, record));
    }
    win.View()->AddListFromFields(fields);
}

SMyUserAccess Access(std::initializer_list<uint8_t> bytes)
{
    SMyUserAccess a{};
    size_t i = 0;
    for (uint8_t b : bytes)
        a.bytes[i++] = b;
    return a;
}

bool Enabled(CWindow& win, uint32_t id)
{
    CView* v = win.FindView(id);
    return v && v->IsEnabled();
}

std::string Title(const CWindow& win)
{
    return win.Widget()->windowTitle().toStdString();
}
} // namespace

TEST(FolderWindow, TypedLettersSelectTheFirstMatchOneSecondAfterTheLastKey)
{
    CMyFolderWin win;
    FillFolder(
        win, {{"alpha", false}, {"Readme", false}, {"spreadsheet", false}, {"zeta", false}, {"quiz", false}});
    win.Show();
    win.View()->SetFocus();
    QWidget* target = win.View()->Widget();

    StClockInHand clock;
    QTest::keyClicks(target, "RE");
    UClock::Advance(999);
    QTest::keyClick(target, 'a'); // a key within the second starts the wait again
    UClock::Advance(999);
    EXPECT_EQ(win.View()->GetSelectedCount(), 0u); // nothing yet: the user may still be typing
    UClock::Advance(1);
    ASSERT_EQ(win.View()->GetSelectedCount(), 1u);
    EXPECT_EQ(win.View()->GetFirstSelected(), 3u); // sorted: alpha, quiz, Readme, spreadsheet, zeta
    EXPECT_EQ(win.View()->GetSelectedCount(), 1u);

    // After a search the next letter starts a new one: "q" alone, not "reaq".
    QTest::keyClick(target, 'q');
    UClock::Advance(1000);
    EXPECT_EQ(win.View()->GetFirstSelected(), 2u);

    // Return searches at once; a text found nowhere leaves nothing selected.
    QTest::keyClicks(target, "xyz");
    QTest::keyClick(target, Qt::Key_Return);
    EXPECT_EQ(win.View()->GetSelectedCount(), 0u);
}

TEST(FolderWindow, ButtonsFollowAccessAndTheSelectedRow)
{
    CMyFolderWin win;
    FillFolder(win, {{"Docs", true}, {"file.txt", false}});
    // Download, upload and new folder allowed; deleting files not, deleting folders yes.
    win.SetAccess(Access({0x20 | 0x40 | 0x04 | 0x02}));
    EXPECT_TRUE(Enabled(win, kHitFileDownload));
    EXPECT_TRUE(Enabled(win, kHitFileUpload));
    EXPECT_TRUE(Enabled(win, kHitFileNewFolder));
    EXPECT_TRUE(Enabled(win, kHitFileGetInfo));
    EXPECT_FALSE(Enabled(win, kHitFileDelete)); // nothing selected counts as a file
    EXPECT_TRUE(Enabled(win, kHitFilePreview));

    win.View()->SelectOnly(1); // the folder: the selection change re-evaluates the buttons
    EXPECT_TRUE(Enabled(win, kHitFileDelete));
    EXPECT_FALSE(Enabled(win, kHitFilePreview)); // even though downloading is allowed
    win.View()->SelectOnly(2);
    EXPECT_FALSE(Enabled(win, kHitFileDelete));
    EXPECT_TRUE(Enabled(win, kHitFilePreview));

    win.SetAccess(Access({0x80}));
    EXPECT_FALSE(Enabled(win, kHitFileDownload));
    EXPECT_FALSE(Enabled(win, kHitFileUpload));
    EXPECT_FALSE(Enabled(win, kHitFileNewFolder));
    EXPECT_TRUE(Enabled(win, kHitFileDelete));
    EXPECT_TRUE(Enabled(win, kHitFileGetInfo));
}

TEST(FolderWindow, PathsAreBuiltFromTheParentsPath)
{
    const uint8_t level[] = {0, 0, 4, 'D', 'o', 'c', 's'};
    const std::vector<uint8_t> top = CMyFolderWin::MakePath(nullptr, 0, level, sizeof(level), 1);
    EXPECT_EQ(top, (std::vector<uint8_t>{0, 1, 0, 0, 4, 'D', 'o', 'c', 's'}));
    const uint8_t sub[] = {0, 0, 1, 'x'};
    const std::vector<uint8_t> deeper = CMyFolderWin::MakePath(top.data(), uint32_t(top.size()), sub, 4, 1);
    EXPECT_EQ(deeper.size(), top.size() + 4);
    EXPECT_EQ(deeper[1], 2);

    CMyFolderWin win;
    win.SetPath(deeper.data(), uint32_t(deeper.size()));
    EXPECT_TRUE(win.IsPathEqual(deeper.data(), uint32_t(deeper.size())));
    EXPECT_FALSE(win.IsPathEqual(top.data(), uint32_t(top.size())));
    EXPECT_NE(win.GetPathSum(), 0u);
}

TEST(UsersWindow, ButtonsFollowAccess)
{
    CMyUserListWin win;
    win.SetAccess(Access({0, 0x20, 0, 0}));
    EXPECT_TRUE(Enabled(win, kHitOpenPrivateChat));
    EXPECT_FALSE(Enabled(win, kHitGetClientInfo));
    EXPECT_FALSE(Enabled(win, kHitDisconnectUser));
    EXPECT_TRUE(Enabled(win, kHitSendPrivMsg));

    win.SetAccess(Access({0xFF, 0x9F, 0x02, 0x80}));
    EXPECT_FALSE(Enabled(win, kHitOpenPrivateChat));
    EXPECT_TRUE(Enabled(win, kHitGetClientInfo));
    EXPECT_TRUE(Enabled(win, kHitDisconnectUser));
    EXPECT_TRUE(Enabled(win, kHitSendPrivMsg));

    win.SetAccess(Access({}));
    EXPECT_FALSE(Enabled(win, kHitOpenPrivateChat));
    EXPECT_TRUE(Enabled(win, kHitSendPrivMsg));
}

TEST(PrivateChatWindow, SubjectTitlesAreCutAndZoomTogglesTheUserList)
{
    CMyChatWin win(77);
    const std::string subject(60, 's');
    win.SetSubject(subject.data(), uint32_t(subject.size()));
    const std::string title = Title(win);
    EXPECT_EQ(title.size(), 67u);
    EXPECT_EQ(title.substr(0, 15), "Private Chat:  ");
    EXPECT_EQ(title.substr(64), "...");
    win.SetSubject("", 0);
    EXPECT_EQ(Title(win), "Private Chat");
    win.SetSubject("News", 4);
    EXPECT_EQ(Title(win), "Private Chat:  News");

    win.Show();
    ASSERT_TRUE(PumpUntil([&] { return win.Widget()->width() == 565; }, "the window shown"));
    SRect send0;
    win.GetSendView()->GetParent()->GetBounds(send0);
    win.UserZoom();
    ASSERT_TRUE(PumpUntil([&] { return win.Widget()->width() == 565 - 205; }, "the narrower window"));
    EXPECT_FALSE(win.IsListVisible());
    EXPECT_FALSE(win.GetUserList()->GetParent()->IsVisible());
    SRect send1;
    win.GetSendView()->GetParent()->GetBounds(send1);
    EXPECT_EQ(send1.Width(), send0.Width()); // the other views keep their sizes

    win.UserZoom();
    ASSERT_TRUE(PumpUntil([&] { return win.Widget()->width() == 565; }, "the width restored"));
    EXPECT_TRUE(win.IsListVisible());
    EXPECT_TRUE(win.GetUserList()->GetParent()->IsVisible());
    win.GetSendView()->GetParent()->GetBounds(send1);
    EXPECT_EQ(send1.Width(), send0.Width());
}

TEST(PrivateMessageWindow, AQuotedMessageOpensItsPartAbove)
{
    CMyPrivMsgWin win;
    EXPECT_NE(win.GetReplyButton(), nullptr);
    EXPECT_FALSE(win.IsQuoteShown());
    SRect before, box0;
    win.GetBounds(before);
    win.GetTextView()->GetParent()->GetBounds(box0);
    win.SetQuotText("my question", 11);
    EXPECT_TRUE(win.IsQuoteShown());
    SRect after, box1;
    win.GetBounds(after);
    win.GetTextView()->GetParent()->GetBounds(box1);
    EXPECT_EQ(after.Height(), before.Height() + 110);
    EXPECT_EQ(box1.top, box0.top + 110);
    EXPECT_EQ(box1.Height(), box0.Height());

    CMyPrivMsgWin bare(true);
    EXPECT_EQ(bare.GetReplyButton(), nullptr);
    SRect small;
    bare.GetBounds(small);
    std::string longText;
    for (int i = 0; i < 60; ++i)
        longText += "line\r";
    bare.SetText(longText.data(), uint32_t(longText.size()));
    SRect grown;
    bare.GetBounds(grown);
    EXPECT_GT(grown.Height(), small.Height());
    EXPECT_LE(grown.Height(), 250 + 74);
}

namespace
{
class CWindowsApp : public CMyApplication
{
public:
    int closedPrivateChats = 0;
    void DoClosePrivateChat(CWindow*) override { ++closedPrivateChats; }
};
} // namespace

TEST(LongLivedWindows, StartUpShowsThemAndClosingHidesThem)
{
    UseBuiltDataFile();
    SetMsgBoxHook([](int16_t, const SMsgBox&) -> uint16_t { return 1; });
    {
        CWindowsApp app;
        app.StartUp();
        // These are the separate layout's windows (the main window's panes have a test of their own).
        app.Features().Windows().UseLayout(EMyLayout::kSeparate);
        for (CWindow* w : std::initializer_list<CWindow*>{
                 app.Features().Windows().Toolbar(), app.Features().Windows().Tasks(),
                 app.Features().Windows().News(), app.Features().Windows().Chat(),
                 app.Features().Windows().Users()})
        {
            ASSERT_NE(w, nullptr);
            EXPECT_TRUE(w->IsVisible());
        }
        EXPECT_EQ(Title(*app.Features().Windows().News()), "News");
        EXPECT_EQ(Title(*app.Features().Windows().Chat()), "Chat");
        EXPECT_EQ(Title(*app.Features().Windows().Tasks()), "Tasks");
        EXPECT_EQ(Title(*app.Features().Windows().Users()), "Online Users");

        // The tasks window shows the application's task rows.
        app.AddTask(reinterpret_cast<CMyTask*>(0x40), nullptr);
        EXPECT_EQ(app.Features().Windows().Tasks()->View()->GetItemCount(), 1u);
        app.RemoveTask(reinterpret_cast<CMyTask*>(0x40));

        app.Features().Windows().Chat()->AppendChat("hello", 5);
        app.DoCloseWindow(app.Features().Windows().Chat());
        EXPECT_FALSE(app.Features().Windows().Chat()->IsVisible());
        app.DoShowChatWin();
        EXPECT_TRUE(app.Features().Windows().Chat()->IsVisible());
        EXPECT_EQ(app.Features().Windows().Chat()->GetChatView()->GetText(), "hello");

        // A visible window behind another comes to the front.
        app.DoShowNewsWin();
        EXPECT_EQ(CWindow::GetFrontWindow(), app.Features().Windows().News());
        app.DoShowConnectedUsersWin();
        EXPECT_EQ(CWindow::GetFrontWindow(), app.Features().Windows().Users());

        // Session windows are destroyed (folders leave their list); private chats go to their command.
        SMyUserAccess all;
        all.SetAll();
        const uint8_t title[] = "\x05"
                                "Files";
        CMyFolderWin* folder = app.Features().FolderWins().Open(nullptr, 0, title, all);
        app.Features().FolderWins().Open(nullptr, 0, title, all);
        app.DoCloseWindow(folder);
        EXPECT_EQ(app.Features().FolderWins().GetItemCount(), 1u);
        app.DoCloseAllFileWindows();
        EXPECT_EQ(app.Features().FolderWins().GetItemCount(), 0u);
        auto* chat = new CMyChatWin(5);
        app.DoCloseWindow(chat);
        EXPECT_EQ(app.closedPrivateChats, 1);
        delete chat;
        app.DoCloseWindow(new CMyPrivMsgWin);
        app.DoCloseWindow(nullptr);
    }
    SetMsgBoxHook(nullptr);
    UApplication::Process();
}
