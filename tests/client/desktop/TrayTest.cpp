// The tray icon's model in the whole client: what the icon shows as the connection comes and goes and
// messages arrive while the user is elsewhere, and what its menu offers and does. The icon itself needs
// a desktop with a tray; the test desktop has none, which is also the case where closing the main window
// must still quit.
#include <QApplication>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "client/app/CMyApplication.h"
#include "client/app/CMyMainWindow.h"
#include "client/chat/CMyPrivMsgWin.h"
#include "client/desktop/CMyDesktop.h"
#include "client/desktop/CMyTray.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/CWindow.h"
#include "tests/support/CAppHarness.h"
#include "tools/testserver/TestWire.h"

namespace
{
constexpr uint16_t kRobinUserID = 900;
using EAction = SMyTrayEntry::EAction;

std::vector<EAction> Actions(const std::vector<SMyTrayEntry>& entries)
{
    std::vector<EAction> actions;
    for (const SMyTrayEntry& e : entries)
        actions.push_back(e.action);
    return actions;
}

const SMyTrayEntry* Find(const std::vector<SMyTrayEntry>& entries, EAction action)
{
    auto it = std::find_if(entries.begin(), entries.end(),
                           [&](const SMyTrayEntry& e) { return e.action == action; });
    return it == entries.end() ? nullptr : &*it;
}

class TrayTest : public testing::Test
{
protected:
    void SetUp() override
    {
        h = std::make_unique<CAppHarness>();
        h->model.guestAccess = CServerModel::AllAccess();
        h->model.extraUsers.push_back({kRobinUserID, 410, 0, "Robin"});
        h->layout = "main";
        h->Start();
        ASSERT_NE(Desktop().Tray(), nullptr);
    }
    void TearDown() override
    {
        if (h)
            for (CWindow* w : h->Windows<CMyPrivMsgWin>())
                delete w;
        h.reset();
    }
    void PushMessage(const std::string& text)
    {
        h->server.PushTransaction(104, testwire::CFields()
                                           .AddInteger(103, kRobinUserID)
                                           .Add(102, "Robin")
                                           .AddInteger(113, 1)
                                           .Add(101, text)
                                           .Bytes());
    }
    CMyDesktop& Desktop() { return static_cast<CMyDesktop&>(h->App().Features().Desktop()); }
    CMyTray& Tray() { return *Desktop().Tray(); }

    std::unique_ptr<CAppHarness> h;
};

TEST_F(TrayTest, TheIconFollowsTheConnectionAndMarksMessagesUntilTheUserComesBack)
{
    EXPECT_EQ(Tray().Look(), EMyTrayLook::kDisconnected);
    EXPECT_EQ(Tray().ToolTip().toStdString(), "Quenvol: not connected");
    EXPECT_EQ(Actions(Tray().Entries()),
              (std::vector<EAction>{EAction::kShow, EAction::kConnect, EAction::kSeparator, EAction::kQuit}));

    ASSERT_TRUE(h->Login());
    EXPECT_EQ(Tray().Look(), EMyTrayLook::kConnected);
    EXPECT_NE(Tray().ToolTip().indexOf(QString::fromStdString(h->Address())), -1)
        << Tray().ToolTip().toStdString();

    // A message while the user works elsewhere marks the icon; the mark counts until the user is back.
    // Its window opens behind, as it does for a user who works elsewhere: one that came to the front
    // would make the client active, which takes the mark away.
    h->App().Features().Settings().showPrivMsgAtBack = true;
    QApplication::setActiveWindow(nullptr);
    PushMessage("Are you there?");
    ASSERT_TRUE(h->WaitUntil([&] { return Tray().Look() == EMyTrayLook::kUnread; }, "the unread mark"));
    EXPECT_NE(Tray().ToolTip().indexOf("1 private message"), -1) << Tray().ToolTip().toStdString();
    QApplication::setActiveWindow(nullptr);
    PushMessage("Hello?");
    ASSERT_TRUE(
        h->WaitUntil([&] { return Tray().ToolTip().contains("2 private messages"); }, "the second mark"));

    // Show brings the client back and takes the mark away.
    Tray().Choose(*Find(Tray().Entries(), EAction::kShow));
    EXPECT_EQ(Tray().Look(), EMyTrayLook::kConnected);
    // Other notices leave no mark.
    Tray().NoteArrived(EMyNotice::TransferDone);
    EXPECT_EQ(Tray().Look(), EMyTrayLook::kConnected);
}

TEST_F(TrayTest, TheMenuDisconnectsConnectsToARecentServerAndQuits)
{
    ASSERT_TRUE(h->Login());
    std::vector<SMyTrayEntry> entries = Tray().Entries();
    ASSERT_NE(Find(entries, EAction::kDisconnect), nullptr);
    EXPECT_EQ(Find(entries, EAction::kConnect), nullptr);
    // The server just logged in to is the recent one, by its address.
    const SMyTrayEntry* recent = Find(entries, EAction::kRecent);
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(recent->title, h->Address());
    const SMyTrayEntry chosenRecent = *recent;

    Tray().Choose(*Find(entries, EAction::kDisconnect));
    ASSERT_TRUE(h->WaitUntil([&] { return !h->App().Features().Session().IsOpen(); }, "the disconnect"));
    EXPECT_EQ(Tray().Look(), EMyTrayLook::kDisconnected);
    ASSERT_NE(Find(Tray().Entries(), EAction::kConnect), nullptr);

    const size_t logins = h->Requests(107).size();
    Tray().Choose(chosenRecent);
    ASSERT_TRUE(h->WaitUntil(
        [&] { return h->App().Features().Session().IsConnected() && h->Requests(107).size() > logins; },
        "the connection to the recent server"));
    EXPECT_EQ(Tray().Look(), EMyTrayLook::kConnected);

    Tray().Choose(*Find(Tray().Entries(), EAction::kQuit));
    const bool quitting = UApplication::IsQuitting();
    UApplication::_CancelQuit();
    EXPECT_TRUE(quitting);
}

TEST_F(TrayTest, WithoutATrayClosingTheMainWindowQuitsEvenWithTheSwitchOn)
{
    ASSERT_FALSE(Tray().IsShown());
    h->App().Features().Settings().keepInTray = true;
    h->App().DoCloseWindow(h->App().Features().Windows().Main());
    const bool quitting = UApplication::IsQuitting();
    UApplication::_CancelQuit();
    EXPECT_TRUE(quitting) << "the client would run on with no window and no icon to come back from";
}
} // namespace
