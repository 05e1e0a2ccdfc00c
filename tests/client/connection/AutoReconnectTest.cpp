// The real application losing the local server and coming back by itself when the server is there
// again: no user step, no box, the same login; and every way of losing a session that must not bring it
// back.
#include <QApplication>
#include <gtest/gtest.h>
#include <string>

#include "client/app/CMyApplication.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/connection/CMyAgreementWin.h"
#include "client/tasks/CMyTaskListView.h"
#include "client/tasks/CMyTasksWin.h"
#include "framework/runtime/UClock.h"
#include "tests/support/CAppHarness.h"

namespace
{
class AutoReconnectTest : public testing::Test
{
protected:
    void SetUp() override
    {
        h.model.guestAccess = CServerModel::AllAccess();
        h.model.accounts["abc"] = {"pw", "Alice", CServerModel::AllAccess()};
        h.Start();
        app = &h.App();
        port = h.server.Port();
    }
    // The server goes away as a crashed or restarted one does: the connection closes and nobody listens.
    void KillServer()
    {
        h.server.StopListening();
        h.server.CloseConnection();
    }
    bool WaitForAttempt(uint32_t attempt)
    {
        return h.WaitUntil(
            [&]
            {
                return app->Features().Connection().Reconnect().IsWaiting() &&
                       app->Features().Connection().Reconnect().Attempt() == attempt;
            },
            "the wait for the next attempt");
    }
    bool LoggedInAgain(size_t logins)
    {
        return h.WaitUntil(
            [&]
            {
                return app->Features().Session().IsLoggedIn() && h.server.CountReceived(107) == logins &&
                       !app->Features().Connection().Reconnect().IsActive();
            },
            "the login of the reconnect");
    }
    std::string ToolbarTitle() const { return CAppHarness::Title(app->Features().Windows().Toolbar()); }

    CAppHarness h;
    CMyApplication* app = nullptr;
    uint16_t port = 0;
};

const std::string kDash = "\xD1"; // the dash in the client's 8-bit text
} // namespace

TEST_F(AutoReconnectTest, ARestartedServerIsLoggedInAgainAfterTheBackOffWithNoStepAndNoBox)
{
    ASSERT_TRUE(h.Login("abc", "pw"));
    StClockInHand clock;
    KillServer();
    ASSERT_TRUE(WaitForAttempt(1));
    EXPECT_FALSE(h.HasBox(131));
    const std::string waiting = "Connection lost " + kDash + " reconnecting in ";
    EXPECT_EQ(ToolbarTitle().rfind(waiting, 0), 0u) << ToolbarTitle();
    EXPECT_NE(ToolbarTitle().find("(attempt 1)"), std::string::npos);
    ASSERT_EQ(h.TaskRows().size(), 1u);
    EXPECT_EQ(h.TaskRows()[0], ToolbarTitle());
    EXPECT_NE(h.ChatText().find(waiting), std::string::npos);

    // Attempt 1 comes within 2 s and a fifth, finds nobody listening, and attempt 2 waits 4 s more.
    UClock::Advance(2400);
    ASSERT_TRUE(WaitForAttempt(2));
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_EQ(h.server.ConnectionCount(), 1u);
    ASSERT_TRUE(h.server.Listen(port));
    UClock::Advance(3199);
    h.Pump();
    EXPECT_EQ(h.server.ConnectionCount(), 1u) << "attempt 2 came before 4 s less a fifth";
    UClock::Advance(4800 - 3199);
    ASSERT_TRUE(LoggedInAgain(2));
    EXPECT_EQ(h.server.ConnectionCount(), 2u);
    EXPECT_EQ(h.model.LoginOf(h.server.LastConnection()), "abc");
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_EQ(ToolbarTitle(), "Quenvol");
    EXPECT_EQ(CAppHarness::Title(app->Features().Windows().Chat()), "Chat (" + h.Address() + ")");
    EXPECT_NE(h.ChatText().find(kDash + " reconnected at "), std::string::npos);
    UClock::Advance(1000); // finished rows are reaped a little later
    ASSERT_TRUE(h.WaitUntil([&] { return h.TaskRows().empty(); }, "the rows to go"));

    // The next loss starts again from the short wait.
    KillServer();
    ASSERT_TRUE(WaitForAttempt(1));
    ASSERT_TRUE(h.server.Listen(port));
    UClock::Advance(2400);
    ASSERT_TRUE(LoggedInAgain(3));
    EXPECT_TRUE(h.boxes.empty());
}

TEST_F(AutoReconnectTest, WithTheOptionOffTheLossIsToldAndOnlyTheBoxsReconnectComesBack)
{
    app->Features().Settings().reconnect = false;
    ASSERT_TRUE(h.Login("abc", "pw"));
    StClockInHand clock;
    h.boxAnswers = {2}; // OK
    KillServer();
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(150, "connection to the server was lost"); }, "the box"));
    ASSERT_TRUE(h.server.Listen(port));
    UClock::Advance(200000);
    h.Pump();
    EXPECT_FALSE(app->Features().Connection().Reconnect().IsActive());
    EXPECT_EQ(h.server.ConnectionCount(), 1u);
    EXPECT_EQ(ToolbarTitle(), "Quenvol");
    EXPECT_TRUE(h.TaskRows().empty());

    // The same loss answered with Reconnect connects again, with the same login, at once.
    ASSERT_TRUE(h.Login("abc", "pw"));
    h.boxes.clear();
    h.boxAnswers = {1};
    h.server.CloseConnection();
    ASSERT_TRUE(
        h.WaitUntil([&] { return app->Features().Session().IsLoggedIn() && h.server.ConnectionCount() == 3; },
                    "the login after the box"));
    EXPECT_TRUE(h.HasBox(150));
    EXPECT_EQ(h.model.LoginOf(h.server.LastConnection()), "abc");
}

TEST_F(AutoReconnectTest, SessionsEndedOnPurposeOrNeverLoggedInAreNotBroughtBack)
{
    StClockInHand clock;
    auto expectNothingComesBack = [&](const char* how)
    {
        const uint32_t connections = h.server.ConnectionCount();
        UClock::Advance(200000);
        h.Pump();
        EXPECT_FALSE(app->Features().Connection().Reconnect().IsActive()) << how;
        EXPECT_EQ(h.server.ConnectionCount(), connections) << how;
        EXPECT_FALSE(h.HasBox(131)) << how;
    };
    ASSERT_TRUE(h.Login());
    app->DoDisconnect();
    expectNothingComesBack("the user disconnected");

    ASSERT_TRUE(h.Login());
    h.model.SendDisconnectMessage(h.server, h.server.LastConnection(), "Bye");
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(143); }, "the disconnect box"));
    expectNothingComesBack("the server disconnected the user");

    // Lost while the login was on its way: there was nothing to come back to.
    STestReply silent;
    silent.answer = false;
    h.server.SetReply(107, silent);
    const auto address = CAppHarness::P(h.Address());
    app->DoConnect(address.data(), nullptr);
    ASSERT_TRUE(h.WaitUntil([&] { return h.server.CountReceived(107) == 3; }, "the login request"));
    h.server.CloseConnection();
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(131); }, "the lost connection box"));
    h.boxes.clear();
    expectNothingComesBack("the login never came");
    h.server.ClearReply(107);
}

TEST_F(AutoReconnectTest, TheTaskRowStartsTheNextAttemptAtOnceOrStopsThemAll)
{
    ASSERT_TRUE(h.Login());
    StClockInHand clock;
    KillServer();
    ASSERT_TRUE(WaitForAttempt(1));
    UClock::Advance(2400);
    ASSERT_TRUE(WaitForAttempt(2));

    // Start on the row: attempt 2 goes now, not 4 s from now.
    ASSERT_TRUE(h.server.Listen(port));
    app->Features().Windows().Tasks()->View()->SelectOnly(1);
    app->DoStartTask();
    ASSERT_TRUE(LoggedInAgain(2));

    // Stop on the row: no attempt ever again.
    KillServer();
    ASSERT_TRUE(WaitForAttempt(1));
    ASSERT_TRUE(h.server.Listen(port));
    app->Features().Windows().Tasks()->View()->SelectOnly(1);
    app->DoStopTask();
    EXPECT_FALSE(app->Features().Connection().Reconnect().IsActive());
    EXPECT_EQ(ToolbarTitle(), "Quenvol");
    UClock::Advance(200000);
    h.Pump();
    EXPECT_EQ(h.server.ConnectionCount(), 2u);
    EXPECT_TRUE(h.boxes.empty());
}

TEST_F(AutoReconnectTest, ARefusedLoginOnAnAttemptEndsTheAttempts)
{
    ASSERT_TRUE(h.Login("abc", "pw"));
    StClockInHand clock;
    KillServer();
    ASSERT_TRUE(WaitForAttempt(1));
    h.model.accounts.erase("abc"); // the account went while the server was down
    ASSERT_TRUE(h.server.Listen(port));
    UClock::Advance(2400);
    ASSERT_TRUE(
        h.WaitUntil([&] { return !app->Features().Connection().Reconnect().IsActive() && !h.boxes.empty(); },
                    "the refusal"));
    EXPECT_EQ(h.boxes[0].title, "Server Message");
    UClock::Advance(200000);
    h.Pump();
    EXPECT_EQ(h.server.ConnectionCount(), 2u);
    EXPECT_FALSE(h.HasBox(131));
}

// Pins: every automatic reconnect put the server's agreement before the user again, though they had
// agreed to it in the very session that came back.
TEST_F(AutoReconnectTest, TheAgreementIsNotAskedAgainWhenTheSessionComesBackButIsOnANewConnect)
{
    h.model.agreement = "Be nice.";
    int shown = 0;
    // One answer more than is wanted, so that an agreement asked again is counted, not refused.
    for (int i = 0; i < 3; ++i)
        h.OnModal<CMyAgreementWin>(
            [&](CMyAgreementWin& win)
            {
                ++shown;
                win.Hit(CMyAgreementWin::kHitAgree);
            });
    ASSERT_TRUE(h.Login("abc", "pw"));
    ASSERT_TRUE(h.WaitUntil([&] { return shown == 1; }, "the first agreement"));
    StClockInHand clock;
    KillServer();
    ASSERT_TRUE(WaitForAttempt(1));
    ASSERT_TRUE(h.server.Listen(port));
    UClock::Advance(2400);
    ASSERT_TRUE(LoggedInAgain(2));

    // A connect of the user's own is a new session: it asks. Had the reconnect asked too, its window
    // would have come first.
    ASSERT_TRUE(h.Login("abc", "pw"));
    ASSERT_TRUE(h.WaitUntil([&] { return shown >= 2; }, "the agreement of the new session"));
    h.Pump();
    EXPECT_EQ(shown, 2);
    EXPECT_FALSE(app->Features().Session().HasAgreement());
}
