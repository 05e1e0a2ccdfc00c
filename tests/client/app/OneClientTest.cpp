// One client per user, through the real program: later starts hand their addresses and bookmarks to the
// running client and end with status 0, a socket left by a killed client is taken over, and two
// clients started at the same moment leave exactly one running. Each client is the built program,
// offscreen, with runtime, data and settings folders of the test's own and no message bus.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "client/core/UMyBookmarkFile.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "tests/support/CAppHarness.h"
#include "tests/support/RunLoopWait.h"
#include "tools/testserver/CServerModel.h"
#include "tools/testserver/CTestServer.h"

namespace
{
// A client's start-up under the sanitizers on a busy machine takes seconds.
constexpr uint32_t kStartMs = 60000;

class OneClientTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mHome.isValid());
        for (const char* folder : {"run", "data", "config", "docs"})
            ASSERT_TRUE(QDir(mHome.path()).mkpath(folder));
        QFile::setPermissions(Path("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        model.guestAllowed = true;
        model.accounts["alice"] = {"wonderland", "Alice", {}};
        server.SetModel(&model);
        ASSERT_TRUE(server.Listen());
    }
    void TearDown() override
    {
        for (auto& client : mClients)
            if (client->state() != QProcess::NotRunning)
            {
                client->kill();
                PumpUntil([&] { return client->state() == QProcess::NotRunning; }, "a client to end",
                          kStartMs);
            }
    }

    QString Path(const char* name) const { return mHome.path() + "/" + name; }
    QString SocketPath() const { return Path("run") + "/quenvol-instance.socket"; }
    std::string Address() const { return "quenvol://127.0.0.1:" + std::to_string(server.Port()); }

    QProcess* StartClient(const QStringList& args, const QString& workingFolder = QString())
    {
        auto client = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", Path("run"));
        env.insert("XDG_DATA_HOME", Path("data"));
        env.insert("XDG_CONFIG_HOME", Path("config"));
        // The Wayland run of these tests hands the compositor's platform to the clients it starts.
        env.insert("QT_QPA_PLATFORM", qEnvironmentVariable("QUENVOL_CHILD_PLATFORM", "offscreen"));
        // Nothing of the test may reach the desktop of whoever runs it.
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        client->setProcessEnvironment(env);
        client->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        client->setStandardOutputFile(QProcess::nullDevice());
        if (!workingFolder.isEmpty()) client->setWorkingDirectory(workingFolder);
        client->start(QCoreApplication::applicationDirPath() + "/quenvol", args);
        mClients.push_back(std::move(client));
        return mClients.back().get();
    }
    static bool Ended(QProcess* client)
    {
        return PumpUntil([&] { return client->state() == QProcess::NotRunning; }, "a client to end",
                         kStartMs);
    }
    static bool EndedWithZero(QProcess* client)
    {
        return Ended(client) && client->exitStatus() == QProcess::NormalExit && client->exitCode() == 0;
    }
    bool WaitLogins(size_t count)
    {
        return PumpUntil([&] { return server.CountReceived(107) >= count; }, "a login at the server",
                         kStartMs);
    }
    bool WaitSocket()
    {
        return PumpUntil([&] { return QFile::exists(SocketPath()); }, "the client's socket", kStartMs);
    }
    // The login field of the nth login request, as the client typed it.
    std::string Login(size_t n) const
    {
        size_t seen = 0;
        for (const STestTransaction& t : server.Received())
            if (t.header.type == 107 && seen++ == n)
            {
                std::string login = CAppHarness::Field(t, 105);
                for (char& c : login)
                    c = char(~c);
                return login;
            }
        return "?";
    }

    QTemporaryDir mHome;
    CServerModel model;
    CTestServer server;
    std::vector<std::unique_ptr<QProcess>> mClients;
};

TEST_F(OneClientTest, LaterStartsHandAnAddressAndABookmarkToTheRunningClientAndEnd)
{
    QProcess* first = StartClient({});
    ASSERT_TRUE(WaitSocket());

    QProcess* second = StartClient({QString::fromStdString(Address())});
    ASSERT_TRUE(EndedWithZero(second)) << "exit " << second->exitCode();
    ASSERT_TRUE(WaitLogins(1)) << "the running client did not connect to the address";
    EXPECT_EQ(Login(0), "");

    // A bookmark named relative to the later start's own folder, which the running client does not share.
    {
        const std::string path = Path("docs").toStdString() + "/Wonderland.qbm";
        StFileSysRef file(UFileSys::NewFromNativePath(path.data(), uint32_t(path.size())));
        const auto address = CAppHarness::P(Address().substr(10));
        UMyBookmarkFile::Save(file.Get(), address.data(), CAppHarness::P("alice").data(),
                              CAppHarness::P("wonderland").data());
    }
    QProcess* third = StartClient({"Wonderland.qbm"}, Path("docs"));
    ASSERT_TRUE(EndedWithZero(third)) << "exit " << third->exitCode();
    ASSERT_TRUE(WaitLogins(2)) << "the running client did not open the bookmark";
    EXPECT_EQ(Login(1), "alice");
    EXPECT_EQ(first->state(), QProcess::Running);
}

TEST_F(OneClientTest, AKilledClientsSocketIsRecoveredAndTwoStartsAtOnceLeaveOne)
{
    QProcess* crashed = StartClient({});
    ASSERT_TRUE(WaitSocket());
    crashed->kill();
    ASSERT_TRUE(Ended(crashed));
    ASSERT_TRUE(QFile::exists(SocketPath())) << "a killed client cannot clean up";

    QProcess* a = StartClient({});
    QProcess* b = StartClient({});
    ASSERT_TRUE(
        PumpUntil([&] { return a->state() == QProcess::NotRunning || b->state() == QProcess::NotRunning; },
                  "one of the two to hand over and end", kStartMs));
    QProcess* ended = a->state() == QProcess::NotRunning ? a : b;
    QProcess* running = ended == a ? b : a;
    EXPECT_TRUE(EndedWithZero(ended)) << "exit " << ended->exitCode();
    EXPECT_EQ(running->state(), QProcess::Running);

    // The survivor holds the socket that the killed client left: a later start reaches it.
    QProcess* later = StartClient({QString::fromStdString(Address())});
    ASSERT_TRUE(EndedWithZero(later)) << "exit " << later->exitCode();
    ASSERT_TRUE(WaitLogins(1));
    EXPECT_EQ(running->state(), QProcess::Running);
}

TEST_F(OneClientTest, AQuitSignalQuitsAsTheQuitCommandDoesSavingTheSettings)
{
    // Pins a client that dies on the desktop's end-of-session signal without saving or cleaning up.
    QProcess* client = StartClient({QString::fromStdString(Address())});
    ASSERT_TRUE(WaitLogins(1));
    const QString prefs = Path("data") + "/Quenvol/Quenvol Prefs";
    QFile::remove(prefs);
    client->terminate();
    ASSERT_TRUE(EndedWithZero(client))
        << "exit " << client->exitCode() << ", status " << client->exitStatus();
    EXPECT_TRUE(QFile::exists(prefs)) << "the settings were not saved";
    EXPECT_FALSE(QFile::exists(SocketPath())) << "the one-client socket was left behind";
}
} // namespace
