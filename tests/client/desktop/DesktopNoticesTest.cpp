// Notices of the whole client on a bus of the test's own, with a stand-in notification service: what
// arrives while none of the client's windows is active is noticed, what arrives while one is is not,
// a click brings the right window forward, and the switch silences them all.
#include <QApplication>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/chat/CMyChatInviteWin.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/chat/CMyPrivMsgWin.h"
#include "client/core/UMyDesktopSettings.h"
#include "client/desktop/CMyDesktopNotices.h"
#include "client/tasks/CMyTasksWin.h"
#include "framework/runtime/UPString.h"
#include "framework/ui/CWindow.h"
#include "platform/DesktopNotices.h"
#include "tests/support/CAppHarness.h"
#include "tests/support/CPrivateBus.h"
#include "tools/testserver/TestWire.h"

namespace
{
constexpr uint16_t kRobin = 900;

class DesktopNoticesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!CPrivateBus::IsAvailable()) GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_TRUE(bus.Start());
        service = std::make_unique<CFakeNotificationService>(bus.Address());
        ASSERT_TRUE(service->Register());
        platform::SetNoticeBusAddress(bus.Address());
        h = std::make_unique<CAppHarness>();
        h->model.guestAccess = CServerModel::AllAccess();
        h->model.extraUsers.push_back({kRobin, 410, 0, "Robin"});
        h->Start();
        ASSERT_TRUE(h->Login());
    }
    void TearDown() override
    {
        if (h)
            for (CWindow* w : h->Windows<CMyPrivMsgWin>())
                delete w;
        h.reset();
        platform::SetNoticeBusAddress(QString());
    }

    // The user went to another program.
    static void Away() { QApplication::setActiveWindow(nullptr); }
    void PushMessage(const std::string& text, uint16_t type = 104)
    {
        h->server.PushTransaction(type, testwire::CFields()
                                            .AddInteger(103, kRobin)
                                            .Add(102, "Robin")
                                            .AddInteger(113, 1)
                                            .Add(101, text)
                                            .Bytes());
    }
    bool WaitNotices(size_t count)
    {
        return h->WaitUntil([&] { return service->notices.size() >= count; }, "notices at the service");
    }
    bool WaitMessages(size_t count)
    {
        return h->WaitUntil([&] { return h->Windows<CMyPrivMsgWin>().size() >= count; }, "message windows");
    }

    CPrivateBus bus;
    std::unique_ptr<CFakeNotificationService> service;
    std::unique_ptr<CAppHarness> h;
};

TEST_F(DesktopNoticesTest, AMessageIsNoticedOnlyWhileNoWindowIsActiveAndTheClickBringsItsWindow)
{
    Away();
    PushMessage("Lunch at noon?\rAt the usual place.");
    ASSERT_TRUE(WaitNotices(1));
    EXPECT_EQ(service->notices[0].summary, "Private message from Robin");
    EXPECT_EQ(service->notices[0].body, "Lunch at noon?\nAt the usual place.");
    EXPECT_EQ(service->notices[0].hints.value("category").toString(), "im.received");
    ASSERT_TRUE(WaitMessages(1));
    CMyPrivMsgWin* first = h->Windows<CMyPrivMsgWin>()[0];

    // The user works in the client: what arrives is seen there.
    h->App().Features().Windows().Chat()->BringToFront();
    ASSERT_TRUE(h->WaitUntil([] { return QApplication::activeWindow() != nullptr; }, "an active window"));
    PushMessage("Second");
    ASSERT_TRUE(WaitMessages(2));
    // Its window comes forward while the user is in the client; only then does the user go away, or
    // the window's activation, which the window system delivers later, would bring the user back.
    ASSERT_TRUE(
        h->WaitUntil([&] { return QApplication::activeWindow() == h->Windows<CMyPrivMsgWin>()[1]->Widget(); },
                     "the second message to come forward"));
    Away();
    PushMessage("Third");
    ASSERT_TRUE(WaitNotices(2));
    EXPECT_EQ(service->notices[1].body, "Third") << "the second message was noticed";

    // The click on the first notice brings the first message forward.
    service->Click(service->notices[0].id);
    ASSERT_TRUE(h->WaitUntil([&] { return QApplication::activeWindow() == first->Widget(); },
                             "the first message to come forward"));
    ASSERT_TRUE(WaitMessages(3));
}

TEST_F(DesktopNoticesTest, BroadcastsInvitationsAndTransfersAreNoticedAndTheSwitchSilencesThemAll)
{
    Away();
    PushMessage("Server going down at six", 355);
    ASSERT_TRUE(WaitNotices(1));
    EXPECT_EQ(service->notices[0].summary, "Broadcast from Robin");
    EXPECT_EQ(service->notices[0].body, "Server going down at six");

    Away();
    h->server.PushTransaction(113, testwire::CFields().AddInteger(114, 77).Add(102, "Robin").Bytes());
    ASSERT_TRUE(WaitNotices(2));
    EXPECT_EQ(service->notices[1].summary, "Robin invites you to a private chat");
    ASSERT_EQ(h->Windows<CMyChatInviteWin>().size(), 1u);
    CMyChatInviteWin* invitation = h->Windows<CMyChatInviteWin>()[0];

    // The transfers call this when a transfer ends; the click shows the tasks window.
    Away();
    h->App().Features().Windows().Tasks()->Hide();
    h->App().Features().Desktop().NotifyTransferEnded(CAppHarness::P("song.mp3").data(), false, {});
    ASSERT_TRUE(WaitNotices(3));
    EXPECT_EQ(service->notices[2].summary, "Transfer failed");
    EXPECT_EQ(service->notices[2].body, "song.mp3");
    EXPECT_EQ(service->notices[2].hints.value("category").toString(), "transfer.error");
    service->Click(service->notices[2].id);
    ASSERT_TRUE(
        h->WaitUntil([&] { return h->App().Features().Windows().Tasks()->IsVisible(); }, "the tasks window"));

    // A click on the notice of an invitation that is gone brings the client forward instead.
    h->Hit(invitation, kHitRejectChatInvite);
    ASSERT_TRUE(h->Windows<CMyChatInviteWin>().empty());
    Away();
    service->Click(service->notices[1].id);
    ASSERT_TRUE(
        h->WaitUntil([] { return QApplication::activeWindow() != nullptr; }, "the client to come forward"));

    // Off: nothing more, and the setting is kept in the desktop settings file, not in the preferences.
    static_cast<CMyDesktop&>(h->App().Features().Desktop()).Notices().SetOn(false);
    QFile settings(QString::fromStdString(h->UserFolder()) + "/../config/Quenvol/desktop.conf");
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains("notifications=false"));
    Away();
    PushMessage("Quietly");
    h->App().Features().Desktop().NotifyTransferEnded(CAppHarness::P("b.txt").data(), true, {});
    ASSERT_TRUE(WaitMessages(2));
    // A notice asked for would be on its way until the service answered it.
    EXPECT_EQ(platform::PendingDesktopNotices(), 0u);
    EXPECT_EQ(service->notices.size(), 3u);
    SMySettings kept;
    UMyDesktopSettings::Read(kept);
    EXPECT_FALSE(kept.desktopNotices) << "the switch was not kept";
}
} // namespace

namespace
{
TEST_F(DesktopNoticesTest, AChatLineNamingTheUserIsNoticedOnlyWhileNoWindowIsActive)
{
    UPString::SetText(h->App().Features().Settings().userName, "tester");
    auto line = [&](const std::string& text)
    { h->server.PushTransaction(106, testwire::CFields().Add(101, "\rRobin:  " + text).Bytes()); };
    auto inChat = [&](const std::string& text)
    { return h->WaitUntil([&] { return h->ChatText().find(text) != std::string::npos; }, "the chat line"); };
    // The user works in the client: the line is highlighted there, and no notice goes out.
    h->App().Features().Windows().Chat()->BringToFront();
    ASSERT_TRUE(h->WaitUntil([] { return QApplication::activeWindow() != nullptr; }, "an active window"));
    line("tester, are you there?");
    ASSERT_TRUE(inChat("are you there"));
    Away();
    line("a line for nobody");
    line("TESTER! wake up");
    ASSERT_TRUE(WaitNotices(1));
    EXPECT_EQ(service->notices[0].summary, "You were named in public chat");
    EXPECT_EQ(service->notices[0].body, "Robin:  TESTER! wake up");
    // The switch of the mentions silences them.
    h->App().Features().Settings().chatMentions = false;
    line("tester again");
    PushMessage("after");
    ASSERT_TRUE(WaitNotices(2));
    EXPECT_EQ(service->notices[1].summary, "Private message from Robin");
}
} // namespace
