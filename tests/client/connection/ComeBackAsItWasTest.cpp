// A session lost and brought back by the reconnect comes back as the user left it: folder windows list
// again (a folder gone meanwhile closes its window, with one note for all of them), the news is the
// server's again and not twice, the public chat keeps what was said, and private chats, which the server
// forgot, say so and take no more text. Also through a SOCKS firewall.
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/chat/CMyChatWin.h"
#include "client/core/SMyUserAccess.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/runtime/UClock.h"
#include "framework/runtime/UPString.h"
#include "framework/ui/CTextView.h"
#include "tests/client/files/FilesTestSupport.h"
#include "tests/support/CAppHarness.h"
#include "tools/testserver/CSocksRelay.h"
#include "tools/testserver/TestWire.h"

using namespace filestest;

namespace
{
constexpr uint16_t kRobin = 900;
constexpr uint32_t kKeptChatID = 0x01020304;

class ComeBackAsItWasTest : public testing::Test
{
protected:
    void SetUp() override
    {
        h.model.guestAccess = CServerModel::AllAccess();
        h.model.extraUsers.push_back({kRobin, 410, 0, "Robin"});
        h.model.news = "Harbour opens at six.";
        h.WriteSharedFile("Docs/a.txt", "a");
        h.WriteSharedFile("Old/Deep/c.txt", "c");
        h.Start();
        app = &h.App();
        port = h.server.Port();
    }
    void KillServer()
    {
        h.server.StopListening();
        h.server.CloseConnection();
    }
    bool WaitForFirstAttempt()
    {
        return h.WaitUntil(
            [&]
            {
                return app->Features().Connection().Reconnect().IsWaiting() &&
                       app->Features().Connection().Reconnect().Attempt() == 1;
            },
            "the wait for the first attempt");
    }
    // The server is back and attempt 1 logs in; the requests of the login (users, news, listings) are
    // answered.
    bool ComeBack(size_t logins = 2)
    {
        if (!h.server.Listen(port)) return false;
        UClock::Advance(2400);
        return h.WaitUntil(
                   [&] {
                       return app->Features().Session().IsLoggedIn() && h.server.CountReceived(107) == logins;
                   },
                   "the login of the reconnect") &&
               WaitIdle(h, "the requests after the reconnect");
    }
    CMyChatWin* OpenPrivateChat()
    {
        h.model.nextChatID = kKeptChatID;
        CMyUserListView* users = app->Features().Windows().Users()->View();
        users->SelectOnly(users->FindUser(kRobin));
        h.Hit(app->Features().Windows().Users(), kHitOpenPrivateChat);
        h.WaitUntil([&] { return h.Windows<CMyChatWin>().size() == 1; }, "the private chat");
        return h.Windows<CMyChatWin>().empty() ? nullptr : h.Windows<CMyChatWin>().front();
    }

    CAppHarness h;
    CMyApplication* app = nullptr;
    uint16_t port = 0;
};
} // namespace

TEST_F(ComeBackAsItWasTest, FolderWindowsListAgainAndTheGoneOnesCloseWithOneNote)
{
    ASSERT_TRUE(h.Login());
    CMyFolderWin* root = OpenRoot(h);
    ASSERT_NE(root, nullptr);
    Open(h, root, "Docs");
    Open(h, root, "Old");
    Open(h, FolderWin(h, "Old"), "Deep");
    ASSERT_EQ(FolderWins(h).size(), 4u);
    // A question still unanswered when the link goes is dropped, not asked again.
    STestReply silent;
    silent.answer = false;
    h.server.SetReply(206, silent);
    Select(root, "Docs");
    app->DoFileGetInfo(root);
    ASSERT_TRUE(h.WaitUntil([&] { return h.server.CountReceived(206) == 1; }, "the info request"));

    StClockInHand clock;
    KillServer();
    ASSERT_TRUE(WaitForFirstAttempt());
    EXPECT_EQ(FolderWins(h).size(), 4u) << "the windows went with the lost connection";
    // While the server is away, one folder gains a file and another goes with what it held.
    h.WriteSharedFile("Docs/new.txt", "n");
    std::filesystem::remove_all(h.SharedFolder() + "/Old");
    const size_t listings = h.server.CountReceived(200);
    ASSERT_TRUE(ComeBack());

    EXPECT_EQ(h.server.CountReceived(200), listings + 4);
    EXPECT_EQ(h.server.CountReceived(206), 1u);
    ASSERT_EQ(FolderWins(h).size(), 2u);
    CMyFolderWin* docs = FolderWin(h, "Docs");
    ASSERT_NE(docs, nullptr);
    EXPECT_EQ(Rows(docs), (std::vector<std::string>{"a.txt", "new.txt"}));
    EXPECT_EQ(Rows(FolderWin(h, "Files")), (std::vector<std::string>{"Docs"}));
    // One note names both closed windows; the server's refusal is not shown once more per folder.
    ASSERT_TRUE(h.WaitUntil([&] { return !h.boxes.empty(); }, "the note"));
    h.Pump();
    ASSERT_EQ(h.boxes.size(), 1u);
    EXPECT_EQ(h.boxes[0].title, "Files");
    EXPECT_NE(h.boxes[0].text.find("\xD2Old\xD3"), std::string::npos) << h.boxes[0].text;
    EXPECT_NE(h.boxes[0].text.find("\xD2"
                                   "Deep\xD3"),
              std::string::npos)
        << h.boxes[0].text;
}

TEST_F(ComeBackAsItWasTest, NewsIsNotDoubledTheChatKeepsItsTextAndPrivateChatsEnd)
{
    ASSERT_TRUE(h.Login());
    h.server.PushTransaction(106, testwire::CFields().Add(101, "\rRobin:  see you at the quay").Bytes());
    ASSERT_TRUE(h.WaitUntil([&] { return h.ChatText().find("the quay") != std::string::npos; }, "the line"));
    CMyChatWin* chat = OpenPrivateChat();
    ASSERT_NE(chat, nullptr);
    ASSERT_EQ(chat->GetChatID(), kKeptChatID);
    ASSERT_EQ(h.NewsText(), "Harbour opens at six.");

    StClockInHand clock;
    KillServer();
    ASSERT_TRUE(WaitForFirstAttempt());
    h.model.news = "Harbour opens at seven.";
    ASSERT_TRUE(ComeBack());

    EXPECT_EQ(h.NewsText(), "Harbour opens at seven.");
    const std::string text = h.ChatText();
    const size_t said = text.find("see you at the quay"), back = text.find("\xD1 reconnected at ");
    ASSERT_NE(said, std::string::npos) << text;
    ASSERT_NE(back, std::string::npos) << text;
    EXPECT_LT(said, back);
    EXPECT_FALSE(h.OnlineUserNames().empty());

    // The same window, still open, says the chat is over and takes no more text; a new chat of the same
    // number on the new connection does not land in it.
    ASSERT_EQ(h.Windows<CMyChatWin>().size(), 1u);
    ASSERT_EQ(h.Windows<CMyChatWin>().front(), chat);
    EXPECT_NE(chat->GetChatView()->GetText().find("cannot be resumed"), std::string::npos);
    EXPECT_FALSE(chat->GetSendView()->IsEnabled());
    EXPECT_EQ(chat->GetChatID(), 0u);
    EXPECT_EQ(app->GetChatWinByID(kKeptChatID), nullptr);
    EXPECT_EQ(chat->GetUserList()->GetItemCount(), 0u);
    // New access from the server must not open the entry again.
    SMyUserAccess all;
    all.SetAll();
    app->Features().Windows().SetAccess(all);
    EXPECT_FALSE(chat->GetSendView()->IsEnabled());
    // Closing it leaves no chat on the new connection.
    const size_t leaves = h.server.CountReceived(116);
    h.Hit(chat, kHitCloseBox);
    EXPECT_TRUE(h.Windows<CMyChatWin>().empty());
    h.server.PushTransaction(106, testwire::CFields().Add(101, "\rRobin:  back").Bytes());
    ASSERT_TRUE(h.WaitUntil([&] { return h.ChatText().find("back") != std::string::npos; }, "a later line"));
    EXPECT_EQ(h.server.CountReceived(116), leaves);
    EXPECT_TRUE(h.boxes.empty());
}

TEST_F(ComeBackAsItWasTest, GivingUpTheReconnectClosesWhatTheLostSessionKept)
{
    ASSERT_TRUE(h.Login());
    ASSERT_NE(OpenRoot(h), nullptr);
    ASSERT_NE(OpenPrivateChat(), nullptr);
    StClockInHand clock;
    KillServer();
    ASSERT_TRUE(WaitForFirstAttempt());
    // A failed attempt is no reason to give anything up.
    UClock::Advance(2400);
    ASSERT_TRUE(h.WaitUntil([&] { return app->Features().Connection().Reconnect().Attempt() == 2; },
                            "the second wait"));
    EXPECT_EQ(FolderWins(h).size(), 1u);
    EXPECT_EQ(h.Windows<CMyChatWin>().size(), 1u);
    app->Features().Connection().CancelReconnect();
    EXPECT_TRUE(FolderWins(h).empty());
    EXPECT_TRUE(h.Windows<CMyChatWin>().empty());
    EXPECT_FALSE(app->Features().Session().IsPaused());
}

TEST_F(ComeBackAsItWasTest, TheReconnectGoesThroughTheFirewallAgain)
{
    CSocksRelay relay;
    ASSERT_TRUE(relay.Listen());
    UPString::SetText(app->Features().Settings().firewall,
                      ("127.0.0.1:" + std::to_string(relay.Port())).c_str());
    ASSERT_TRUE(h.Login());
    ASSERT_EQ(relay.RequestCount(), 1u);
    StClockInHand clock;
    KillServer();
    ASSERT_TRUE(WaitForFirstAttempt());
    ASSERT_TRUE(ComeBack());
    EXPECT_EQ(relay.RequestCount(), 2u);
    EXPECT_EQ(h.server.ConnectionCount(), 2u);
}
