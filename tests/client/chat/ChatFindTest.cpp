// Finding in a conversation: the command opens the bar of the front window's text, which counts the
// matches as the user types and steps through them with the keys.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <string>

#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CFindBar.h"
#include "tests/client/chat/ChatFixture.h"

namespace
{
using ChatFind = ChatFixture;

TEST_F(ChatFind, TheBarCountsEveryMatchAndStepsThroughThemBothWays)
{
    for (const char* text : {"\rRobin:  Boats are nice", "\rRobin:  I like BOATS", "\rKim:  no boats here",
                             "\rRobin:  sailboats?"})
        h.server.PushTransaction(106, ChatLine(text));
    ASSERT_TRUE(
        h.WaitUntil([&] { return h.ChatText().find("sailboats") != std::string::npos; }, "the lines"));
    CMyOldChatWin* chat = app->Features().Windows().Chat();
    chat->BringToFront();
    // Ctrl+Shift+F; Ctrl+F stays the files' key.
    h.Key('F', 'f', kModCtrl | kModShift);
    CFindBar* bar = CFindBar::Of(chat->GetChatView());
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(h.WaitUntil([&] { return bar->IsOpen(); }, "the find bar"));

    QTest::keyClicks(bar->Entry(), "boat");
    EXPECT_EQ(bar->Count(), 4u) << "case is ignored by default";
    EXPECT_EQ(bar->Status(), "1 of 4");
    QTest::keyClick(bar->Entry(), Qt::Key_Return);
    EXPECT_EQ(bar->Status(), "2 of 4");
    QTest::keyClick(bar->Entry(), Qt::Key_F3);
    EXPECT_EQ(bar->Status(), "3 of 4");
    QTest::keyClick(bar->Entry(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(bar->Entry(), Qt::Key_F3, Qt::ShiftModifier);
    QTest::keyClick(bar->Entry(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(bar->Status(), "4 of 4") << "stepping back from the first wraps to the last";
    // The text shows the current match, its insertion point at the match.
    EXPECT_EQ(chat->GetChatView()->TextEdit()->textCursor().position(),
              int(h.ChatText().find("sailboats") + 4 + 4));
    EXPECT_EQ(chat->GetChatView()->TextEdit()->extraSelections().size(), 4);

    bar->SetCaseSensitive(true);
    EXPECT_EQ(bar->Count(), 2u);
    QTest::keyClick(bar->Entry(), Qt::Key_A);
    EXPECT_EQ(bar->Status(), "No matches");
    QTest::keyClick(bar->Entry(), Qt::Key_Escape);
    EXPECT_FALSE(bar->IsOpen());
    EXPECT_TRUE(chat->GetChatView()->TextEdit()->extraSelections().isEmpty());
}
} // namespace
