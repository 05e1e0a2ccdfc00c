// The tracker controller with its windows, and listing tasks against the local test tracker: merging,
// counting, searching, the account dialog, server information, the ticks, and every way a query ends.
#include <QLabel>
#include <QPlainTextEdit>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "client/app/CMyApplication.h"
#include "client/boxes/MsgBox.h"
#include "client/core/CMyTask.h"
#include "client/tracker/CInfoWindow.h"
#include "client/tracker/CMyGetTrackServListTask.h"
#include "client/tracker/CMyServersWindow.h"
#include "client/tracker/CMyTracker.h"
#include "client/tracker/CServersList.h"
#include "client/tracker/CTrackersList.h"
#include "client/tracker/CTrackersListWin.h"
#include "client/tracker/TrackerCommands.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UClock.h"
#include "framework/runtime/UTimer.h"
#include "framework/ui/CCheckBoxView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/SHitMsgData.h"
#include "framework/ui/UWinFromRes.h"
#include "framework/ui/UWindowServices.h"
#include "tests/support/RunLoopWait.h"
#include "tests/support/TestDataFile.h"
#include "tools/testserver/CTestTracker.h"

namespace
{
const uint8_t* P(const std::string& text)
{
    static uint8_t buffers[8][256];
    static int next = 0;
    uint8_t* b = buffers[next++ % 8];
    b[0] = uint8_t(text.size());
    std::memcpy(b + 1, text.data(), text.size());
    return b;
}

std::string S(const uint8_t* p)
{
    return std::string(reinterpret_cast<const char*>(p + 1), p[0]);
}

// The application with a tracker controller of the test's own (it is not started up), which gets the
// hits and refreshes first; errors and connect requests are recorded.
class CTrackerTestApp : public CMyApplication
{
public:
    void Error(const SError& e) override
    {
        errors.push_back(std::to_string(e.type) + "/" + std::to_string(e.id));
    }
    void WindowHit(CWindow* window, const SHitMsgData& hit) override
    {
        if (tracker && tracker->WindowHit(window, hit)) return;
        CMyApplication::WindowHit(window, hit);
    }
    void DoRefreshTracker() override
    {
        if (tracker) tracker->Refresh();
    }
    void DoConnectToTracked(bool withDialog) override { connects.push_back(withDialog); }

    CMyTracker* tracker = nullptr;
    std::vector<std::string> errors;
    std::vector<bool> connects;
};

STestTrackedServer Server(uint8_t a, uint16_t port, const std::string& name, const std::string& desc = "",
                          uint16_t users = 1)
{
    STestTrackedServer s;
    s.address[0] = 10;
    s.address[3] = a;
    s.port = port;
    s.name = name;
    s.desc = desc;
    s.users = users;
    return s;
}

std::string Records(const std::vector<STestTrackedServer>& servers)
{
    std::string out;
    for (const STestTrackedServer& s : servers)
        out += CTestTracker::Record(s);
    return out;
}

SHitMsgData Hit(uint32_t cmd, uint16_t part = 0, uint16_t mods = 0)
{
    SHitMsgData hit{};
    hit.cmd = cmd;
    hit.part = part;
    hit.mods = mods;
    return hit;
}

CTextView* Field(CWindow* dialog, uint32_t id)
{
    auto* scroller = dynamic_cast<CScrollerView*>(UWinFromRes::GetView(dialog, id));
    return scroller ? dynamic_cast<CTextView*>(scroller->GetContent()) : nullptr;
}

class TrackerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        UseBuiltDataFile();
        SetMsgBoxHook([](int16_t, const SMsgBox&) -> uint16_t { return 1; });
        UWindowServices::Register();
        app = new CTrackerTestApp;
        tracker = new CMyTracker;
        app->tracker = tracker;
        list = tracker->GetTrackerList();
        servers = tracker->GetServersList();
        // A first start lists the local tracker; these tests bring their own.
        ASSERT_EQ(list->GetServerTotal(), 1u);
        EXPECT_EQ(S(list->GetServerInfo(0)->Address), "127.0.0.1");
        list->RemoveAll();
    }
    void TearDown() override
    {
        // The application deletes its tasks (they report to the tracker as they go), then the tracker goes.
        delete app;
        delete tracker;
        SetMsgBoxHook(nullptr);
        UApplication::Process();
    }

    STrackServerInfo* AddTracker(const std::string& name, const CTestTracker& t, int16_t use = 1)
    {
        return tracker->AddTracker(P(name), P(""), P("127.0.0.1:" + std::to_string(t.Port())), P(""), P(""),
                                   0, use);
    }
    CMyGetTrackServListTask* Task(uint32_t i) const
    {
        return dynamic_cast<CMyGetTrackServListTask*>(app->Features().Tasks().GetItem(i));
    }
    bool AllTasksGone()
    {
        return PumpUntil([&] { return app->Features().Tasks().GetItemCount() == 0; },
                         "the listing tasks to end");
    }
    std::string Label() const
    {
        return tracker->GetServersWin()->CountLabel()->Label()->text().toStdString();
    }
    void Add(int16_t id, const std::vector<STestTrackedServer>& records)
    {
        const std::string bytes = Records(records);
        tracker->AddListFromData(id, reinterpret_cast<const uint8_t*>(bytes.data()), uint32_t(bytes.size()));
    }

    CTrackerTestApp* app = nullptr;
    CMyTracker* tracker = nullptr;
    CTrackersList* list = nullptr;
    CServersList* servers = nullptr;
};
} // namespace

TEST_F(TrackerTest, ATotalOfZeroFinishesWithTheFirstMessageAndKeepsItsRecords)
{
    CTestTracker t;
    ASSERT_TRUE(t.Listen());
    t.SetServers({Server(1, 5500, "A"), Server(2, 5500, "B")});
    t.SetAnnouncedTotal(0);
    t.SetBatchSize(1);
    STrackServerInfo* entry = AddTracker("Zero", t);
    tracker->Refresh();
    ASSERT_EQ(app->Features().Tasks().GetItemCount(), 1u);
    CMyGetTrackServListTask* task = Task(1);
    ASSERT_TRUE(PumpUntil([&] { return task->mIsFinished; }, "the query to finish"));
    EXPECT_GE(tracker->GetServers().size(), 1u);
    EXPECT_EQ(std::string(tracker->GetServers()[0]->Name), "A");
    ASSERT_TRUE(AllTasksGone());
    EXPECT_EQ(S(entry->Status), "0");
    EXPECT_TRUE(app->errors.empty());
    EXPECT_EQ(t.LastHello(), std::string("QVRK\0\1", 6));
}

TEST_F(TrackerTest, MoreRecordsThanAnnouncedAreAllAddedFromTheMessageThatReachesTheTotal)
{
    CTestTracker t;
    ASSERT_TRUE(t.Listen());
    t.SetServers(
        {Server(1, 1, "A"), Server(2, 1, "B"), Server(3, 1, "C"), Server(4, 1, "D"), Server(5, 1, "E")});
    t.SetAnnouncedTotal(2);
    t.SetBatchSize(3);
    AddTracker("More", t);
    tracker->Refresh();
    CMyGetTrackServListTask* task = Task(1);
    ASSERT_TRUE(PumpUntil([&] { return task->mIsFinished; }, "the query to finish"));
    EXPECT_GE(task->GetCount(), 3u);
    EXPECT_EQ(task->GetTotalCount(), 2u);
    EXPECT_GE(tracker->GetServers().size(), 3u);
    ASSERT_TRUE(AllTasksGone());
    EXPECT_TRUE(app->errors.empty());
}

TEST_F(TrackerTest, AServerFromTwoTrackersIsListedOnceAndCountedForTheFirst)
{
    CTestTracker one, two;
    ASSERT_TRUE(one.Listen());
    ASSERT_TRUE(two.Listen());
    one.SetServers({Server(1, 5500, "Shared"), Server(2, 5500, "Only one")});
    // The same address on another port is another server.
    two.SetServers(
        {Server(1, 5500, "Shared"), Server(1, 5501, "Shared, other port"), Server(3, 5500, "Only two")});
    STrackServerInfo* a = AddTracker("One", one);
    STrackServerInfo* b = AddTracker("Two", two);
    tracker->Refresh();
    // Last entry first.
    ASSERT_EQ(app->Features().Tasks().GetItemCount(), 2u);
    EXPECT_EQ(Task(1)->GetTrackID(), b->ID);
    EXPECT_EQ(Task(2)->GetTrackID(), a->ID);
    CMyGetTrackServListTask* taskOne = Task(2);
    CMyGetTrackServListTask* taskTwo = Task(1);
    ASSERT_TRUE(PumpUntil([&] { return taskOne->mIsFinished && taskTwo->mIsFinished; }, "both queries"));
    EXPECT_EQ(taskOne->GetCount(), 2u) << "duplicates count in the task";
    EXPECT_EQ(taskTwo->GetCount(), 3u);
    EXPECT_EQ(tracker->GetServers().size(), 4u);
    EXPECT_EQ(a->CurrentCount + b->CurrentCount, 4u) << "each server counted for the tracker that added it";
    EXPECT_TRUE(a->CurrentCount == 2 || b->CurrentCount == 3);
    EXPECT_EQ(a->TotalCount, 2u);
    EXPECT_EQ(b->TotalCount, 3u);
    EXPECT_EQ(Label(), "4/4");
    ASSERT_TRUE(AllTasksGone());
    EXPECT_EQ(S(a->Status), "2");
    EXPECT_EQ(S(b->Status), "3");
}

TEST_F(TrackerTest, OtherMessagesAreSkippedWholeAndThreeByteWritesMakeNoDifference)
{
    CTestTracker t;
    ASSERT_TRUE(t.Listen());
    std::vector<STestTrackedServer> list;
    for (uint8_t i = 1; i <= 7; ++i)
        list.push_back(Server(i, 5500, "Server " + std::to_string(i), std::string(i * 10, 'd')));
    t.SetServers(list);
    t.SetBatchSize(3);
    t.SetJunkSize(1000);
    t.SetPieceSize(3);
    AddTracker("Slow", t);
    tracker->Refresh();
    CMyGetTrackServListTask* task = Task(1);
    ASSERT_TRUE(PumpUntil([&] { return task->mIsFinished; }, "the query to finish", 15000));
    EXPECT_EQ(task->GetCount(), 7u);
    EXPECT_EQ(tracker->GetServers().size(), 7u);
    EXPECT_EQ(tracker->GetServers()[6]->Desc, std::string(70, 'd'));
    EXPECT_TRUE(app->errors.empty());
}

TEST_F(TrackerTest, ACloseBeforeTheTotalIsALostConnectionAndTheTrackerWasRefused)
{
    CTestTracker t;
    ASSERT_TRUE(t.Listen());
    t.SetServers({Server(1, 1, "A"), Server(2, 1, "B"), Server(3, 1, "C")});
    t.SetBatchSize(1);
    t.SetCloseBeforeTotal(true);
    STrackServerInfo* entry = AddTracker("Early", t);
    tracker->Refresh();
    ASSERT_TRUE(AllTasksGone());
    ASSERT_EQ(app->errors.size(), 1u);
    EXPECT_EQ(app->errors[0], "8/102");
    EXPECT_EQ(S(entry->Status), "Refused");
    // What arrived before the close stays listed.
    EXPECT_EQ(tracker->GetServers().size(), 1u);
}

TEST_F(TrackerTest, ATrackerThatSendsItsListAndClosesAtOnceIsNotRefused)
{
    CTestTracker t;
    ASSERT_TRUE(t.Listen());
    t.SetServers({Server(1, 1, "A"), Server(2, 1, "B"), Server(3, 1, "C")});
    t.SetBatchSize(1);
    t.SetCloseWhenSent(true);
    STrackServerInfo* entry = AddTracker("Brisk", t);
    tracker->Refresh();
    ASSERT_TRUE(AllTasksGone());
    EXPECT_TRUE(app->errors.empty()) << app->errors[0];
    EXPECT_EQ(S(entry->Status), "3");
    EXPECT_EQ(tracker->GetServers().size(), 3u);
}

TEST_F(TrackerTest, AWrongHelloRefusesTheTracker)
{
    CTestTracker magic, version;
    ASSERT_TRUE(magic.Listen());
    ASSERT_TRUE(version.Listen());
    magic.SetHello(CTestTracker::EHello::WrongMagic);
    version.SetHello(CTestTracker::EHello::WrongVersion);
    STrackServerInfo* a = AddTracker("Magic", magic);
    STrackServerInfo* b = AddTracker("Version", version);
    tracker->Refresh();
    EXPECT_EQ(S(a->Status), "Connecting...");
    ASSERT_TRUE(AllTasksGone());
    ASSERT_EQ(app->errors.size(), 2u);
    EXPECT_NE(std::find(app->errors.begin(), app->errors.end(), "1/8"), app->errors.end());
    EXPECT_NE(std::find(app->errors.begin(), app->errors.end(), "1/7"), app->errors.end());
    EXPECT_EQ(S(a->Status), "Refused");
    EXPECT_EQ(S(b->Status), "Refused");
}

// A tracker that took the connection and never said hello once held its query for good.
TEST_F(TrackerTest, ATrackerThatNeverSaysHelloTimesOutAfterTwentySeconds)
{
    CTestTracker t;
    ASSERT_TRUE(t.Listen());
    t.SetHello(CTestTracker::EHello::Ignore);
    STrackServerInfo* entry = AddTracker("Silent", t);
    StClockInHand clock;
    tracker->Refresh();
    ASSERT_TRUE(PumpUntil([&] { return t.HelloCount() == 1; }, "the hello"));
    UClock::Advance(19999);
    EXPECT_TRUE(app->errors.empty());
    EXPECT_EQ(app->Features().Tasks().GetItemCount(), 1u);
    UClock::Advance(1);
    EXPECT_EQ(app->errors, std::vector<std::string>{"8/103"});
    EXPECT_EQ(app->Features().Tasks().GetItemCount(), 0u);
    EXPECT_EQ(S(entry->Status), "Refused");
}

TEST_F(TrackerTest, AQuerySurvivesTheEndOfTheServerSessionAndIgnoresARemovedEntry)
{
    CTestTracker t;
    ASSERT_TRUE(t.Listen());
    t.SetServers({Server(1, 1, "A")});
    t.SetHello(CTestTracker::EHello::Ignore);
    AddTracker("Quiet", t);
    AddTracker("Unticked", t, 0);
    tracker->Refresh();
    ASSERT_EQ(app->Features().Tasks().GetItemCount(), 1u) << "only ticked trackers are asked";
    EXPECT_EQ(S(list->GetServerInfo(1)->Status), "") << "an unticked tracker is not connecting";
    ASSERT_TRUE(PumpUntil([&] { return t.HelloCount() == 1; }, "the hello"));
    app->KillTasksAndDisconnect();
    EXPECT_EQ(app->Features().Tasks().GetItemCount(), 1u);
    // The entry goes while its query runs: what the query reports changes nothing.
    list->SelectOnly(1);
    list->RemoveSelected();
    Add(0, {Server(9, 9, "Orphan")});
    EXPECT_TRUE(tracker->GetServers().empty());
    delete app->Features().Tasks().GetItem(1);
    EXPECT_EQ(list->GetServerTotal(), 1u);
}

TEST_F(TrackerTest, TheCountLabelAndANewServerFollowTheSearchText)
{
    STrackServerInfo* entry = tracker->AddTracker(P("T"), P(""), P("t.example"), P(""), P(""), 0, 1);
    tracker->GetServersWin()->SearchField()->SetText(P("chat"));
    tracker->FilterServerList();
    Add(entry->ID, {Server(1, 5500, "Harbour Chat"), Server(2, 5500, "Books"), Server(3, 5500, "X", "chat")});
    EXPECT_EQ(servers->GetItemCount(), 2u);
    EXPECT_EQ(Label(), "2/3");
    EXPECT_EQ(entry->CurrentCount, 3u);
    // The same servers again: counted by the parse, not listed twice.
    Add(entry->ID, {Server(1, 5500, "Harbour Chat")});
    EXPECT_EQ(tracker->GetServers().size(), 3u);
    EXPECT_EQ(entry->CurrentCount, 3u);
    tracker->FilterServerList("");
    EXPECT_EQ(Label(), "3/3");
    tracker->Reset();
    EXPECT_EQ(Label(), "0/0");
    EXPECT_EQ(servers->GetItemCount(), 0u);
    EXPECT_EQ(entry->CurrentCount, 0u);
    EXPECT_EQ(S(entry->Status), "Connecting...");
}

TEST_F(TrackerTest, TypingFiltersASecondAfterTheLastChangeAndEnterFiltersAtOnce)
{
    STrackServerInfo* entry = tracker->AddTracker(P("T"), P(""), P("t.example"), P(""), P(""), 0, 1);
    Add(entry->ID, {Server(1, 5500, "Alpha"), Server(2, 5500, "Beta")});
    CMyServersWindow* win = tracker->GetServersWin();
    StClockInHand clock;
    win->SearchField()->SetText(P("alp"));
    ASSERT_TRUE(tracker->WindowHit(win, Hit(kCmdTrackSearch, kTextPartChanged)));
    UClock::Advance(999);
    win->SearchField()->SetText(P("alpha")); // a change within the second starts the wait again
    ASSERT_TRUE(tracker->WindowHit(win, Hit(kCmdTrackSearch, kTextPartChanged)));
    UClock::Advance(999);
    EXPECT_EQ(servers->GetItemCount(), 2u) << "not yet";
    UClock::Advance(1);
    EXPECT_EQ(servers->GetItemCount(), 1u);
    win->SearchField()->SetText(P("beta"));
    tracker->WindowHit(win, Hit(kCmdTrackSearch, kTextPartChanged));
    tracker->WindowHit(win, Hit(kCmdTrackSearch, kTextPartEnter));
    ASSERT_EQ(servers->GetItemCount(), 1u);
    EXPECT_EQ(servers->GetItem(1)->Name, "Beta");
}

TEST_F(TrackerTest, TheConnectAddressLeavesOutTheUsualPortAndTheNameIsCut)
{
    STrackServerInfo* entry = tracker->AddTracker(P("T"), P(""), P("t.example"), P(""), P(""), 0, 1);
    Add(entry->ID, {Server(1, 5500, std::string(40, 'n')), Server(1, 5600, "Other port")});
    uint8_t name[256], address[256];
    EXPECT_FALSE(servers->GetSelectedServInfo(name, address));
    servers->SelectOnly(1);
    ASSERT_TRUE(servers->GetSelectedServInfo(name, address));
    EXPECT_EQ(S(address), "10.0.0.1");
    EXPECT_EQ(S(name), std::string(31, 'n'));
    servers->SelectOnly(2);
    servers->GetSelectedServInfo(name, address);
    EXPECT_EQ(S(address), "10.0.0.1:5600");
    // A double click connects at once, with Alt through the connect dialog; the button always asks.
    tracker->WindowHit(tracker->GetServersWin(), Hit(kCmdTrackConnect, 0, kModDoubleClick));
    tracker->WindowHit(tracker->GetServersWin(), Hit(kCmdTrackConnect, 0, kModDoubleClick | kModAlt));
    tracker->WindowHit(tracker->GetServersWin(), Hit(kCmdTrackConnectWithDialog));
    EXPECT_EQ(app->connects, (std::vector<bool>{false, true, true}));
}

TEST_F(TrackerTest, AServerInformationWindowShowsNameAddressAndDescription)
{
    STrackServerInfo* entry = tracker->AddTracker(P("T"), P(""), P("t.example"), P(""), P(""), 0, 1);
    Add(entry->ID, {Server(7, 5600, "Harbour\rChat", "Boats\rand weather")});
    tracker->WindowHit(tracker->GetServersWin(), Hit(kCmdTrackServerInfo));
    EXPECT_TRUE(tracker->GetInfoWindows().empty()) << "nothing selected, nothing shown";
    servers->SelectOnly(1);
    tracker->WindowHit(tracker->GetServersWin(), Hit(kCmdTrackServerInfo));
    ASSERT_EQ(tracker->GetInfoWindows().size(), 1u);
    CInfoWindow* info = tracker->GetInfoWindows()[0];
    EXPECT_TRUE(info->IsVisible());
    EXPECT_EQ(info->Text()->GetText(), "       Name: Harbour\r       Name: Chat\r    Address: 10.0.0.7:5600\r"
                                       "Description: Boatsand weather");
    EXPECT_TRUE(info->Text()->IsReadOnly());
    EXPECT_EQ(info->Widget()->windowTitle().toStdString(), "Harbour\nChat");
    EXPECT_TRUE(tracker->CloseWindow(info));
    EXPECT_TRUE(tracker->GetInfoWindows().empty());
}

TEST_F(TrackerTest, TicksFlipByClickAndAltClickSetsThemAll)
{
    STrackServerInfo* a = tracker->AddTracker(P("A"), P(""), P("a"), P(""), P(""), 0, 1);
    STrackServerInfo* b = tracker->AddTracker(P("B"), P(""), P("b"), P(""), P(""), 0, 0);
    STrackServerInfo* c = tracker->AddTracker(P("C"), P(""), P("c"), P(""), P(""), 0, 1);
    tracker->GetTrackersWin()->Show();
    const int32_t row2 = CTrackersList::kRowHeight + 5;
    // Alt on an unticked tracker's tick ticks every tracker.
    list->MousePress(10, row2, kModAlt);
    EXPECT_TRUE(a->useServer && b->useServer && c->useServer);
    list->MousePress(10, row2, kModAlt);
    EXPECT_FALSE(a->useServer || b->useServer || c->useServer);
    // A plain click on a tick selects the row and flips its tick; a click beside it only selects.
    list->MousePress(10, 5, 0);
    EXPECT_TRUE(a->useServer);
    EXPECT_EQ(list->GetFirstSelected(), 1u);
    list->MousePress(100, row2, 0);
    EXPECT_FALSE(b->useServer);
    EXPECT_EQ(list->GetFirstSelected(), 2u);
    // Below the last row nothing happens.
    list->MousePress(10, 10 * CTrackersList::kRowHeight, 0);
    EXPECT_EQ(list->GetFirstSelected(), 2u);
}

TEST_F(TrackerTest, TheAccountDialogSavesToTheEntryItWasOpenedFor)
{
    STrackServerInfo* a = tracker->AddTracker(P("A"), P(""), P("a.example"), P("al"), P("pw"), 1, 1);
    STrackServerInfo* b = tracker->AddTracker(P("B"), P(""), P("b.example"), P(""), P(""), 0, 1);
    CTrackersListWin* win = tracker->GetTrackersWin();
    EXPECT_TRUE(tracker->WindowHit(win, Hit(kCmdTrackEdit)));
    EXPECT_TRUE(tracker->GetAccountDialogs().empty()) << "Edit with nothing selected does nothing";

    // Edit A, then select B before saving: A changes, B does not.
    list->SelectOnly(1);
    tracker->WindowHit(win, Hit(kCmdTrackEdit));
    ASSERT_EQ(tracker->GetAccountDialogs().size(), 1u);
    CWindow* dialog = tracker->GetAccountDialogs()[0];
    EXPECT_EQ(dialog->Widget()->windowTitle(), "Account");
    SRect bounds;
    dialog->GetBounds(bounds);
    EXPECT_EQ(bounds.Height(), 115);
    EXPECT_EQ(Field(dialog, 5)->GetText(), "A");
    EXPECT_EQ(Field(dialog, 15)->GetText(), "al");
    EXPECT_TRUE(dynamic_cast<CCheckBoxView*>(UWinFromRes::GetView(dialog, 17))->GetMark());
    EXPECT_FALSE(dynamic_cast<CCheckBoxView*>(UWinFromRes::GetView(dialog, 16))->GetMark());
    EXPECT_TRUE(UWinFromRes::GetView(dialog, 13)->IsEnabled());
    Field(dialog, 6)->SetText(P("a2.example"));
    list->SelectOnly(2);
    // Guest turns the login off and is saved as no account.
    tracker->WindowHit(dialog, Hit(kCmdTrackGuest));
    EXPECT_FALSE(UWinFromRes::GetView(dialog, 15)->IsEnabled());
    EXPECT_FALSE(UWinFromRes::GetView(dialog, 14)->IsEnabled());
    tracker->WindowHit(dialog, Hit(kCmdTrackSave));
    EXPECT_TRUE(tracker->GetAccountDialogs().empty());
    EXPECT_EQ(S(a->Address), "a2.example");
    EXPECT_EQ(a->hasAccount, 0);
    EXPECT_EQ(S(b->Address), "b.example");
    EXPECT_EQ(list->GetServerTotal(), 2u);

    // New, with a tracker selected meanwhile: a third entry, ticked, with the next id.
    tracker->WindowHit(win, Hit(kCmdTrackNew));
    EXPECT_EQ(list->GetFirstSelected(), 0u);
    dialog = tracker->GetAccountDialogs().at(0);
    EXPECT_EQ(Field(dialog, 5)->GetText(), "");
    EXPECT_TRUE(dynamic_cast<CCheckBoxView*>(UWinFromRes::GetView(dialog, 16))->GetMark());
    EXPECT_FALSE(UWinFromRes::GetView(dialog, 13)->IsEnabled());
    Field(dialog, 5)->SetText(P("C"));
    Field(dialog, 6)->SetText(P("c.example"));
    tracker->WindowHit(dialog, Hit(kCmdTrackAccount));
    Field(dialog, 15)->SetText(P("me"));
    Field(dialog, 13)->SetText(P("secret"));
    list->SelectOnly(1);
    tracker->WindowHit(dialog, Hit(kCmdTrackSave));
    ASSERT_EQ(list->GetServerTotal(), 3u);
    const STrackServerInfo* c = list->GetServerInfo(2);
    EXPECT_EQ(S(c->Name), "C");
    EXPECT_EQ(S(c->Pass), "secret");
    EXPECT_EQ(c->hasAccount, 1);
    EXPECT_EQ(c->useServer, 1);
    EXPECT_NE(c->ID, a->ID);
    EXPECT_EQ(S(a->Name), "A");
}

TEST_F(TrackerTest, TheAccountDialogGrowsShrinksAndGoesByCancelOrItsCloseBox)
{
    tracker->WindowHit(tracker->GetTrackersWin(), Hit(kCmdTrackNew));
    CWindow* dialog = tracker->GetAccountDialogs().at(0);
    SRect b;
    tracker->WindowHit(dialog, Hit(kCmdTrackToggleSize));
    dialog->GetBounds(b);
    EXPECT_EQ(b.Height(), 282);
    tracker->WindowHit(dialog, Hit(kCmdTrackToggleSize));
    dialog->GetBounds(b);
    EXPECT_EQ(b.Height(), 115);
    tracker->WindowHit(dialog, Hit(kCmdTrackCancel));
    EXPECT_TRUE(tracker->GetAccountDialogs().empty());
    EXPECT_EQ(list->GetServerTotal(), 0u);

    tracker->WindowHit(tracker->GetTrackersWin(), Hit(kCmdTrackNew));
    dialog = tracker->GetAccountDialogs().at(0);
    EXPECT_TRUE(tracker->CloseWindow(dialog));
    EXPECT_TRUE(tracker->GetAccountDialogs().empty());
    // The two long-lived windows only hide.
    tracker->GetServersWin()->Show();
    SHitMsgData close = Hit(kHitCloseBox);
    close.id = kHitCloseBox;
    EXPECT_TRUE(tracker->WindowHit(tracker->GetServersWin(), close));
    EXPECT_FALSE(tracker->GetServersWin()->IsVisible());
    // Hits of other windows are not the tracker's.
    CWindow other(SRect{0, 0, 10, 10}, kWindowDocument);
    EXPECT_FALSE(tracker->WindowHit(&other, close));
    EXPECT_FALSE(tracker->WindowHit(&other, Hit(kCmdTrackRefresh)));
}

TEST_F(TrackerTest, ALongerDescriptionWidensTheListAndAShorterOneDoesNotNarrowIt)
{
    STrackServerInfo* entry = tracker->AddTracker(P("T"), P(""), P("t"), P(""), P(""), 0, 1);
    Add(entry->ID, {Server(1, 1, "A", "short")});
    const int32_t first = servers->GetContentWidth();
    EXPECT_GT(first, CServersList::kDescLeft);
    Add(entry->ID, {Server(2, 1, "B", std::string(120, 'w'))});
    const int32_t wide = servers->GetContentWidth();
    EXPECT_GT(wide, first + 500);
    tracker->Reset();
    Add(entry->ID, {Server(3, 1, "C", "tiny")});
    EXPECT_EQ(servers->GetContentWidth(), wide);
}

TEST_F(TrackerTest, TheTrackerBlockRoundTripsThroughTheController)
{
    tracker->AddTracker(P("One"), P(""), P("one.example"), P("me"), P("pw"), 1, 1);
    tracker->AddTracker(P("Two"), P(""), P("two.example:7000"), P(""), P(""), 0, 0);
    tracker->GetTrackersWin()->SetBounds(SRect{40, 50, 370, 250});
    tracker->GetTrackersWin()->Show();
    const std::string block = tracker->WritePrefs();

    CMyTracker other;
    EXPECT_EQ(other.GetTrackerList()->GetServerTotal(), 1u) << "the first-start entry";
    other.ReadPrefs(block.data(), uint32_t(block.size()));
    CTrackersList* read = other.GetTrackerList();
    ASSERT_EQ(read->GetServerTotal(), 2u);
    EXPECT_EQ(S(read->GetServerInfo(1)->Address), "two.example:7000");
    EXPECT_EQ(S(read->GetServerInfo(0)->Pass), "pw");
    EXPECT_NE(read->GetServerInfo(0)->ID, read->GetServerInfo(1)->ID);
    EXPECT_TRUE(other.GetTrackersWin()->IsVisible());
    EXPECT_FALSE(other.GetServersWin()->IsVisible());
    SRect b;
    other.GetTrackersWin()->GetBounds(b);
    EXPECT_EQ(b.Width(), 330);
    // Another version changes nothing.
    std::string wrong = block;
    wrong[3] = 9;
    EXPECT_THROW(other.ReadPrefs(wrong.data(), uint32_t(wrong.size())), SError);
    EXPECT_EQ(read->GetServerTotal(), 2u);
}

TEST_F(TrackerTest, ThePreferencesFileCarriesTheBlockBehindItsFixedPart)
{
    tracker->AddTracker(P("One"), P(""), P("one.example"), P(""), P(""), 0, 1);
    char folder[] = "/tmp/quenvol-tracker-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/Quenvol Prefs";
    {
        StFileSysRef file(UFileSys::NewFromNativePath(path.data(), uint32_t(path.size())));
        UFileSys::CreateFile(file.Get(), 0, 0);
        StFileOpener open(file.Get(), kFSPermReadWrite);
        const std::string fixed(788, 'f');
        UFileSys::Write(file.Get(), 0, fixed.data(), 788);
        EXPECT_EQ(tracker->WritePrefs(file.Get(), 788), 30u + 9 + 3 + 11);
    }
    CMyTracker other;
    {
        StFileSysRef file(UFileSys::NewFromNativePath(path.data(), uint32_t(path.size())));
        StFileOpener open(file.Get(), kFSPermRead);
        EXPECT_EQ(UFileSys::GetSize(file.Get()), 788u + 53);
        EXPECT_EQ(other.ReadPrefs(file.Get(), 788), 48u + 9 + 14);
    }
    ASSERT_EQ(other.GetTrackerList()->GetServerTotal(), 1u);
    EXPECT_EQ(S(other.GetTrackerList()->GetServerInfo(0)->Name), "One");
    std::filesystem::remove_all(folder);
}
