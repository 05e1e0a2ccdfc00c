// The client's shared list views and small views: user rows filled from server replies, their order,
// search and colours, which task rows are repainted, and the subject bar.
#include <QApplication>
#include <QPalette>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "client/chat/CMySubjectView.h"
#include "client/tasks/CMyTaskListView.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"
#include "framework/runtime/CApplication.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/SHitMsgData.h"
#include "framework/ui/UColors.h"
#include "tests/support/RunLoopWait.h"

namespace
{
std::vector<SHitMsgData> gHits;

// Hits travel through the queue to the application object; this one only keeps them.
class CHitRecorder : public CApplication
{
public:
    void WindowHit(CWindow*, const SHitMsgData& hit) override { gHits.push_back(hit); }
};

std::string Name(const uint8_t* pstring)
{
    return std::string(reinterpret_cast<const char*>(pstring + 1), pstring[0]);
}

std::vector<uint8_t> PString(const std::string& s)
{
    std::vector<uint8_t> p(1, uint8_t(s.size()));
    p.insert(p.end(), s.begin(), s.end());
    return p;
}

void AddUserEntry(TFieldDataObj* fields, uint16_t id, int16_t icon, uint16_t flags, const std::string& name)
{
    // Written by hand so that names longer than a user entry may hold can be sent, as a server might.
    std::vector<uint8_t> r = {
        uint8_t(id >> 8),    uint8_t(id),    uint8_t(uint16_t(icon) >> 8), uint8_t(icon),
        uint8_t(flags >> 8), uint8_t(flags), uint8_t(name.size() >> 8),    uint8_t(name.size())};
    r.insert(r.end(), name.begin(), name.end());
    UFieldData::AddField(fields, kFieldUserEntry, r.data(), uint32_t(r.size()));
}

class ListViewsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        gHits.clear();
        recorder = new CHitRecorder;
        window = new CWindow(SRect{0, 0, 300, 300}, kWindowDocument2, 7);
    }
    void TearDown() override
    {
        delete window;
        delete recorder;
        UApplication::Process();
    }
    std::vector<SHitMsgData> Hits()
    {
        UApplication::Process();
        return gHits;
    }

    CHitRecorder* recorder = nullptr;
    CWindow* window = nullptr;
};
} // namespace

TEST_F(ListViewsTest, UserListKeepsServerOrderCutsNamesAndColoursByFlags)
{
    auto* list = new CMyUserListView(window, SRect{0, 0, 300, 300});
    StFieldData fields;
    AddUserEntry(fields, 7, 0, 0, "zed");
    AddUserEntry(fields, 3, 2001, 2, std::string(80, 'n'));
    AddUserEntry(fields, 9, 128, 1, "Amy");
    list->SetUsersFromFields(fields);
    ASSERT_EQ(list->GetItemCount(), 3u);
    EXPECT_EQ(list->GetItem(1)->id, 7);
    EXPECT_EQ(list->GetItem(1)->icon, 414); // icon 0 from a listing is the default icon
    EXPECT_EQ(list->GetItem(2)->name[0], 63);
    EXPECT_EQ(list->GetItem(3)->id, 9);

    list->SelectOnly(2);
    uint8_t name[32];
    EXPECT_EQ(list->GetSelectedUserID(name), 3);
    EXPECT_EQ(Name(name), std::string(31, 'n'));
    const auto amy = PString("AM");
    EXPECT_EQ(list->SearchNames(amy.data()), 3u);

    // Added and updated users keep the icon id they are given, even 0.
    list->AddUser(12, 0, 0, "Bo", 2);
    EXPECT_EQ(list->GetItem(4)->icon, 0);
    uint8_t old[64];
    EXPECT_TRUE(list->UpdateUser(9, 0, 3, "Amy Lee", 7, &old));
    EXPECT_EQ(Name(old), "Amy");
    EXPECT_EQ(list->GetItem(3)->icon, 0);
    EXPECT_EQ(Name(list->GetItem(3)->name), "Amy Lee");
    EXPECT_FALSE(list->UpdateUser(99, 0, 0, "x", 1, &old));
    // The former name comes back as the row kept it, not cut to 31: a long name that only changed its
    // icon must compare equal to itself.
    EXPECT_TRUE(list->UpdateUser(3, 5, 2, std::string(63, 'n').data(), 63, &old));
    EXPECT_EQ(Name(old), std::string(63, 'n'));

    uint8_t gone[64];
    EXPECT_TRUE(list->DeleteUserByID(7, gone));
    EXPECT_EQ(Name(gone), "zed");
    EXPECT_FALSE(list->DeleteUserByID(7, gone));
    EXPECT_EQ(list->GetItemCount(), 3u);
    EXPECT_EQ(list->GetSelectedUserID(nullptr), 3); // the selection moved with its row

    const QPalette pal = QApplication::palette();
    EXPECT_EQ(CMyUserListView::NameColor(3, false, pal), QColor(0xEE, 0x77, 0x77));
    EXPECT_EQ(CMyUserListView::NameColor(1, false, pal), QColor(0x77, 0x77, 0x77));
    // On the selection the grey of an idle user would be lost in the highlight.
    EXPECT_GE(UColors::Contrast(CMyUserListView::NameColor(1, true, pal), pal.color(QPalette::Highlight)),
              UColors::kKeptContrast);
    EXPECT_EQ(CMyUserListView::NameColor(2, false, pal), QColor(0xDD, 0, 0));
    EXPECT_EQ(CMyUserListView::NameColor(0x10, false, pal), pal.color(QPalette::ButtonText));
    EXPECT_EQ(CMyUserListView::NameColor(0, true, pal), pal.color(QPalette::HighlightedText));
}

namespace
{
class CCountingTaskList : public CMyTaskListView
{
public:
    using CMyTaskListView::CMyTaskListView;
    std::vector<uint32_t> painted;

protected:
    void DrawItem(QPainter& painter, const QRect& rect, uint32_t row, bool selected, bool active) override
    {
        painted.push_back(row);
        CMyTaskListView::DrawItem(painter, rect, row, selected, active);
    }
};

bool Painted(const CCountingTaskList& list, uint32_t row)
{
    return std::find(list.painted.begin(), list.painted.end(), row) != list.painted.end();
}
} // namespace

TEST_F(ListViewsTest, TaskRowsAreRepaintedOnlyWhenTheyChange)
{
    auto* list = new CCountingTaskList(window, SRect{0, 0, 300, 200});
    CMyTaskRows& rows = list->Model();
    auto* t1 = reinterpret_cast<CMyTask*>(0x10);
    auto* t2 = reinterpret_cast<CMyTask*>(0x20);
    auto* t3 = reinterpret_cast<CMyTask*>(0x30);
    rows.AddTask(t1, PString("Downloading \xD2"
                             "a\xD3")
                         .data());
    rows.AddTask(t2, nullptr);
    rows.AddTask(t3, PString("Done").data());
    rows.SetTaskProgress(t1, 100, 100, nullptr);
    window->Show();
    ASSERT_TRUE(PumpUntil([&] { return Painted(*list, 1) && Painted(*list, 3); }, "the first paint"));

    // Row 3 changes to mark the moment of the next paint; row 1 must not be in it.
    list->painted.clear();
    rows.SetTaskProgress(t1, 100, 100, nullptr);
    rows.ShowFinishedBar(t1);
    rows.SetTaskProgress(t3, 1, 3, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Painted(*list, 3); }, "row 3 repainted"));
    EXPECT_FALSE(Painted(*list, 1));

    list->painted.clear();
    rows.ShowFinishedBar(t2); // 0 of 0 becomes a full bar
    ASSERT_TRUE(PumpUntil([&] { return Painted(*list, 2); }, "row 2 repainted"));
    EXPECT_EQ(rows.GetRow(2)->progVal, 100u);
    EXPECT_EQ(rows.GetRow(2)->progMax, 100u);

    // The selection is the model's too, and a removed row leaves the view.
    list->SelectOnly(3);
    EXPECT_EQ(list->GetSelectedTask(), t3);
    EXPECT_EQ(rows.GetSelectedTask(), t3);
    rows.RemoveTask(t1);
    EXPECT_EQ(list->GetItemCount(), 2u);
    EXPECT_EQ(list->GetSelectedTask(), t3);
    rows.RemoveTask(t2);
    rows.RemoveTask(t3);
    EXPECT_EQ(list->GetItemCount(), 0u);
}

TEST_F(ListViewsTest, TheSubjectBarReportsClicksThatEndOnIt)
{
    auto* subject = new CMySubjectView(window, SRect{0, 100, 300, 116});
    subject->SetID(1039);
    subject->SetText("Plans", 5);
    window->Show();
    QTest::mouseClick(subject->Widget(), Qt::LeftButton);
    auto hits = Hits();
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].id, 1039u);
    EXPECT_EQ(hits[0].type, 1);
    EXPECT_FALSE(subject->IsHilited());
    // With the Alt key the click asks for something else.
    QTest::mouseClick(subject->Widget(), Qt::LeftButton, Qt::AltModifier);
    hits = Hits();
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[1].type, 2);
    EXPECT_EQ(hits[1].mods, kModAlt);
    // A press given up by moving away is no click.
    QTest::mousePress(subject->Widget(), Qt::LeftButton);
    EXPECT_TRUE(subject->IsHilited());
    QTest::mouseRelease(subject->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 40));
    EXPECT_FALSE(subject->IsHilited());
    EXPECT_EQ(Hits().size(), 2u);
    subject->SetHitsEnabled(false);
    QTest::mouseClick(subject->Widget(), Qt::LeftButton);
    EXPECT_EQ(Hits().size(), 2u);
}
