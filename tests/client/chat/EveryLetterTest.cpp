// Accented letters, typographic quotes and signs through the whole client: typed, sent, relayed by the
// server and shown again, in every kind of conversation and in names; and characters the client's
// character set lacks, which are marked as they are typed and go as '?' only when the user agrees.
#include <QPlainTextEdit>
#include <QString>
#include <QTextEdit>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>

#include "client/app/AppNumbers.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/chat/CMySendPrivMsgWin.h"
#include "client/news/CMyBroadcastWin.h"
#include "client/news/CMyEnterMsgWin.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/runtime/MacRoman.h"
#include "framework/ui/UiText.h"
#include "tests/client/chat/ChatFixture.h"

namespace
{
class EveryLetter : public ChatFixture
{
protected:
    // Every character a user can type, once: printable ASCII and the whole upper half but the no-break
    // space, which goes as the blank it looks like.
    static std::string Letters()
    {
        std::string bytes;
        for (int b = 0x20; b <= 0xFF; ++b)
            if (b != 0x7F && b != 0xCA) bytes += char(b);
        return bytes;
    }
    // The same as the user sees it, character by character from the character set's table.
    static QString Shown(const std::string& bytes)
    {
        QString s;
        for (char c : bytes)
            s += QChar(char16_t(MacRomanToUnicode(uint8_t(c))));
        return s;
    }
    static QString Plain(CTextView* view) { return view->TextEdit()->toPlainText(); }

    uint16_t MyUserID() const
    {
        const CMyUserListView* users = app->Features().Windows().Users()->View();
        for (uint32_t row = 1; row <= users->GetItemCount(); ++row)
            if (CAppHarness::Str(users->GetItem(row)->name) ==
                CAppHarness::Str(app->Features().Settings().userName))
                return users->GetItem(row)->id;
        return 0;
    }
};

TEST_F(EveryLetter, PublicAndPrivateChatsKeepEveryLetter)
{
    const std::string letters = Letters();
    SayInPublic(letters);
    ASSERT_TRUE(WaitForRequests(105, 1));
    EXPECT_EQ(CAppHarness::Field(h.Requests(105)[0], 101), letters);
    ASSERT_TRUE(WaitForChat("tester:  " + letters));
    EXPECT_EQ(Plain(app->Features().Windows().Chat()->GetChatView()), "tester:  " + Shown(letters));

    // A private chat the server opens with the user alone in it.
    h.model.nextChatID = 44;
    CMyUserListView* users = app->Features().Windows().Users()->View();
    users->SelectOnly(users->FindUser(kRobin));
    h.Hit(app->Features().Windows().Users(), kHitOpenPrivateChat);
    ASSERT_TRUE(h.WaitUntil([&] { return app->GetChatWinByID(44) != nullptr; }, "the private chat"));
    CMyChatWin* chat = app->GetChatWinByID(44);
    Say(chat, chat->GetSendView(), kHitPrivChatSend, letters);
    ASSERT_TRUE(WaitForRequests(105, 2));
    EXPECT_EQ(CAppHarness::Field(h.Requests(105)[1], 101), letters);
    ASSERT_TRUE(h.WaitUntil([&] { return chat->GetChatView()->GetText() == "tester:  " + letters; },
                            "the private chat's echo"));
    EXPECT_EQ(Plain(chat->GetChatView()), "tester:  " + Shown(letters));
    EXPECT_TRUE(h.boxes.empty()); // nothing to ask about
}

TEST_F(EveryLetter, MessagesNewsAndBroadcastsKeepEveryLetter)
{
    const std::string letters = Letters();
    // A message to oneself comes back from the server as any message would.
    h.OnModal<CMySendPrivMsgWin>(
        [&](CMySendPrivMsgWin& w)
        {
            w.SetText(letters.data(), uint32_t(letters.size()));
            w.Hit(CMySendPrivMsgWin::kHitSend);
        });
    const auto me = CAppHarness::P("tester");
    app->DoSendPrivMsg(MyUserID(), me.data());
    ASSERT_TRUE(WaitForRequests(108, 1));
    EXPECT_EQ(CAppHarness::Field(h.Requests(108)[0], 101), letters);
    ASSERT_TRUE(h.WaitUntil([&] { return h.Windows<CMyPrivMsgWin>().size() == 1; }, "the message"));
    CTextView* message = h.Windows<CMyPrivMsgWin>().front()->GetTextView();
    EXPECT_EQ(message->GetText(), letters);
    EXPECT_EQ(Plain(message), Shown(letters));

    // The server puts the article on top of the news, with its author above it.
    h.OnModal<CMyEnterMsgWin>(
        [&](CMyEnterMsgWin& w)
        {
            w.GetTextView()->SetText(letters.data(), uint32_t(letters.size()));
            w.Hit(CMyTextEntryWin::kHitSend);
        });
    h.MenuItem(kItemPostNews);
    ASSERT_TRUE(WaitForRequests(103, 1));
    EXPECT_EQ(CAppHarness::Field(h.Requests(103)[0], 101), letters);
    ASSERT_TRUE(h.WaitUntil([&] { return h.NewsText().find(letters) != std::string::npos; }, "the article"));

    // Broadcasts go to everybody else: what leaves is what was typed.
    h.OnModal<CMyBroadcastWin>(
        [&](CMyBroadcastWin& w)
        {
            w.GetTextView()->SetText(letters.data(), uint32_t(letters.size()));
            w.Hit(CMyTextEntryWin::kHitSend);
        });
    h.Hit(app->Features().Windows().Toolbar(), kHitBroadcast);
    ASSERT_TRUE(WaitForRequests(355, 1));
    EXPECT_EQ(CAppHarness::Field(h.Requests(355)[0], 101), letters);
    EXPECT_TRUE(h.boxes.empty());
}

TEST_F(EveryLetter, NamesWithAccentsReachTheUsersListAndTheChat)
{
    // Zoë, who logs in, and Renée, who is already there.
    h.model.extraUsers.push_back({901, 410, 0,
                                  "Ren\x8E"
                                  "e"});
    app->DoDisconnect();
    SetName(app->Features().Settings().userName, "Zo\x91");
    ASSERT_TRUE(h.Login());
    const auto names = h.OnlineUserNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "Zo\x91"), names.end());
    const CMyUserListView* users = app->Features().Windows().Users()->View();
    const SMyUserListItem* renee = users->GetItem(users->FindUser(901));
    ASSERT_NE(renee, nullptr);
    EXPECT_EQ(PStringToQString(renee->name), QString::fromUtf8("Ren\u00e9e"));

    SayInPublic("hello");
    ASSERT_TRUE(WaitForChat("Zo\x91:  hello"));
    EXPECT_EQ(Plain(app->Features().Windows().Chat()->GetChatView()), QString::fromUtf8("Zo\u00eb:  hello"));
}

TEST_F(EveryLetter, CharactersTheSetLacksAreMarkedAndGoAsQuestionMarksOnlyWhenAgreed)
{
    CTextView* entry = app->Features().Windows().Chat()->GetSendView();
    // A smiling face and a grinning one (outside the basic plane); the accent typed after its letter
    // composes into a letter the set has.
    entry->TextEdit()->setPlainText(QString::fromUtf8("cafe\u0301 \u263A and \U0001F600"));
    EXPECT_EQ(entry->CountUnencodable(), 2u);
    const QList<QTextEdit::ExtraSelection> marks = entry->TextEdit()->extraSelections();
    ASSERT_EQ(marks.size(), 2);
    EXPECT_EQ(marks[0].cursor.selectedText(), QString::fromUtf8("\u263A"));
    EXPECT_EQ(marks[1].cursor.selectedText(), QString::fromUtf8("\U0001F600"));

    // Declined: nothing goes, and the text stays for mending.
    h.boxAnswers.push_back(2);
    h.Hit(app->Features().Windows().Chat(), 1004, 1);
    ASSERT_EQ(h.boxes.size(), 1u);
    EXPECT_NE(h.boxes[0].text.find("2 characters"), std::string::npos);
    EXPECT_EQ(entry->CountUnencodable(), 2u);

    // Agreed: one question for both, and they go as '?'.
    h.boxAnswers.push_back(1);
    h.Hit(app->Features().Windows().Chat(), 1004, 1);
    ASSERT_TRUE(WaitForRequests(105, 1));
    h.Pump();
    ASSERT_EQ(h.Requests(105).size(), 1u); // the declined line never went
    EXPECT_EQ(CAppHarness::Field(h.Requests(105)[0], 101), "caf\x8E ? and ?");
    EXPECT_EQ(h.boxes.size(), 2u);
    EXPECT_TRUE(entry->IsEmpty());
    EXPECT_TRUE(entry->TextEdit()->extraSelections().isEmpty());

    // The message dialog asks the same, once.
    h.OnModal<CMySendPrivMsgWin>(
        [](CMySendPrivMsgWin& w)
        {
            w.GetTextView()->TextEdit()->setPlainText(QString::fromUtf8("\u2603 \u2603"));
            w.Hit(CMySendPrivMsgWin::kHitSend);
        });
    const auto robin = CAppHarness::P("Robin");
    app->DoSendPrivMsg(kRobin, robin.data());
    ASSERT_TRUE(WaitForRequests(108, 1));
    EXPECT_EQ(CAppHarness::Field(h.Requests(108)[0], 101), "? ?");
    EXPECT_EQ(h.boxes.size(), 3u);
}
} // namespace
