// The real application with its tracker: Ctrl+R shows the servers a tracker lists, the search narrows
// them, a double click connects (with Alt through the connect dialog), and tracker queries outlive a
// server session and the application's own end.
#include <QAbstractScrollArea>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>

#include "client/app/CMyApplication.h"
#include "client/connection/CMyLoginWin.h"
#include "client/tracker/CMyGetTrackServListTask.h"
#include "client/tracker/CMyServersWindow.h"
#include "client/tracker/CMyTracker.h"
#include "client/tracker/CServersList.h"
#include "client/tracker/CTrackersList.h"
#include "client/tracker/TrackerCommands.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/SHitMsgData.h"
#include "tests/support/CAppHarness.h"
#include "tools/testserver/CTestTracker.h"

namespace
{
class TrackerAppTest : public testing::Test
{
protected:
    void SetUp() override
    {
        h.model.guestAccess = CServerModel::AllAccess();
        h.Start();
        app = &h.App();
        ASSERT_TRUE(app->Features().Tracker());
        ASSERT_TRUE(tracker.Listen());
        STestTrackedServer self;
        self.port = h.server.Port();
        self.users = 2;
        self.name = "Loopback Server";
        self.desc = "The one these tests log in to";
        STestTrackedServer other;
        other.address[3] = 9;
        other.port = 5500;
        other.name = "Elsewhere";
        other.desc = "Never reached";
        tracker.SetServers({self, other});
        // Only the test's tracker: the first-start entry would ask this machine's tracker port.
        CTrackersList* list = app->Features().Tracker()->GetTrackerList();
        list->RemoveAll();
        app->Features().Tracker()->AddTracker(P("Test Tracker").data(), P("").data(),
                                              P("127.0.0.1:" + std::to_string(tracker.Port())).data(),
                                              P("").data(), P("").data(), 0, 1);
    }

    static std::vector<uint8_t> P(const std::string& text) { return CAppHarness::P(text); }
    CMyServersWindow* Servers() const { return app->Features().Tracker()->GetServersWin(); }
    CServersList* List() const { return app->Features().Tracker()->GetServersList(); }
    bool ShowAndList()
    {
        h.Key('R', 'r', kModCtrl);
        return h.WaitUntil([&] { return List()->GetItemCount() == 2; }, "the tracker's servers");
    }
    // Double-clicks the row as a user would, on the list's visible area.
    void DoubleClick(uint32_t row, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* area = static_cast<QAbstractScrollArea*>(List()->Widget())->viewport();
        const QPoint at(60, int(row - 1) * CServersList::kRowHeight + 8);
        QTest::mouseClick(area, Qt::LeftButton, mods, at);
        QTest::mouseDClick(area, Qt::LeftButton, mods, at);
        h.Pump();
    }

    CAppHarness h;
    CMyApplication* app = nullptr;
    CTestTracker tracker;
};
} // namespace

TEST_F(TrackerAppTest, CtrlRShowsTheListedServersAndTheSearchNarrowsThem)
{
    EXPECT_FALSE(Servers()->IsVisible());
    ASSERT_TRUE(ShowAndList());
    EXPECT_TRUE(Servers()->IsVisible());
    EXPECT_EQ(tracker.HelloCount(), 1u);
    const std::vector<std::string> rows = h.TaskRows();
    EXPECT_NE(std::find(rows.begin(), rows.end(), "Listing Tracker \"Test Tracker\""), rows.end());
    EXPECT_EQ(List()->GetItem(1)->Name, "Loopback Server");
    EXPECT_EQ(h.Str(app->Features().Tracker()->GetTrackerList()->GetServerInfo(0)->Status), "2");
    ASSERT_TRUE(
        h.WaitUntil([&] { return app->Features().Tasks().GetItemCount() == 0; }, "the query to be reaped"));

    // Typing "LOOP" and Enter filters at once; the field reports through the queue as the window would.
    QLineEdit* field = Servers()->SearchField()->LineEdit();
    QTest::keyClicks(field, "LOOP");
    QTest::keyClick(field, Qt::Key_Return);
    h.Pump();
    EXPECT_EQ(List()->GetItemCount(), 1u);
    // Typing alone filters a second after the last change.
    field->clear();
    QTest::keyClicks(field, "-loop");
    h.Pump();
    EXPECT_EQ(List()->GetItemCount(), 1u);
    EXPECT_EQ(List()->GetItem(1)->Name, "Loopback Server") << "not yet";
    ASSERT_TRUE(h.WaitUntil([&] { return List()->GetItem(1) && List()->GetItem(1)->Name == "Elsewhere"; },
                            "the search a second after typing"));
    EXPECT_EQ(app->Features().Tracker()->GetServersWin()->CountLabel()->Label()->text(), "1/2");

    // The menu item and a second Ctrl+R query the tracker again.
    h.MenuItem(309);
    ASSERT_TRUE(h.WaitUntil([&] { return tracker.HelloCount() == 2; }, "a second query"));
}

TEST_F(TrackerAppTest, ADoubleClickConnectsToTheServerAndAltShowsTheConnectDialogFirst)
{
    ASSERT_TRUE(ShowAndList());
    std::string offered;
    h.OnModal<CMyLoginWin>(
        [&](CMyLoginWin& w)
        {
            offered = w.GetServerField()->GetText();
            w.Hit(2);
        });
    DoubleClick(1, Qt::AltModifier);
    ASSERT_TRUE(h.WaitUntil([&] { return !offered.empty(); }, "the connect dialog"));
    EXPECT_EQ(offered, "127.0.0.1:" + std::to_string(h.server.Port()));
    EXPECT_FALSE(app->Features().Session().IsConnected());

    DoubleClick(1);
    ASSERT_TRUE(h.WaitUntil([&] { return !h.Requests(107).empty(); }, "the login"));
    EXPECT_TRUE(app->Features().Session().IsConnected());
    EXPECT_EQ(CAppHarness::Field(h.Requests(107)[0], 105), "") << "no login of a former session";
}

TEST_F(TrackerAppTest, AQueryOutlivesTheSessionAndTheClosedWindowOnlyHides)
{
    ASSERT_TRUE(h.Login());
    tracker.SetHello(CTestTracker::EHello::Ignore);
    h.Key('R', 'r', kModCtrl);
    ASSERT_TRUE(h.WaitUntil([&] { return tracker.HelloCount() == 1; }, "the hello"));
    app->DoDisconnect();
    EXPECT_FALSE(app->Features().Session().IsConnected());
    ASSERT_EQ(app->Features().Tasks().GetItemCount(), 1u);
    EXPECT_TRUE(dynamic_cast<CMyGetTrackServListTask*>(app->Features().Tasks().GetItem(1)));
    EXPECT_EQ(h.Str(app->Features().Tracker()->GetTrackerList()->GetServerInfo(0)->Status), "Connecting...");

    h.Hit(Servers(), kHitCloseBox);
    EXPECT_FALSE(Servers()->IsVisible());
    EXPECT_TRUE(app->Features().Tracker());
    // The query is still running when the application goes: it reports to the tracker on its way out,
    // which the sanitizers watch.
}
