// The real application against the local server: connecting in every way the user can, logging in,
// and every way a session ends.
#include <QApplication>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/connection/CMyAgreementWin.h"
#include "client/connection/CMyLoginWin.h"
#include "client/core/CMyTask.h"
#include "client/prefs/CMyOptionsWin.h"
#include "client/tasks/CMyTasksWin.h"
#include "client/widgets/CMyTextWin.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UClock.h"
#include "framework/runtime/UMemory.h"
#include "framework/ui/CTextView.h"
#include "tests/support/CAppHarness.h"
#include "tools/testserver/CSocksRelay.h"

namespace
{
// Stays in the task list like a tracker query does.
class CStandAloneTask : public CMyTask
{
public:
    CStandAloneTask() : CMyTask(nullptr) { mIsStandAlone = 1; }
    // A tracker query waits on a connection of its own.
    bool IsWaitingOnNetwork() const override { return true; }
};

class ServerConnectionTest : public testing::Test
{
protected:
    void SetUp() override
    {
        h.model.guestAccess = CServerModel::AllAccess();
        h.model.news = "Fresh news";
        h.model.extraUsers.push_back({900, 410, 0, "Robin"});
        h.model.accounts["abc"] = {"pw", "Alice", {0xFF, 0, 0, 0, 0, 0, 0, 0}};
        h.Start();
        app = &h.App();
        const auto name = CAppHarness::P("tester");
        std::memcpy(app->Features().Settings().userName, name.data(), name.size());
    }
    std::string Address() const { return h.Address(); }
    void Connect(const std::string& address)
    {
        const auto p = CAppHarness::P(address);
        app->DoConnect(p.data(), nullptr);
    }
    // Logged in, and the users and news replies used.
    bool PumpUntilSessionReady()
    {
        return h.WaitUntil(
            [&]
            {
                return app->Features().Session().IsConnected() && h.server.CountReceived(101) == 1 &&
                       app->Features().Tasks().GetItemCount() == 0;
            },
            "the login, users and news requests to finish");
    }
    std::vector<uint16_t> RequestTypes() const
    {
        std::vector<uint16_t> types;
        for (const auto& t : h.server.Received())
            if (!t.header.isReply) types.push_back(t.header.type);
        return types;
    }
    void ExpectSessionEnded() const
    {
        EXPECT_EQ(app->Features().Session().Transactor(), nullptr);
        EXPECT_FALSE(app->Features().Session().IsConnected());
        EXPECT_EQ(app->Features().Tasks().GetItemCount(), 0u);
        EXPECT_EQ(h.ToolbarLook(), kToolbarNotConnected);
        EXPECT_TRUE(h.OnlineUserNames().empty());
    }

    CAppHarness h;
    CMyApplication* app = nullptr;
};
} // namespace

TEST_F(ServerConnectionTest, AccountLoginSendsHandshakeThenLoginUsersAndNewsInOrder)
{
    const auto login = CAppHarness::P("abc"), password = CAppHarness::P("pw");
    app->Features().Session().SetLogin(login.data(), password.data());
    Connect(Address());
    EXPECT_EQ(CAppHarness::Title(app->Features().Windows().Chat()), "Chat (" + Address() + ")");
    EXPECT_EQ(CAppHarness::Title(app->Features().Windows().News()), "News (" + Address() + ")");
    ASSERT_TRUE(PumpUntilSessionReady());

    EXPECT_EQ(h.server.ReceivedHandshake(), std::string("TRTPQUEN\0\1\0\2", 12));
    EXPECT_EQ(RequestTypes(), (std::vector<uint16_t>{107, 300, 101}));
    const auto fields = testwire::CFields::Parse(h.server.Received()[0].body);
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0], std::make_pair(uint16_t(105), std::string("\x9E\x9D\x9C")));
    EXPECT_EQ(fields[1], std::make_pair(uint16_t(106), CServerModel::Complement("pw")));
    EXPECT_EQ(fields[2], std::make_pair(uint16_t(102), std::string("tester")));
    EXPECT_EQ(fields[3], std::make_pair(uint16_t(104), testwire::BE16(414)));
    EXPECT_EQ(h.model.LoginOf(h.server.LastConnection()), "abc");

    // The replies reached what the windows will show, and the access bits came after the login.
    EXPECT_EQ(h.ToolbarLook(), kToolbarConnected);
    EXPECT_NE(app->Features().Session().ConnectStartSecs(), 0u);
    EXPECT_EQ(h.OnlineUserNames(), (std::vector<std::string>{"tester", "Robin"}));
    EXPECT_EQ(h.NewsText(), "Fresh news");
    h.WaitUntil([&] { return !app->Features().Session().Access().Has(8); }, "the access bits");
    EXPECT_TRUE(app->Features().Session().Access().Has(0) && app->Features().Session().Access().Has(7));
    EXPECT_TRUE(h.alert.empty());
}

TEST_F(ServerConnectionTest, GuestLoginOmitsLoginAndPasswordAndUrlsConnectToo)
{
    const std::string url = "quenvol://" + Address();
    const auto someone = CAppHarness::P("alice");
    app->Features().Session().SetLogin(someone.data(), nullptr); // a URL always logs in as a guest
    UApplication::PostMessage(kMsgGoURL, url.data(), uint32_t(url.size()));
    ASSERT_TRUE(PumpUntilSessionReady());
    EXPECT_EQ(app->Features().Session().BasePort(), h.server.Port());
    const auto fields = testwire::CFields::Parse(h.server.Received()[0].body);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].first, 102);
    EXPECT_EQ(fields[1].first, 104);
    EXPECT_EQ(RequestTypes(), (std::vector<uint16_t>{107, 300, 101}));
}

TEST_F(ServerConnectionTest, ZeroMeansThisMachineOnTheDefaultPort)
{
    CTestServer local;
    CServerModel localModel;
    localModel.news = "local";
    local.SetModel(&localModel);
    const auto zero = CAppHarness::P("0"), empty = CAppHarness::P("");
    // The connect dialog is where the short address is typed.
    auto connectToZero = [&]
    {
        h.OnModal<CMyLoginWin>(
            [&](CMyLoginWin& w)
            {
                w.SetInfo(zero.data(), empty.data(), empty.data());
                w.Hit(CMyLoginWin::kHitConnect);
            });
        app->DoShowConnect();
    };
    if (!local.Listen(5500))
    {
        // Port 5500 is taken on this machine: the address is all that can be checked.
        connectToZero();
        EXPECT_EQ(CAppHarness::Str(app->Features().Session().Address().name), "127.0.0.1");
        EXPECT_EQ(app->Features().Session().Address().port, 5500);
        app->DoDisconnect();
        GTEST_SKIP() << "port 5500 is in use";
    }
    connectToZero();
    EXPECT_EQ(CAppHarness::Str(app->Features().Session().Address().name), "127.0.0.1");
    ASSERT_TRUE(
        h.WaitUntil([&] { return app->Features().Session().IsConnected() && local.CountReceived(101) == 1; },
                    "the login"));
    EXPECT_EQ(local.CountReceived(107), 1u);
}

TEST_F(ServerConnectionTest, ConnectsThroughTheSocksFirewall)
{
    CSocksRelay relay;
    ASSERT_TRUE(relay.Listen());
    const auto firewall = CAppHarness::P("127.0.0.1:" + std::to_string(relay.Port()));
    std::memcpy(app->Features().Settings().firewall, firewall.data(), firewall.size());
    Connect(Address());
    ASSERT_TRUE(PumpUntilSessionReady());
    EXPECT_EQ(relay.RequestCount(), 1u);
    EXPECT_EQ(RequestTypes(), (std::vector<uint16_t>{107, 300, 101}));
}

// The options take the firewall as typed; blanks around it once made every connection fail with "host not
// found".
TEST_F(ServerConnectionTest, AFirewallTypedWithBlanksAroundItIsStillReached)
{
    CSocksRelay relay;
    ASSERT_TRUE(relay.Listen());
    const std::string typed = "  127.0.0.1:" + std::to_string(relay.Port()) + " ";
    h.OnModal<CMyOptionsWin>(
        [&](CMyOptionsWin& w)
        {
            w.GetFirewallField()->SetText(typed.data(), uint32_t(typed.size()));
            w.Hit(CMyOptionsWin::kHitSave);
        });
    ASSERT_TRUE(app->DoOptions());
    Connect(Address());
    ASSERT_TRUE(PumpUntilSessionReady());
    EXPECT_EQ(relay.RequestCount(), 1u);
    EXPECT_TRUE(h.boxes.empty());
}

// A firewall that takes the connection and never answers once held it until the firewall closed, and the
// user was then told the server refused it.
TEST_F(ServerConnectionTest, AFirewallThatNeverAnswersTimesOutAfterTwentySeconds)
{
    CSocksRelay relay;
    ASSERT_TRUE(relay.Listen());
    relay.SetSilent(true);
    const std::string firewall = "127.0.0.1:" + std::to_string(relay.Port());
    h.OnModal<CMyOptionsWin>(
        [&](CMyOptionsWin& w)
        {
            w.GetFirewallField()->SetText(firewall.data(), uint32_t(firewall.size()));
            w.Hit(CMyOptionsWin::kHitSave);
        });
    ASSERT_TRUE(app->DoOptions());
    StClockInHand clock;
    Connect(Address());
    ASSERT_TRUE(h.WaitUntil([&] { return relay.RequestCount() == 1; }, "the request to the firewall"));
    UClock::Advance(19999);
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_EQ(h.ToolbarLook(), kToolbarConnecting);
    UClock::Advance(1);
    EXPECT_TRUE(h.HasBox(142, "did not answer in time"));
    EXPECT_EQ(h.boxes.size(), 1u);
    EXPECT_EQ(h.ToolbarLook(), kToolbarNotConnected);
    EXPECT_EQ(app->Features().Tasks().GetItemCount(), 0u);
}

TEST_F(ServerConnectionTest, RefusedLoginEndsTheSessionAndShowsTheServersText)
{
    h.model.guestAllowed = false;
    Connect(Address());
    ASSERT_TRUE(h.WaitUntil([&] { return !h.boxes.empty() && !app->Features().Session().Transactor(); },
                            "the refusal"));
    EXPECT_TRUE(h.HasBoxTitled("Server Message", "This server does not accept guests."));
    ExpectSessionEnded();
    UApplication::Process();
    EXPECT_TRUE(h.alert.empty()); // the error itself is silent
    EXPECT_EQ(h.boxes.size(), 1u);
}

TEST_F(ServerConnectionTest, LostConnectionWithoutReconnectingEndsTheSessionWithItsBox)
{
    app->Features().Settings().reconnect = false;
    Connect(Address());
    ASSERT_TRUE(PumpUntilSessionReady());
    h.boxAnswers.push_back(2); // OK, not Reconnect
    h.server.CloseConnection();
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(150); }, "the lost connection box"));
    ExpectSessionEnded();
}

TEST_F(ServerConnectionTest, DisconnectMessageEndsTheSessionAndShowsItsText)
{
    Connect(Address());
    ASSERT_TRUE(PumpUntilSessionReady());
    h.model.SendDisconnectMessage(h.server, h.server.LastConnection(), "");
    h.model.SendDisconnectMessage(h.server, h.server.LastConnection(), "Closing for the night");
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(143); }, "the disconnect box"));
    EXPECT_TRUE(h.HasBox(143, "Closing for the night"));
    ExpectSessionEnded();
    EXPECT_EQ(h.boxes.size(), 1u); // the empty message did nothing by itself
}

TEST_F(ServerConnectionTest, RefusedHandshakeShowsBox146Only)
{
    h.server.SetHandshake(CTestServer::EHandshake::Refuse, 1);
    Connect(Address());
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(146); }, "the version box"));
    h.WaitUntil([&] { return app->Features().Tasks().GetItemCount() == 0; }, "the connect task to go");
    ExpectSessionEnded();
    UApplication::Process();
    EXPECT_TRUE(h.alert.empty());
    EXPECT_EQ(h.boxes.size(), 1u);
}

TEST_F(ServerConnectionTest, ServerMessagesAgreementAndAccessReachTheApplication)
{
    h.model.agreement = "Be nice.";
    h.model.welcome = "Hello there";
    std::vector<std::string> agreements;
    h.OnModal<CMyAgreementWin>(
        [&](CMyAgreementWin& win)
        {
            agreements.push_back(win.GetTextView()->GetText());
            win.Hit(CMyAgreementWin::kHitAgree);
        });
    Connect(Address());
    ASSERT_TRUE(PumpUntilSessionReady());
    h.model.SendServerMessage(h.server, "From the admin", 0);
    ASSERT_TRUE(h.WaitUntil([&] { return h.boxes.size() >= 2 && !agreements.empty(); }, "the messages"));
    EXPECT_TRUE(h.HasBoxTitled("Server Message", "Hello there"));
    EXPECT_TRUE(h.HasBoxTitled("Administrator Message", "From the admin"));
    EXPECT_EQ(agreements, std::vector<std::string>{"Be nice."});
    EXPECT_FALSE(app->Features().Session().HasAgreement());
    EXPECT_TRUE(app->Features().Session().IsConnected()); // agreeing keeps the session
}

TEST_F(ServerConnectionTest, StandAloneTasksSurviveADisconnectAndOnlineTimeIsCounted)
{
    Connect(Address());
    ASSERT_TRUE(PumpUntilSessionReady());
    auto* tracker = new CStandAloneTask;
    StClockInHand clock;
    UClock::Advance(7000); // the session lasts seven seconds
    const uint32_t before = app->Features().Statistics().totalSecsOnline;
    app->DoDisconnect();
    EXPECT_EQ(app->Features().Tasks().GetItemCount(), 1u);
    EXPECT_EQ(app->Features().Tasks().GetItem(1), tracker);
    EXPECT_EQ(app->Features().Session().Transactor(), nullptr);
    EXPECT_GE(app->Features().Statistics().totalSecsOnline - before, 7u);
    EXPECT_EQ(app->Features().Session().ConnectStartSecs(), 0u);
    ASSERT_TRUE(
        h.WaitUntil([&] { return !h.server.HasOpenConnection() || h.server.ClientClosed(); }, "the close"));
    delete tracker;
}

TEST_F(ServerConnectionTest, ConnectingAgainEndsThePreviousSessionFirst)
{
    Connect(Address());
    ASSERT_TRUE(PumpUntilSessionReady());
    Connect(Address());
    EXPECT_FALSE(app->Features().Session().IsConnected());
    ASSERT_TRUE(h.WaitUntil([&]
                            { return h.server.ConnectionCount() == 2 && h.server.CountReceived(101) == 2; },
                            "the second session"));
    h.WaitUntil([&] { return h.model.OnlineUsers().size() == 2; },
                "the first session to be gone on the server");
}

TEST_F(ServerConnectionTest, AddressTextsGiveHostPortAndDisplayName)
{
    const auto url = CAppHarness::P("quenvol://example.invalid:1234/folder");
    app->DoConnect(url.data(), nullptr);
    EXPECT_EQ(CAppHarness::Str(app->Features().Session().Address().name), "example.invalid:1234");
    EXPECT_EQ(app->Features().Session().BasePort(), 1234u);
    EXPECT_EQ(app->Features().Session().Address().port, 1234);
    EXPECT_EQ(app->Features().Session().Address().type, 42);
    const std::string longHost(70, 'h');
    const auto plain = CAppHarness::P(longHost);
    app->DoConnect(plain.data(), nullptr);
    EXPECT_EQ(app->Features().Session().BasePort(), 5500u);
    EXPECT_EQ(CAppHarness::Title(app->Features().Windows().Tasks()),
              "Tasks (" + longHost.substr(0, 63) + ")");
    const auto name = CAppHarness::P("My Server");
    app->DoConnect(plain.data(), name.data());
    EXPECT_EQ(CAppHarness::Title(app->Features().Windows().Chat()), "Chat (My Server)");
    app->DoDisconnect();
    EXPECT_EQ(CAppHarness::Title(app->Features().Windows().Chat()), "Chat");
    ExpectSessionEnded();
}
