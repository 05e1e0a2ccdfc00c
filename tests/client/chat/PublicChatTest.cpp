// The public chat through the whole client: what goes out when the user presses Return, and how the
// server's lines are shown.
#include <gtest/gtest.h>
#include <string>

#include "client/app/AppNumbers.h"
#include "client/chat/UMyChatScram.h"
#include "framework/runtime/KeyCommands.h"
#include "tests/client/chat/ChatFixture.h"

namespace
{
using PublicChat = ChatFixture;

TEST_F(PublicChat, TheFirstLineOfAnEmptyViewLosesItsLeadingReturn)
{
    h.server.PushTransaction(106, ChatLine("\rRobin:  hello"));
    ASSERT_TRUE(WaitForChat("Robin:  hello"));
    h.server.PushTransaction(106, ChatLine("\rRobin:  again"));
    ASSERT_TRUE(WaitForChat("Robin:  hello\rRobin:  again"));

    // A line of nothing but the return adds nothing to an empty view. The chat command with Alt
    // (hit 1005) is what empties it.
    h.Hit(app->Features().Windows().Chat(), kHitShowChat, 0, kModAlt);
    EXPECT_EQ(h.ChatText(), "");
    h.server.PushTransaction(106, ChatLine("\r"));
    h.server.PushTransaction(106, ChatLine("\rRobin:  third"));
    ASSERT_TRUE(WaitForChat("Robin:  third"));
}

TEST_F(PublicChat, WhatTheUserTypesGoesOutAsOneLine)
{
    SayInPublic("hi there\r");
    SayInPublic("waves", 2);
    SayInPublic(std::string("tab\there \x01 caf\x8E \xD2q\xD3"));
    ASSERT_TRUE(WaitForRequests(105, 3));
    const auto sent = h.Requests(105);
    EXPECT_EQ(CAppHarness::Field(sent[0], 101), "hi there"); // the closing return dropped
    EXPECT_EQ(CAppHarness::Field(sent[0], 109), "");
    EXPECT_EQ(CAppHarness::Field(sent[1], 109), std::string("\0\1", 2)); // an action line
    EXPECT_EQ(CAppHarness::Field(sent[1], 114), "");
    // Tabs, accented letters and curly quotes stay; other controls become blanks.
    EXPECT_EQ(CAppHarness::Field(sent[2], 101), "tab\there   caf\x8E \xD2q\xD3");
    EXPECT_EQ(app->Features().Statistics().totalChatBytes, 8u + 5u + 19u);
    // The server's echo of the lines comes back into the view.
    ASSERT_TRUE(
        h.WaitUntil([&] { return h.ChatText().find(" *** tester waves") != std::string::npos; }, "the echo"));
    EXPECT_TRUE(app->Features().Windows().Chat()->GetSendView()->IsEmpty());
}

TEST_F(PublicChat, ALineOverTheLimitIsRefusedAndNothingIsSent)
{
    SayInPublic(std::string(2049, 'x'));
    EXPECT_TRUE(h.HasBox(132));
    EXPECT_TRUE(app->Features().Windows().Chat()->GetSendView()->IsEmpty()); // not kept for another try
    SayInPublic(std::string(2048, 'y'));
    ASSERT_TRUE(WaitForRequests(105, 1));
    h.Pump();
    const auto sent = h.Requests(105);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(CAppHarness::Field(sent[0], 101), std::string(2048, 'y'));
    EXPECT_EQ(h.boxes.size(), 1u);
}

TEST_F(PublicChat, LinesThatBelongNowhereAreDropped)
{
    app->Features().Windows().Chat()->Hide();
    h.server.PushTransaction(106, ChatLine("\rRobin:  unseen"));
    ASSERT_TRUE(Sync());
    app->Features().Windows().Chat()->Show();
    // A private chat the user is not in, and a chat id no integer can be.
    h.server.PushTransaction(106, ChatLine("\rRobin:  elsewhere", 77));
    h.server.PushTransaction(106, testwire::CFields().Add(114, "abc").Add(101, "\rRobin:  garbled").Bytes());
    h.server.PushTransaction(106, ChatLine("\rRobin:  seen"));
    ASSERT_TRUE(h.WaitUntil([&] { return !h.ChatText().empty(); }, "a line"));
    EXPECT_EQ(h.ChatText(), "Robin:  seen");
}

TEST_F(PublicChat, WithoutTheRightToSendChatNoChatTakesTyping)
{
    // The server's access bits without "Can Send Chat" (bit 10).
    const std::string access("\xFF\xDF\xFF\xFF\xFF\xFF\xFF\xFF", 8);
    h.server.PushTransaction(354, testwire::CFields().Add(110, access).Bytes());
    ASSERT_TRUE(Sync());
    EXPECT_FALSE(app->Features().Windows().Chat()->GetSendView()->IsEnabled());
    // A private chat opened now, as the reply to an invitation opens one, takes the session's access.
    CMyChatWin::Open(5, app->Features().Settings().colorChat, app->Features().Session().Access(), 100);
    ASSERT_NE(app->GetChatWinByID(5), nullptr);
    EXPECT_FALSE(app->GetChatWinByID(5)->GetSendView()->IsEnabled());
    EXPECT_NE(app->Features().Windows().Chat()->GetSendView()->GetPlaceholder().find("\"Can Send Chat\""),
              std::string::npos);
    // Outside a session the entry stays off, now for want of a connection, and says so.
    app->DoDisconnect();
    EXPECT_FALSE(app->Features().Windows().Chat()->GetSendView()->IsEnabled());
    EXPECT_EQ(app->Features().Windows().Chat()->GetSendView()->GetPlaceholder(),
              "Not connected: nothing can be sent.");
    ASSERT_TRUE(h.Login());
    EXPECT_TRUE(app->Features().Windows().Chat()->GetSendView()->IsEnabled());
    EXPECT_EQ(app->Features().Windows().Chat()->GetSendView()->GetPlaceholder(), "");
}

TEST_F(PublicChat, ScrambledTextKeepsQuotesAndReadsBackWithTheSameKey)
{
    const auto key = CAppHarness::P("428");
    app->Features().Chat().SetScrambling(key.data());
    const std::string typed = "meet at \"Harbour Bar\" 9pm";
    SayInPublic(typed);
    ASSERT_TRUE(WaitForRequests(105, 1));
    const std::string wire = CAppHarness::Field(h.Requests(105)[0], 101);
    ASSERT_EQ(wire.size(), typed.size() + 1);
    EXPECT_EQ(uint8_t(wire.back()), UMyChatScram::kEndMarker);
    EXPECT_NE(wire.substr(0, 8), typed.substr(0, 8));
    EXPECT_EQ(wire.substr(8, 13), "\"Harbour Bar\"");
    EXPECT_EQ(app->Features().Statistics().totalChatBytes, uint32_t(wire.size()));
    // The server's echo reads as typed, the marker shown as a bullet.
    ASSERT_TRUE(WaitForChat("tester:  " + typed + "\xA5"));

    // Another client with the same key: the same bytes, with that user's name before them.
    app->Features().Chat().ClearPublicChat();
    h.server.PushTransaction(106, ChatLine("\rRobin:  " + wire));
    ASSERT_TRUE(WaitForChat("Robin:  " + typed + "\xA5"));

    // Without the key the line shows as it came, marker and all (the marker is the no-break space,
    // which the text widget reads back as a blank).
    const auto noKey = CAppHarness::P("42");
    app->Features().Chat().SetScrambling(noKey.data());
    EXPECT_FALSE(app->Features().Chat().IsScrambling());
    app->Features().Chat().ClearPublicChat();
    h.server.PushTransaction(106, ChatLine("\rRobin:  " + wire));
    ASSERT_TRUE(WaitForChat("Robin:  " + wire.substr(0, wire.size() - 1) + " "));
}
} // namespace

namespace
{
std::string UserNotice(uint16_t id, const std::string& name)
{
    return testwire::CFields()
        .AddInteger(103, id)
        .AddInteger(104, 410)
        .AddInteger(112, 0)
        .Add(102, name)
        .Bytes();
}

TEST_F(PublicChat, UsersWhoComeAndGoAreToldOnlyAfterTheLoginsOwnList)
{
    // Robin came with the login's list: no line for him, nor for anyone else at login.
    ASSERT_TRUE(Sync());
    EXPECT_EQ(h.ChatText(), "");
    h.server.PushTransaction(301, UserNotice(902, "Kim"));
    h.server.PushTransaction(302, testwire::CFields().AddInteger(103, kRobin).Bytes());
    h.server.PushTransaction(302, testwire::CFields().AddInteger(103, 4444).Bytes()); // nobody: no line
    ASSERT_TRUE(Sync());
    EXPECT_EQ(h.ChatText(), " <<< Kim has joined the chat >>>\r <<< Robin has left the chat >>>");

    // With the option off, nothing.
    app->Features().Settings().showJoinLeaveInChat = false;
    h.server.PushTransaction(301, UserNotice(903, "Lee"));
    h.server.PushTransaction(302, testwire::CFields().AddInteger(103, 902).Bytes());
    ASSERT_TRUE(Sync());
    EXPECT_EQ(h.ChatText(), " <<< Kim has joined the chat >>>\r <<< Robin has left the chat >>>");
}

} // namespace
