// Private messages through the whole client: writing, answering with the quotation, the windows of
// those that arrive, and the automatic response and refusal.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/app/CMyMainWindow.h"
#include "client/chat/CMyAutoReplies.h"
#include "client/chat/CMyConversationWin.h"
#include "client/chat/CMyPrivMsgWin.h"
#include "client/chat/CMySendPrivMsgWin.h"
#include "framework/net/UFieldData.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/UClock.h"
#include "framework/ui/CButtonView.h"
#include "tests/client/chat/ChatFixture.h"

namespace
{
class PrivateMessages : public ChatFixture
{
protected:
    static std::string Message(const std::string& text, uint16_t options = 1, const std::string& quote = "",
                               uint16_t senderID = kRobin, const std::string& senderName = "Robin")
    {
        testwire::CFields fields;
        fields.AddInteger(103, senderID).Add(102, senderName).AddInteger(113, options).Add(101, text);
        if (!quote.empty()) fields.Add(214, quote);
        return fields.Bytes();
    }
    // DoShowMessage as the server message and broadcast handlers call it.
    void Deliver(const std::string& body, bool isBroadcast)
    {
        StFieldData fields;
        for (const auto& [id, data] : testwire::CFields::Parse(body))
            UFieldData::AddField(fields, id, data.data(), uint32_t(data.size()));
        app->DoShowMessage(fields, isBroadcast);
    }
    static std::string Integer16(uint16_t value) { return testwire::BE16(value); }
};

TEST_F(PrivateMessages, AMessageIsShownAndAnsweredWithItsQuotation)
{
    h.server.PushTransaction(104, Message("Lunch at noon?", 1, "Are you around?"));
    ASSERT_TRUE(h.WaitUntil([&] { return h.Windows<CMyPrivMsgWin>().size() == 1; }, "the message window"));
    CMyPrivMsgWin* message = h.Windows<CMyPrivMsgWin>().front();
    EXPECT_EQ(CAppHarness::Title(message), "Private message from: Robin");
    EXPECT_EQ(message->GetTextView()->GetText(), "Lunch at noon?");
    EXPECT_TRUE(message->IsQuoteShown());
    EXPECT_EQ(message->GetQuotView()->GetText(), "Are you around?");
    ASSERT_NE(message->GetReplyButton(), nullptr);

    // An empty answer is refused and the dialog stays; then the answer goes with the quotation.
    h.OnModal<CMySendPrivMsgWin>(
        [](CMySendPrivMsgWin& w)
        {
            EXPECT_EQ(w.GetRecipient(), "Robin");
            w.Hit(CMySendPrivMsgWin::kHitSend);
        });
    h.OnModal<CMySendPrivMsgWin>(
        [](CMySendPrivMsgWin& w)
        {
            w.SetText("Yes!", 4);
            w.Hit(CMySendPrivMsgWin::kHitSend);
        });
    const uint32_t modalsBefore = h.modalCount;
    h.Hit(message, kHitReplyPrivMsg);
    EXPECT_EQ(h.modalCount, modalsBefore + 2);
    ASSERT_TRUE(WaitForRequests(108, 1));
    const auto sent = h.Requests(108)[0];
    EXPECT_EQ(CAppHarness::Field(sent, 103), Integer16(kRobin));
    EXPECT_EQ(CAppHarness::Field(sent, 113), Integer16(1));
    EXPECT_EQ(CAppHarness::Field(sent, 101), "Yes!");
    EXPECT_EQ(CAppHarness::Field(sent, 214), "Lunch at noon?");
    EXPECT_TRUE(h.Windows<CMyPrivMsgWin>().empty()); // answered
}

TEST_F(PrivateMessages, TheAutomaticResponseAnswersAndTheRefusalDrops)
{
    app->Features().Settings().automaticResponse = 1;
    app->Features().Settings().refusePrivateMsg = 1;
    SetName(app->Features().Settings().automaticResponseText, "Gone sailing.");
    Deliver(Message("Hello?"), false);
    ASSERT_TRUE(WaitForRequests(108, 1));
    auto sent = h.Requests(108);
    EXPECT_EQ(CAppHarness::Field(sent[0], 103), Integer16(kRobin));
    EXPECT_EQ(CAppHarness::Field(sent[0], 113), Integer16(2));
    EXPECT_EQ(CAppHarness::Field(sent[0], 101), "Gone sailing.");
    EXPECT_EQ(CAppHarness::Field(sent[0], 214), "");
    EXPECT_TRUE(h.Windows<CMyPrivMsgWin>().empty());

    // Refusing without the automatic response: the sender is told so.
    app->Features().Settings().automaticResponse = 0;
    Deliver(Message("Hello??"), false);
    ASSERT_TRUE(WaitForRequests(108, 2));
    sent = h.Requests(108);
    EXPECT_EQ(CAppHarness::Field(sent[1], 113), Integer16(2));
    EXPECT_EQ(CAppHarness::Field(sent[1], 101), "tester does't accept private messages!");
    EXPECT_TRUE(h.Windows<CMyPrivMsgWin>().empty());

    // A broadcast is dropped with private messages, and nobody is told.
    Deliver(Message("Server going down"), true);
    EXPECT_TRUE(h.Windows<CMyPrivMsgWin>().empty());
}

// Every message was answered: a burst of them had the client send as many answers, and two programs
// that answer answers would echo without end.
TEST_F(PrivateMessages, TheAutomaticResponseAnswersEachUserOnceInTenMinutes)
{
    StClockInHand clock;
    app->Features().Settings().automaticResponse = 1;
    SetName(app->Features().Settings().automaticResponseText, "Gone sailing.");
    auto recipients = [&]
    {
        std::vector<std::string> to;
        for (const auto& sent : h.Requests(108))
            to.push_back(CAppHarness::Field(sent, 103));
        return to;
    };
    const std::string robin = Integer16(kRobin), sam = Integer16(901), kim = Integer16(902);
    for (int i = 0; i < 5; ++i)
        Deliver(Message("Hello?"), false);
    Deliver(Message("Hi", 1, "", 901, "Sam"), false);
    // Kim's answer goes out after anything the burst might have sent.
    Deliver(Message("Hey", 1, "", 902, "Kim"), false);
    ASSERT_TRUE(WaitForRequests(108, 3));
    EXPECT_EQ(recipients(), (std::vector<std::string>{robin, sam, kim}));

    UClock::Advance(CMyAutoReplies::kIntervalMs - 1);
    Deliver(Message("Still there?"), false);
    UClock::Advance(1);
    Deliver(Message("Now?"), false);
    Deliver(Message("Hey again", 1, "", 902, "Kim"), false);
    ASSERT_TRUE(WaitForRequests(108, 5));
    EXPECT_EQ(recipients(), (std::vector<std::string>{robin, sam, kim, robin, kim}));
    // Every message was shown all the same.
    EXPECT_EQ(h.Windows<CMyPrivMsgWin>().size(), 10u);
}

// The memory of who was answered stays small whatever the server does, and never forgets an answer
// within its ten minutes; user ids of another session are other users.
TEST(AutoReplies, AnswersAreKeptForTheirTenMinutesAndPerSession)
{
    StClockInHand clock;
    using EKind = CMyAutoReplies::EKind;
    CMyAutoReplies replies;
    for (uint16_t id = 1; id <= 300; ++id)
        ASSERT_TRUE(replies.Take(1, id, EKind::Response));
    UClock::Advance(CMyAutoReplies::kIntervalMs);
    for (uint16_t id = 301; id <= 600; ++id)
        ASSERT_TRUE(replies.Take(1, id, EKind::Response));
    EXPECT_TRUE(replies.Take(1, 1, EKind::Response));
    EXPECT_FALSE(replies.Take(1, 1, EKind::Response));
    EXPECT_FALSE(replies.Take(1, 450, EKind::Response));
    // The refusal is an answer of its own: switching options tells the user the new state.
    EXPECT_TRUE(replies.Take(1, 450, EKind::Refusal));
    EXPECT_TRUE(replies.Take(2, 450, EKind::Response));
}

TEST_F(PrivateMessages, NeitherAnAutomaticAnswerNorABroadcastIsEverAnswered)
{
    app->Features().Settings().automaticResponse = 1;
    SetName(app->Features().Settings().automaticResponseText, "Gone sailing.");
    Deliver(Message("I am away too.", 2), false);
    Deliver(Message("Server going down"), true);
    const auto windows = h.Windows<CMyPrivMsgWin>();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0]->GetReplyButton(), nullptr); // an automatic answer cannot be replied to
    EXPECT_EQ(CAppHarness::Title(windows[1]), "Broadcast message from: Robin");
    ASSERT_NE(windows[1]->GetReplyButton(), nullptr);
    // Something the user sends afterwards arrives first at the server: nothing was sent before it.
    h.OnModal<CMySendPrivMsgWin>(
        [](CMySendPrivMsgWin& w)
        {
            w.SetText("x", 1);
            w.Hit(CMySendPrivMsgWin::kHitSend);
        });
    app->DoSendPrivMsg(kRobin, CAppHarness::P("Robin").data());
    ASSERT_TRUE(WaitForRequests(108, 1));
    h.Pump();
    ASSERT_EQ(h.Requests(108).size(), 1u);
    EXPECT_EQ(CAppHarness::Field(h.Requests(108)[0], 101), "x");
}

TEST_F(PrivateMessages, KeysAnswerOrCloseAndTheOptionPutsNewOnesBehind)
{
    Deliver(Message("first"), false);
    CMyPrivMsgWin* message = h.Windows<CMyPrivMsgWin>().front();
    EXPECT_EQ(CWindow::GetFrontWindow(), message);
    h.OnModal<CMySendPrivMsgWin>([](CMySendPrivMsgWin& w) { w.Hit(CMySendPrivMsgWin::kHitCancel); });
    const uint32_t modalsBefore = h.modalCount;
    EXPECT_TRUE(message->KeyDown(SKeyMsgData{0, 0, 'r'}));
    h.WaitUntil([&] { return h.modalCount == modalsBefore + 1; }, "the reply dialog");
    ASSERT_EQ(h.Windows<CMyPrivMsgWin>().size(), 1u); // not answered: kept
    EXPECT_TRUE(message->KeyDown(SKeyMsgData{kKeyEscape, 0, 0}));
    h.Pump();
    EXPECT_TRUE(h.Windows<CMyPrivMsgWin>().empty());

    app->Features().Settings().showPrivMsgAtBack = 1;
    Deliver(Message("second"), false);
    ASSERT_EQ(h.Windows<CMyPrivMsgWin>().size(), 1u);
    EXPECT_NE(CWindow::GetFrontWindow(), h.Windows<CMyPrivMsgWin>().front());
    h.Key(kKeyF1 + 8, 0, 0); // F9
    EXPECT_EQ(CWindow::GetFrontWindow(), h.Windows<CMyPrivMsgWin>().front());
}

TEST_F(PrivateMessages, NothingIsSentOnceTheSessionIsOver)
{
    Deliver(Message("old"), false);
    // The session ends while the user writes.
    h.OnModal<CMySendPrivMsgWin>(
        [&](CMySendPrivMsgWin& w)
        {
            w.SetText("late", 4);
            app->DoDisconnect();
        });
    app->DoSendPrivMsg(kRobin, CAppHarness::P("Robin").data());
    EXPECT_TRUE(h.Windows<CMySendPrivMsgWin>().empty());

    // A message of the old session cannot be answered in a new one: its sender's id is stale.
    ASSERT_TRUE(h.Login());
    const uint32_t modalsBefore = h.modalCount;
    h.Hit(h.Windows<CMyPrivMsgWin>().front(), kHitReplyPrivMsg);
    EXPECT_EQ(h.modalCount, modalsBefore);
    // Not connected at all: the command only beeps.
    app->DoDisconnect();
    app->DoSendPrivMsg(kRobin, CAppHarness::P("Robin").data());
    EXPECT_EQ(h.modalCount, modalsBefore);
    EXPECT_TRUE(h.Requests(108).empty());
}
} // namespace

namespace
{
class PrivateMessagesInTabs : public PrivateMessages
{
protected:
    void SetUp() override
    {
        h.layout = "main";
        PrivateMessages::SetUp();
    }
    void TearDown() override
    {
        for (CWindow* w : h.Windows<CMyConversationWin>())
            delete w;
        PrivateMessages::TearDown();
    }
    static size_t Count(const std::string& text, const std::string& part)
    {
        size_t n = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++n;
        return n;
    }
};
} // namespace

// In the main window every message of a user opened a window of its own, as in the separate windows: a
// talk of ten lines left ten windows behind the tabs.
TEST_F(PrivateMessagesInTabs, MessagesOfOneUserCollectInOneTabAndTheReplyQuotesTheLatest)
{
    Deliver(Message("Lunch at noon?", 1, "Are you around?"), false);
    Deliver(Message("Or at one?"), false);
    Deliver(Message("Hi", 1, "", 901, "Sam"), false);
    Deliver(Message("Server going down"), true);
    EXPECT_EQ(h.Windows<CMyPrivMsgWin>().size(), 1u); // the broadcast keeps its window
    ASSERT_EQ(h.Windows<CMyConversationWin>().size(), 2u);
    CMyConversationWin* robin = CMyConversationWin::Find(app->Features().Session().Serial(), kRobin);
    ASSERT_NE(robin, nullptr);
    EXPECT_EQ(robin->GetPlace(), app->Features().Windows().Main()->TabPlace());
    EXPECT_EQ(CAppHarness::Title(robin), "Messages: Robin");
    const std::string text = robin->GetTextView()->GetText();
    EXPECT_EQ(Count(text, "Sent: "), 2u);
    EXPECT_NE(text.find("Are you around?"), std::string::npos);
    EXPECT_LT(text.find("Lunch at noon?"), text.find("Or at one?"));
    EXPECT_EQ(text.find("Hi"), std::string::npos);

    h.OnModal<CMySendPrivMsgWin>(
        [](CMySendPrivMsgWin& w)
        {
            w.SetText("One is fine.", 12);
            w.Hit(CMySendPrivMsgWin::kHitSend);
        });
    h.Hit(robin, kHitReplyPrivMsg);
    ASSERT_TRUE(WaitForRequests(108, 1));
    const auto sent = h.Requests(108)[0];
    EXPECT_EQ(CAppHarness::Field(sent, 103), Integer16(kRobin));
    EXPECT_EQ(CAppHarness::Field(sent, 214), "Or at one?");
    // The conversation stays, with the answer in it.
    ASSERT_EQ(CMyConversationWin::Find(app->Features().Session().Serial(), kRobin), robin);
    EXPECT_NE(robin->GetTextView()->GetText().find("One is fine."), std::string::npos);

    // An automatic answer is shown and cannot be answered.
    Deliver(Message("I am away.", 2), false);
    EXPECT_FALSE(robin->GetReplyButton()->IsEnabled());
    EXPECT_EQ(h.Windows<CMyConversationWin>().size(), 2u);
}
