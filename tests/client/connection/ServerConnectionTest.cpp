// The real application against the local server: connecting in every way the user can, logging in,
// and every way a session ends.
#include <QApplication>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "client/app/CMyApplication.h"
#include "client/boxes/MsgBox.h"
#include "client/tasks/CMyTask.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UError.h"
#include "framework/runtime/UMemory.h"
#include "framework/ui/UWindowServices.h"
#include "tests/support/RunLoopWait.h"
#include "tests/support/TestDataFile.h"
#include "tools/testserver/CServerModel.h"
#include "tools/testserver/CSocksRelay.h"
#include "tools/testserver/CTestServer.h"

namespace
{
struct SBox
{
    int16_t id;
    std::string title;
    std::string text;
};
std::vector<SBox> gBoxes;
std::string gAlert;

std::string Str(const uint8_t* p)
{
    return p ? std::string(reinterpret_cast<const char*>(p + 1), p[0]) : std::string();
}

std::vector<uint8_t> P(const std::string& text)
{
    std::vector<uint8_t> p(1, uint8_t(text.size()));
    p.insert(p.end(), text.begin(), text.end());
    return p;
}

class CRecordingApp : public CMyApplication
{
public:
    void DoShowAgreement(THdlObj* text) override
    {
        {
            StHandleLocker lock(text);
            agreements.emplace_back(reinterpret_cast<const char*>(lock.Data()), UMemory::GetSize(text));
        }
        UMemory::Dispose(text);
    }
    std::vector<std::string> agreements;
};

// Stays in the task list like a tracker query does.
class CStandAloneTask : public CMyTask
{
public:
    CStandAloneTask() : CMyTask(nullptr) { mIsStandAlone = 1; }
};

class ServerConnectionTest : public testing::Test
{
protected:
    void SetUp() override
    {
        UseBuiltDataFile();
        gBoxes.clear();
        gAlert.clear();
        SetMsgBoxHook(
            [](int16_t id, const SMsgBox& box) -> uint16_t
            {
                gBoxes.push_back({id, Str(box.title), Str(box.message)});
                return 1;
            });
        UWindowServices::Register();
        app = new CRecordingApp;
        const auto name = P("tester");
        std::memcpy(app->mUserName, name.data(), name.size());
        UError::SetAlertProc([](const char* text, uint32_t) { gAlert = text; });
        model.guestAccess = CServerModel::AllAccess();
        model.news = "Fresh news";
        model.extraUsers.push_back({900, 410, 0, "Robin"});
        model.accounts["abc"] = {"pw", "Alice", {0xFF, 0, 0, 0, 0, 0, 0, 0}};
        server.SetModel(&model);
        ASSERT_TRUE(server.Listen());
    }
    void TearDown() override
    {
        delete app;
        SetMsgBoxHook(nullptr);
        UError::SetAlertProc(nullptr);
        UApplication::Process();
    }
    std::string Address() const { return "127.0.0.1:" + std::to_string(server.Port()); }
    void Connect(const std::string& address)
    {
        const auto p = P(address);
        app->DoConnect(p.data(), nullptr);
    }
    // Logged in, and the users and news replies used.
    bool PumpUntilSessionReady()
    {
        return PumpUntil(
            [&]
            {
                return app->mIsConnected && app->mNewsText && server.CountReceived(101) == 1 &&
                       app->mTaskList.GetItemCount() == 0;
            },
            "the login, users and news requests to finish");
    }
    std::vector<uint16_t> RequestTypes() const
    {
        std::vector<uint16_t> types;
        for (const auto& t : server.Received())
            if (!t.header.isReply) types.push_back(t.header.type);
        return types;
    }
    bool HasBox(int16_t id, const std::string& text = "") const
    {
        for (const SBox& b : gBoxes)
            if (b.id == id && b.text.find(text) != std::string::npos) return true;
        return false;
    }
    bool HasBoxTitled(const std::string& title, const std::string& text) const
    {
        for (const SBox& b : gBoxes)
            if (b.title == title && b.text == text) return true;
        return false;
    }
    void ExpectSessionEnded() const
    {
        EXPECT_EQ(app->mTpt, nullptr);
        EXPECT_FALSE(app->mIsConnected);
        EXPECT_EQ(app->mTaskList.GetItemCount(), 0u);
        EXPECT_EQ(app->mToolbarLook, CMyApplication::kLookNotConnected);
        EXPECT_TRUE(app->mOnlineUsers.empty());
    }

    CTestServer server;
    CServerModel model;
    CRecordingApp* app = nullptr;
};
} // namespace

TEST_F(ServerConnectionTest, AccountLoginSendsHandshakeThenLoginUsersAndNewsInOrder)
{
    const auto login = P("abc"), password = P("pw");
    std::memcpy(app->mUserLogin, login.data(), login.size());
    std::memcpy(app->mUserPassword, password.data(), password.size());
    Connect(Address());
    EXPECT_EQ(Str(app->mChatTitle), "Chat (" + Address() + ")");
    EXPECT_EQ(Str(app->mNewsTitle), "News (" + Address() + ")");
    ASSERT_TRUE(PumpUntilSessionReady());

    EXPECT_EQ(server.ReceivedHandshake(), std::string("TRTPQUEN\0\1\0\2", 12));
    EXPECT_EQ(RequestTypes(), (std::vector<uint16_t>{107, 300, 101}));
    const auto fields = testwire::CFields::Parse(server.Received()[0].body);
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0], std::make_pair(uint16_t(105), std::string("\x9E\x9D\x9C")));
    EXPECT_EQ(fields[1], std::make_pair(uint16_t(106), CServerModel::Complement("pw")));
    EXPECT_EQ(fields[2], std::make_pair(uint16_t(102), std::string("tester")));
    EXPECT_EQ(fields[3], std::make_pair(uint16_t(104), testwire::BE16(414)));
    EXPECT_EQ(model.LoginOf(server.LastConnection()), "abc");

    // The replies reached what the windows will show, and the access bits came after the login.
    EXPECT_EQ(app->mToolbarLook, CMyApplication::kLookConnected);
    EXPECT_NE(app->mConnectStartSecs, 0u);
    ASSERT_EQ(app->mOnlineUsers.size(), 2u);
    EXPECT_EQ(Str(app->mOnlineUsers[1].name), "Robin");
    ASSERT_EQ(UMemory::GetSize(app->mNewsText), 10u);
    PumpUntil([&] { return !app->mMyAccess.Has(8); }, "the access bits");
    EXPECT_TRUE(app->mMyAccess.Has(0) && app->mMyAccess.Has(7));
    EXPECT_TRUE(gAlert.empty());
}

TEST_F(ServerConnectionTest, GuestLoginOmitsLoginAndPasswordAndUrlsConnectToo)
{
    const std::string url = "quenvol://" + Address();
    app->mUserLogin[0] = 5; // a URL always logs in as a guest
    UApplication::PostMessage(kMsgGoURL, url.data(), uint32_t(url.size()));
    ASSERT_TRUE(PumpUntilSessionReady());
    EXPECT_EQ(app->mBasePortNum, server.Port());
    const auto fields = testwire::CFields::Parse(server.Received()[0].body);
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
    const auto zero = P("0"), empty = P("");
    if (!local.Listen(5500))
    {
        // Port 5500 is taken on this machine: the address is all that can be checked.
        app->DoConnectFromDialog(zero.data(), empty.data(), empty.data(), nullptr);
        EXPECT_EQ(Str(app->mAddress.name), "127.0.0.1");
        EXPECT_EQ(app->mAddress.port, 5500);
        app->DoDisconnect();
        GTEST_SKIP() << "port 5500 is in use";
    }
    app->DoConnectFromDialog(zero.data(), empty.data(), empty.data(), nullptr);
    EXPECT_EQ(Str(app->mAddress.name), "127.0.0.1");
    ASSERT_TRUE(PumpUntil([&] { return app->mIsConnected && local.CountReceived(101) == 1; }, "the login"));
    EXPECT_EQ(local.CountReceived(107), 1u);
}

TEST_F(ServerConnectionTest, ConnectsThroughTheSocksFirewall)
{
    CSocksRelay relay;
    ASSERT_TRUE(relay.Listen());
    const auto firewall = P("127.0.0.1:" + std::to_string(relay.Port()));
    std::memcpy(app->mFirewallAddress.name, firewall.data(), firewall.size());
    Connect(Address());
    ASSERT_TRUE(PumpUntilSessionReady());
    EXPECT_EQ(relay.RequestCount(), 1u);
    EXPECT_EQ(RequestTypes(), (std::vector<uint16_t>{107, 300, 101}));
}

TEST_F(ServerConnectionTest, RefusedLoginEndsTheSessionAndShowsTheServersText)
{
    model.guestAllowed = false;
    Connect(Address());
    ASSERT_TRUE(PumpUntil([&] { return !gBoxes.empty() && !app->mTpt; }, "the refusal"));
    EXPECT_TRUE(HasBoxTitled("Server Message", "This server does not accept guests."));
    ExpectSessionEnded();
    UApplication::Process();
    EXPECT_TRUE(gAlert.empty()); // the error itself is silent
    EXPECT_EQ(gBoxes.size(), 1u);
}

TEST_F(ServerConnectionTest, LostConnectionEndsTheSessionWithBox131)
{
    Connect(Address());
    ASSERT_TRUE(PumpUntilSessionReady());
    server.CloseConnection();
    ASSERT_TRUE(PumpUntil([&] { return HasBox(131); }, "the lost connection box"));
    ExpectSessionEnded();
}

TEST_F(ServerConnectionTest, DisconnectMessageEndsTheSessionAndShowsItsText)
{
    Connect(Address());
    ASSERT_TRUE(PumpUntilSessionReady());
    model.SendDisconnectMessage(server, server.LastConnection(), "");
    model.SendDisconnectMessage(server, server.LastConnection(), "Closing for the night");
    ASSERT_TRUE(PumpUntil([&] { return HasBox(143); }, "the disconnect box"));
    EXPECT_TRUE(HasBox(143, "Closing for the night"));
    ExpectSessionEnded();
    EXPECT_EQ(gBoxes.size(), 1u); // the empty message did nothing by itself
}

TEST_F(ServerConnectionTest, RefusedHandshakeShowsBox146Only)
{
    server.SetHandshake(CTestServer::EHandshake::Refuse, 1);
    Connect(Address());
    ASSERT_TRUE(PumpUntil([&] { return HasBox(146); }, "the version box"));
    PumpUntil([&] { return app->mTaskList.GetItemCount() == 0; }, "the connect task to go");
    ExpectSessionEnded();
    UApplication::Process();
    EXPECT_TRUE(gAlert.empty());
    EXPECT_EQ(gBoxes.size(), 1u);
}

TEST_F(ServerConnectionTest, ServerMessagesAgreementAndAccessReachTheApplication)
{
    model.agreement = "Be nice.";
    model.welcome = "Hello there";
    Connect(Address());
    ASSERT_TRUE(PumpUntilSessionReady());
    model.SendServerMessage(server, "From the admin", 0);
    ASSERT_TRUE(PumpUntil([&] { return gBoxes.size() >= 2 && !app->agreements.empty(); }, "the messages"));
    EXPECT_TRUE(HasBoxTitled("Server Message", "Hello there"));
    EXPECT_TRUE(HasBoxTitled("Administrator Message", "From the admin"));
    EXPECT_EQ(app->agreements, std::vector<std::string>{"Be nice."});
    EXPECT_EQ(app->mAgreementText, nullptr);
}

TEST_F(ServerConnectionTest, StandAloneTasksSurviveADisconnectAndOnlineTimeIsCounted)
{
    Connect(Address());
    ASSERT_TRUE(PumpUntilSessionReady());
    auto* tracker = new CStandAloneTask;
    app->mConnectStartSecs -= 7; // as if the session had lasted seven seconds
    const uint32_t before = app->mTotalSecsOnline;
    app->DoDisconnect();
    EXPECT_EQ(app->mTaskList.GetItemCount(), 1u);
    EXPECT_EQ(app->mTaskList.GetItem(1), tracker);
    EXPECT_EQ(app->mTpt, nullptr);
    EXPECT_GE(app->mTotalSecsOnline - before, 7u);
    EXPECT_EQ(app->mConnectStartSecs, 0u);
    ASSERT_TRUE(PumpUntil([&] { return !server.HasOpenConnection() || server.ClientClosed(); }, "the close"));
    delete tracker;
}

TEST_F(ServerConnectionTest, ConnectingAgainEndsThePreviousSessionFirst)
{
    Connect(Address());
    ASSERT_TRUE(PumpUntilSessionReady());
    Connect(Address());
    EXPECT_FALSE(app->mIsConnected);
    ASSERT_TRUE(PumpUntil([&] { return server.ConnectionCount() == 2 && server.CountReceived(101) == 2; },
                          "the second session"));
    PumpUntil([&] { return model.OnlineUsers().size() == 2; }, "the first session to be gone on the server");
}

TEST_F(ServerConnectionTest, AddressTextsGiveHostPortAndDisplayName)
{
    const auto url = P("quenvol://example.invalid:1234/folder");
    app->DoConnect(url.data(), nullptr);
    EXPECT_EQ(Str(app->mAddress.name), "example.invalid:1234");
    EXPECT_EQ(app->mBasePortNum, 1234u);
    EXPECT_EQ(app->mAddress.port, 1234);
    EXPECT_EQ(app->mAddress.type, 42);
    const std::string longHost(70, 'h');
    const auto plain = P(longHost);
    app->DoConnect(plain.data(), nullptr);
    EXPECT_EQ(app->mBasePortNum, 5500u);
    EXPECT_EQ(Str(app->mTasksTitle), "Tasks (" + longHost.substr(0, 63) + ")");
    const auto name = P("My Server");
    app->DoConnect(plain.data(), name.data());
    EXPECT_EQ(Str(app->mChatTitle), "Chat (My Server)");
    app->DoDisconnect();
    EXPECT_EQ(Str(app->mChatTitle), "Chat");
    ExpectSessionEnded();
}
