// The box a chat is typed into: lines sent come back with Up and Down, Tab completes names, and a box
// the user cannot send from is off and says why.
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <string>

#include "client/chat/CMyChatEntry.h"
#include "client/widgets/CMyUserListView.h"
#include "tests/client/chat/ChatFixture.h"

namespace
{
using ChatEntry = ChatFixture;

TEST_F(ChatEntry, UpAndDownBringBackTheLinesSentFromThatWindow)
{
    CMyOldChatWin* chat = app->Features().Windows().Chat();
    QPlainTextEdit* edit = chat->GetSendView()->TextEdit();
    SayInPublic("first");
    SayInPublic("second");
    ASSERT_TRUE(WaitForRequests(105, 2));
    QTest::keyClicks(edit, "draft");
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(chat->GetSendText(), "second");
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(chat->GetSendText(), "first");
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(chat->GetSendText(), "first") << "past the oldest line";
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(chat->GetSendText(), "second");
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(chat->GetSendText(), "draft") << "what was being typed comes back";
    // A recalled line is sent like a typed one.
    QTest::keyClick(edit, Qt::Key_Up);
    h.Hit(chat, 1004, 1);
    ASSERT_TRUE(WaitForRequests(105, 3));
    EXPECT_EQ(CAppHarness::Field(h.Requests(105)[2], 101), "second");

    // Only the last 50 are kept.
    for (int i = 0; i < 60; ++i)
        chat->Entry().Remember("line " + std::to_string(i));
    ASSERT_EQ(chat->Entry().History().size(), CMyChatEntry::kHistoryLines);
    EXPECT_EQ(chat->Entry().History().front(), "line 10");
}

TEST_F(ChatEntry, TabCompletesTheNamesOfTheChatsUsers)
{
    CMyOldChatWin* chat = app->Features().Windows().Chat();
    QPlainTextEdit* edit = chat->GetSendView()->TextEdit();
    QTest::keyClicks(edit, "ro");
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(chat->GetSendText(), "Robin: ");
    QTest::keyClicks(edit, "ask te");
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(chat->GetSendText(), "Robin: ask tester ");
    // No name fits: nothing changes, and no tab goes into the text.
    QTest::keyClicks(edit, "zz");
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(chat->GetSendText(), "Robin: ask tester zz");
}

TEST_F(ChatEntry, APrivateChatsEntryCompletesItsMembersAndIsOffOnceEnded)
{
    CMyChatWin* chat =
        CMyChatWin::Open(7, app->Features().Settings().colorChat, app->Features().Session().Access(), 100);
    chat->GetUserList()->AddUser(kRobin, 410, 0, "Robin", 5);
    chat->GetUserList()->AddUser(901, 410, 0, "Rowan", 5);
    QPlainTextEdit* edit = chat->GetSendView()->TextEdit();
    QTest::keyClicks(edit, "R");
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(chat->GetSendText(), "Robin: ");
    // Tab again takes the next name that fits what was typed.
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(chat->GetSendText(), "Rowan: ");

    EXPECT_TRUE(chat->GetSendView()->IsEnabled());
    chat->SetEnded();
    EXPECT_TRUE(chat->IsEnded());
    EXPECT_FALSE(chat->GetSendView()->IsEnabled());
    EXPECT_EQ(chat->GetSendView()->GetPlaceholder(), "This private chat has ended.");
    delete chat;
}
} // namespace
