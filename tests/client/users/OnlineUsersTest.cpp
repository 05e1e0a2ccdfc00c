// The online users window kept live by the server's notices: joins, changes, renames and leaves, what
// the chats are told, the sounds, the list's selection and scroll position, notices cut short, and a
// burst of thousands of notices.
#include <QAbstractScrollArea>
#include <QEvent>
#include <QPaintEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyUserListView.h"
#include "tests/client/users/UsersTestSupport.h"

using namespace userstest;

namespace
{
class OnlineUsersTest : public testing::Test
{
protected:
    OnlineUsersTest() : h(MakeRecordingApp) {}
    void SetUp() override
    {
        h.model.extraUsers.push_back({900, 410, 0, "Robin"});
        h.Start();
        ASSERT_TRUE(h.Login());
        app = static_cast<CRecordingApp*>(&h.App());
        list = app->Features().Windows().Users()->View();
        sounds.Heard().clear();
    }
    // Sends the notices, then a join of a marker user, and waits until the marker is listed: every
    // notice before it has been handled then.
    void Deliver(const std::vector<std::pair<uint16_t, std::string>>& notices)
    {
        for (const auto& [type, body] : notices)
            h.server.PushTransaction(type, body);
        const uint16_t marker = uint16_t(60000 + mMarkers++);
        h.server.PushTransaction(301, UserNotice(marker, 0, 0, "marker"));
        h.server.PushTransaction(302, LeaveNotice(marker));
        ASSERT_TRUE(h.WaitUntil([&] { return app->changes.size() && app->changes.back().id == marker; },
                                "the marker user's join"));
        h.WaitUntil([&] { return !list->FindUser(marker); }, "the marker user's leave");
        // The marker is no part of what the test looks at: its change and its two sounds go.
        app->changes.pop_back();
        const size_t markerSounds =
            size_t(app->Features().Settings().sound.join) + app->Features().Settings().sound.leave;
        ASSERT_GE(sounds.Heard().size(), markerSounds);
        sounds.Heard().resize(sounds.Heard().size() - markerSounds);
    }
    uint32_t Row(uint16_t id) const { return list->FindUser(id); }

    CAppHarness h;
    CRecordingApp* app = nullptr;
    CMyUserListView* list = nullptr;
    CSoundLog sounds;
    uint32_t mMarkers = 0;
};
} // namespace

TEST_F(OnlineUsersTest, JoinChangeRenameAndLeave)
{
    EXPECT_EQ(h.OnlineUserNames(), (std::vector<std::string>{"unnamed", "Robin"}));

    // A join: listed at the end with its icon as given, the join sound, the chats told of a new user.
    h.server.PushTransaction(301, UserNotice(7, 2001, 0, "Sam"));
    ASSERT_TRUE(h.WaitUntil([&] { return Row(7) != 0; }, "Sam's join"));
    EXPECT_EQ(h.OnlineUserNames(), (std::vector<std::string>{"unnamed", "Robin", "Sam"}));
    EXPECT_EQ(list->GetItem(3)->icon, 2001);
    EXPECT_EQ(sounds.Heard(), std::vector<int16_t>{kSoundJoin});
    sounds.Heard().clear();
    ASSERT_EQ(app->changes.size(), 1u);
    EXPECT_EQ(app->changes[0].name, "Sam");
    EXPECT_FALSE(app->changes[0].oldName.has_value());

    // The same name with another icon and flags: the row changes in place, no sound, and the chats get
    // the same old and new name (so they write no line).
    Deliver({{301, UserNotice(7, 2002, 2, "Sam")}});
    EXPECT_EQ(Row(7), 3u);
    EXPECT_EQ(list->GetItem(3)->icon, 2002);
    EXPECT_EQ(list->GetItem(3)->flags, 2);
    EXPECT_TRUE(sounds.Heard().empty());
    ASSERT_EQ(app->changes.size(), 2u);
    EXPECT_EQ(app->changes[1].oldName, std::optional<std::string>("Sam"));
    EXPECT_EQ(app->changes[1].name, "Sam");
    EXPECT_EQ(h.ChatText().find("known as"), std::string::npos);

    // A rename: the chats get the old and the new name, once.
    Deliver({{301, UserNotice(7, 2002, 2, "Samuel")}});
    EXPECT_EQ(h.OnlineUserNames(), (std::vector<std::string>{"unnamed", "Robin", "Samuel"}));
    ASSERT_EQ(app->changes.size(), 3u);
    EXPECT_EQ(app->changes[2].oldName, std::optional<std::string>("Sam"));
    EXPECT_EQ(app->changes[2].name, "Samuel");
    // One line in the public chat, with the chat sound.
    const std::string line = " <<< Sam is now known as Samuel >>>";
    const size_t at = h.ChatText().find(line);
    ASSERT_NE(at, std::string::npos) << h.ChatText();
    EXPECT_EQ(h.ChatText().find(line, at + 1), std::string::npos);
    EXPECT_EQ(sounds.Heard(), std::vector<int16_t>{kSoundChat});
    sounds.Heard().clear();

    // A join with icon 0 shows the default icon, as in the list of the server.
    Deliver({{301, UserNotice(9, 0, 0, "Ann")}});
    EXPECT_EQ(list->GetItem(Row(9))->icon, CMyUserListView::kDefaultUserIcon);
    sounds.Heard().clear();

    // A leave removes the row with the leave sound; a leave of an unknown id changes nothing, silently.
    Deliver({{302, LeaveNotice(7)}});
    EXPECT_EQ(h.OnlineUserNames(), (std::vector<std::string>{"unnamed", "Robin", "Ann"}));
    EXPECT_EQ(sounds.Heard(), std::vector<int16_t>{kSoundLeave});
    sounds.Heard().clear();
    Deliver({{302, LeaveNotice(77)}});
    EXPECT_EQ(h.OnlineUserNames(), (std::vector<std::string>{"unnamed", "Robin", "Ann"}));
    EXPECT_TRUE(sounds.Heard().empty());
    EXPECT_EQ(app->changes.size(), 4u);
}

TEST_F(OnlineUsersTest, SoundSwitchesAreHonoured)
{
    app->Features().Settings().sound.join = 0;
    app->Features().Settings().sound.leave = 0;
    Deliver({{301, UserNotice(7, 0, 0, "Sam")}, {302, LeaveNotice(7)}});
    EXPECT_TRUE(sounds.Heard().empty());
    app->Features().Settings().sound.join = 1;
    Deliver({{301, UserNotice(7, 0, 0, "Sam")}, {302, LeaveNotice(7)}});
    EXPECT_EQ(sounds.Heard(), std::vector<int16_t>{kSoundJoin});
}

TEST_F(OnlineUsersTest, ALongNameThatOnlyChangesItsIconIsNoRename)
{
    // The row keeps 63 characters; the chats compare what the row knew with the new name cut alike.
    const std::string longName(80, 'x');
    h.server.PushTransaction(301, UserNotice(7, 0, 0, longName));
    Deliver({{301, UserNotice(7, 5, 0, longName)}});
    ASSERT_EQ(app->changes.size(), 2u);
    EXPECT_EQ(app->changes[1].name, std::string(63, 'x'));
    EXPECT_EQ(app->changes[1].oldName, std::optional<std::string>(std::string(63, 'x')));
}

TEST_F(OnlineUsersTest, NoticesCutShortReadNoFurtherThanTheirFields)
{
    // No id: not a user anybody can address, dropped. A one-byte id, icon and flags read as integers of
    // their size; a name field longer than a row keeps is cut.
    Deliver({{301, CFields().AddInteger(104, 3).Add(102, "nobody").Bytes()},
             {301, CFields()
                       .Add(103, std::string(1, '\x05'))
                       .Add(104, std::string(1, '\x02'))
                       .Add(102, std::string(300, 'n'))
                       .Bytes()},
             {302, CFields().Add(103, std::string()).Bytes()},
             {301, CFields().Bytes()}});
    EXPECT_EQ(list->GetItemCount(), 3u);
    const SMyUserListItem* item = list->GetItem(3);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->id, 5);
    EXPECT_EQ(item->icon, 2);
    EXPECT_EQ(item->name[0], 63);
    EXPECT_EQ(app->changes.size(), 1u);
}

TEST_F(OnlineUsersTest, SelectionAndScrollPositionStayWithTheRows)
{
    for (uint16_t id = 10; id < 40; ++id)
        h.server.PushTransaction(301, UserNotice(id, 0, 0, "user " + std::to_string(id)));
    Deliver({});
    ASSERT_EQ(list->GetItemCount(), 32u);
    // Scrolled to the bottom: a join keeps the list at the bottom.
    list->ScrollToBottom();
    ASSERT_TRUE(list->IsScrolledToBottom());
    Deliver({{301, UserNotice(50, 0, 0, "late")}});
    EXPECT_TRUE(list->IsScrolledToBottom());

    // Somewhere in the middle with a user selected: the view and the selection stay where they are
    // while users above and below come and go.
    list->ScrollToItem(5);
    list->SelectOnly(Row(20));
    const uint32_t firstShown = list->GetFirstVisibleItem();
    Deliver({{301, UserNotice(51, 0, 0, "later")}, {302, LeaveNotice(12)}, {302, LeaveNotice(30)}});
    EXPECT_EQ(list->GetSelectedUserID(), 20);
    EXPECT_EQ(list->GetFirstVisibleItem(), firstShown);
    EXPECT_FALSE(list->IsScrolledToBottom());
    // The selected user leaving leaves no selection behind.
    Deliver({{302, LeaveNotice(20)}});
    EXPECT_EQ(list->GetSelectedUserID(), 0);
}

TEST_F(OnlineUsersTest, ABurstOfTenThousandNoticesRepaintsTheListAFewTimes)
{
    // Counts the list's paints and the tallest area each had to draw.
    struct CPaintCounter : QObject
    {
        uint32_t paints = 0;
        int tallest = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
            {
                ++paints;
                tallest = std::max(tallest, static_cast<QPaintEvent*>(event)->rect().height());
            }
            return false;
        }
    } counter;
    QWidget* viewport = list->ScrollArea()->viewport();
    ASSERT_TRUE(app->Features().Windows().Users()->IsVisible());
    viewport->installEventFilter(&counter);

    constexpr uint16_t kUsers = 10000;
    for (uint16_t id = 1000; id < 1000 + kUsers; ++id)
        h.server.PushTransaction(301, UserNotice(id, 0, 0, "burst " + std::to_string(id)));
    ASSERT_TRUE(h.WaitUntil([&] { return list->GetItemCount() == 2u + kUsers; }, "10,000 joins", 60000));
    h.Pump();
    const uint32_t joinPaints = counter.paints;
    for (uint16_t id = 1000; id < 1000 + kUsers; ++id)
        h.server.PushTransaction(302, LeaveNotice(id));
    ASSERT_TRUE(h.WaitUntil([&] { return list->GetItemCount() == 2u; }, "10,000 leaves", 60000));
    h.Pump();
    viewport->removeEventFilter(&counter);

    // Paints follow the run loop's turns, not the notices; each draws at most one screen of rows.
    EXPECT_GT(counter.paints, 0u);
    EXPECT_LT(joinPaints, 200u);
    EXPECT_LT(counter.paints - joinPaints, 200u);
    EXPECT_LE(counter.tallest, viewport->height());
    EXPECT_EQ(h.OnlineUserNames(), (std::vector<std::string>{"unnamed", "Robin"}));
}

TEST(OnlineUsersList, EntriesCutShortReadNoFurtherThanTheirRecord)
{
    CAppHarness h;
    // A whole entry; one whose name length says 80 with 5 bytes behind it; one too short for its
    // fixed part; one with a 0 icon.
    std::string longClaim = testwire::UserEntry(8, 2001, 0, "Bobby");
    longClaim[7] = 80;
    STestReply reply;
    reply.body = CFields()
                     .Add(300, testwire::UserEntry(7, 410, 1, "Ann"))
                     .Add(300, longClaim)
                     .Add(300, std::string("\x00\x09\x00\x00\x00", 5))
                     .Add(300, testwire::UserEntry(10, 0, 0, "Cy"))
                     .Bytes();
    h.server.SetReply(300, reply);
    h.Start();
    ASSERT_TRUE(h.Login());
    EXPECT_EQ(h.OnlineUserNames(), (std::vector<std::string>{"Ann", "Bobby", "Cy"}));
    const CMyUserListView* list = h.App().Features().Windows().Users()->View();
    EXPECT_EQ(list->GetItem(1)->flags, 1);
    EXPECT_EQ(list->GetItem(3)->icon, CMyUserListView::kDefaultUserIcon);
}
