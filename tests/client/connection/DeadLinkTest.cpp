// Noticing a link that died unseen: keep-alive on the server connection's socket, and a check of the
// connection when the machine wakes or the network comes back (signals on a private bus standing in for
// the system bus), which drops a connection the server no longer answers on and lets the reconnect bring
// the session back.
#include <QDBusConnection>
#include <QDBusMessage>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "client/core/CMyLinkCheck.h"
#include "framework/net/UTransact.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/UClock.h"
#include "platform/WakeSignals.h"
#include "tests/support/CAppHarness.h"
#include "tests/support/CPrivateBus.h"
#include "tools/testserver/TestWire.h"

namespace
{
class DeadLinkTest : public testing::Test
{
protected:
    void SetUp() override
    {
        h.model.guestAccess = CServerModel::AllAccess();
        h.Start();
        app = &h.App();
        port = h.server.Port();
        ASSERT_TRUE(h.Login());
    }
    // Back to the system bus, so that a later test's client listens where the program does.
    void TearDown() override
    {
        if (sender) QDBusConnection::disconnectFromBus(QStringLiteral("quenvol-test-wake"));
        platform::UseSystemBusForWake();
    }
    bool UsePrivateBus()
    {
        if (!CPrivateBus::IsAvailable()) return false;
        if (!bus.Start()) return false;
        platform::SetWakeBusAddress(bus.Address());
        sender = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(bus.Address(), QStringLiteral("quenvol-test-wake")));
        return sender->isConnected();
    }
    void Signal(const char* path, const char* interface, const char* name, const QVariant& argument)
    {
        QDBusMessage signal = QDBusMessage::createSignal(
            QString::fromLatin1(path), QString::fromLatin1(interface), QString::fromLatin1(name));
        signal << argument;
        sender->send(signal);
    }
    void Woke()
    {
        Signal("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", false);
    }
    // The check asks for the online users; the login asked once already.
    bool WaitForCheck(size_t checks)
    {
        return h.WaitUntil([&] { return h.server.CountReceived(300) == 1 + checks; }, "the link check");
    }

    CAppHarness h;
    CMyApplication* app = nullptr;
    uint16_t port = 0;
    CPrivateBus bus;
    std::unique_ptr<QDBusConnection> sender;
};
} // namespace

TEST_F(DeadLinkTest, TheServerConnectionProbesAQuietPeer)
{
    bool on = false;
    uint32_t idle = 0, interval = 0, probes = 0;
    UTransport::GetKeepAlive(UTransact::GetTransport(app->Features().Session().Transactor()), on, idle,
                             interval, probes);
    EXPECT_TRUE(on);
    EXPECT_EQ(idle, 60u);
    EXPECT_EQ(interval, 10u);
    EXPECT_EQ(probes, 3u);
}

TEST_F(DeadLinkTest, AWakeChecksTheConnectionAndASilentOneIsDroppedAndReconnected)
{
    if (!UsePrivateBus()) GTEST_SKIP() << "no private bus (dbus-daemon)";
    StClockInHand clock;

    // Going to sleep is no reason to check; waking is, and an answered check changes nothing.
    Signal("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", true);
    Woke();
    ASSERT_TRUE(WaitForCheck(1));
    // A line the server sends after its answer has arrived only once the answer has.
    h.server.PushTransaction(106, testwire::CFields().Add(101, "\rmark").Bytes());
    ASSERT_TRUE(h.WaitUntil([&] { return h.ChatText().find("mark") != std::string::npos; }, "the answer"));
    UClock::Advance(CMyLinkCheck::kTimeoutMs);
    h.Pump();
    EXPECT_FALSE(app->Features().Connection().Reconnect().IsActive());
    EXPECT_TRUE(app->Features().Session().IsLoggedIn());

    // The network going and coming back is a reason too; this time the server keeps silent, as a peer
    // that is gone would: the connection is dropped as lost, with no box, and the reconnect logs in.
    STestReply silent;
    silent.answer = false;
    h.server.SetReply(300, silent);
    Signal("/org/freedesktop/NetworkManager", "org.freedesktop.NetworkManager", "StateChanged", 20u);
    Signal("/org/freedesktop/NetworkManager", "org.freedesktop.NetworkManager", "StateChanged", 70u);
    ASSERT_TRUE(WaitForCheck(2));
    UClock::Advance(CMyLinkCheck::kTimeoutMs - 1);
    h.Pump();
    EXPECT_TRUE(app->Features().Session().IsLoggedIn()) << "dropped before its time was up";
    UClock::Advance(1);
    ASSERT_TRUE(
        h.WaitUntil([&] { return app->Features().Connection().Reconnect().IsWaiting(); }, "the drop"));
    h.server.ClearReply(300);
    UClock::Advance(2400);
    ASSERT_TRUE(h.WaitUntil(
        [&]
        {
            return app->Features().Session().IsLoggedIn() && h.server.CountReceived(107) == 2 &&
                   !app->Features().Connection().Reconnect().IsActive();
        },
        "the reconnect"));
    EXPECT_EQ(h.server.ConnectionCount(), 2u);
    EXPECT_TRUE(h.boxes.empty());
}
