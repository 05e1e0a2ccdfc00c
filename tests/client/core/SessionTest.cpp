// The session without a server: the address a text names, the firewall the settings give, the two
// answers to "is there a session" through a connection's life, and what the end of a session does.
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "client/core/CMySession.h"
#include "client/core/SMySettings.h"
#include "client/core/SMyStatistics.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"

namespace
{
void IgnoreMessage(void*, void*, uint32_t, const void*, uint32_t) {}

std::string FromPString(const uint8_t* pstring)
{
    return std::string(UPString::Text(pstring));
}

class CRecordingListener : public CMySessionListener
{
public:
    CRecordingListener(std::vector<std::string>& log, std::string name) : mLog(log), mName(std::move(name)) {}
    void SessionEnded() override
    {
        mLog.push_back(mName);
        if (then) then();
    }
    void SessionPaused() override { mLog.push_back(mName + " paused"); }
    std::function<void()> then;

private:
    std::vector<std::string>& mLog;
    std::string mName;
};

class SessionTest : public testing::Test
{
protected:
    void SetAddress(const std::string& text)
    {
        session.SetAddress(reinterpret_cast<const uint8_t*>(text.data()), uint32_t(text.size()));
    }

    SMySettings settings;
    SMyStatistics totals;
    CMySession session{settings, totals, IgnoreMessage, nullptr};
};
} // namespace

TEST_F(SessionTest, AnAddressTextGivesTheServerAndItsPort)
{
    SetAddress("quenvol://files.example.org:6600/Docs/readme");
    EXPECT_EQ(FromPString(session.Address().name), "files.example.org:6600");
    EXPECT_EQ(session.Address().type, kInternetNameAddressType);
    EXPECT_EQ(session.Address().port, 6600);
    EXPECT_EQ(session.BasePort(), 6600u);
    SetAddress("10.0.0.5");
    EXPECT_EQ(FromPString(session.Address().name), "10.0.0.5");
    EXPECT_EQ(session.BasePort(), uint32_t(CMySession::kDefaultServerPort));
}

TEST_F(SessionTest, TheFirewallComesFromTheSettingsWithTheSocksPortUnlessItNamesOne)
{
    EXPECT_EQ(session.FirewallAddress().name[0], 0);
    UPString::SetText(settings.firewall, "socks.example.org");
    EXPECT_EQ(FromPString(session.FirewallAddress().name), "socks.example.org");
    EXPECT_EQ(session.FirewallAddress().port, CMySession::kDefaultFirewallPort);
    UPString::SetText(settings.firewall, "socks.example.org:1081");
    EXPECT_EQ(session.FirewallAddress().port, 0); // the text names it
    // The name and icon sent at login are the settings' too.
    UPString::SetText(settings.userName, "Zed");
    settings.iconID = 2001;
    EXPECT_EQ(FromPString(session.UserName()), "Zed");
    EXPECT_EQ(session.IconID(), 2001);
}

TEST_F(SessionTest, OpenWhileThereIsAConnectionConnectedOnlyOnceItIsUp)
{
    EXPECT_FALSE(session.IsOpen());
    EXPECT_FALSE(session.IsConnected());
    const uint32_t serial = session.Serial();
    EXPECT_FALSE(session.IsCurrent(serial)); // no session, nothing is current

    session.MakeTransactor();
    EXPECT_TRUE(session.IsOpen());
    EXPECT_FALSE(session.IsConnected());
    EXPECT_TRUE(session.IsCurrent(serial));
    bool closedByUs = true;
    EXPECT_FALSE(session.IsLost(closedByUs)); // connecting is not lost

    session.SetConnected();
    EXPECT_TRUE(session.IsConnected());
    EXPECT_NE(session.ConnectStartSecs(), 0u);
    // The connection object never reached a server: once "connected", it counts as lost, and not by us.
    EXPECT_TRUE(session.IsLost(closedByUs));
    EXPECT_FALSE(closedByUs);

    session.KeepAgreement(UMemory::NewHandle(4));
    session.Close();
    EXPECT_FALSE(session.IsOpen());
    EXPECT_FALSE(session.IsConnected());
    EXPECT_FALSE(session.HasAgreement()) << "an agreement waiting outlived its session";
}

TEST_F(SessionTest, TheEndNumbersANewSessionTellsTheListenersInOrderAndCountsTheTime)
{
    std::vector<std::string> log;
    CRecordingListener folders(log, "folders"), windows(log, "windows"), gone(log, "gone");
    session.AddListener(&folders);
    session.AddListener(&windows);
    session.AddListener(&gone);
    session.AddListener(&folders); // once is enough
    // A listener that goes while the others are told is not told.
    folders.then = [&] { session.RemoveListener(&gone); };

    session.MakeTransactor();
    session.SetConnected();
    const uint32_t serial = session.Serial();
    session.SetConnectStartSecs(session.ConnectStartSecs() - 7);
    session.Close();
    session.End();
    EXPECT_EQ(log, (std::vector<std::string>{"folders", "windows"}));
    EXPECT_NE(session.Serial(), serial);
    EXPECT_FALSE(session.IsCurrent(serial));
    EXPECT_GE(totals.totalSecsOnline, 7u);
    EXPECT_EQ(session.ConnectStartSecs(), 0u);

    // A second end adds no time.
    const uint32_t online = totals.totalSecsOnline;
    session.End();
    EXPECT_EQ(totals.totalSecsOnline, online);
}

TEST_F(SessionTest, OnlineTimeSoFarIsAddedOnlyWhileConnected)
{
    session.AddOnlineTime();
    EXPECT_EQ(totals.totalSecsOnline, 0u);
    session.MakeTransactor();
    session.SetConnected();
    const uint32_t minuteAgo = session.ConnectStartSecs() - 60;
    session.SetConnectStartSecs(minuteAgo);
    session.AddOnlineTime();
    EXPECT_GE(totals.totalSecsOnline, 60u);
    // The count starts again from now, so the minute is not added twice.
    EXPECT_GT(session.ConnectStartSecs(), minuteAgo);
}

TEST_F(SessionTest, APausedSessionKeepsItsListenersUntilItComesBackOrIsGivenUp)
{
    std::vector<std::string> log;
    CRecordingListener windows(log, "windows");
    session.AddListener(&windows);

    session.PauseAtEnd();
    session.End();
    EXPECT_TRUE(session.IsPaused());
    // The attempts' own connections end without a word to the listeners.
    session.End();
    EXPECT_EQ(log, std::vector<std::string>{"windows paused"});
    // Given up: ended once, and only once.
    session.EndPaused();
    session.EndPaused();
    EXPECT_EQ(log, (std::vector<std::string>{"windows paused", "windows"}));
    EXPECT_FALSE(session.IsPaused());

    // Back again: the next end is an ordinary one.
    log.clear();
    session.PauseAtEnd();
    session.End();
    session.Resumed();
    session.EndPaused();
    session.End();
    EXPECT_EQ(log, (std::vector<std::string>{"windows paused", "windows"}));
    session.RemoveListener(&windows);
}
