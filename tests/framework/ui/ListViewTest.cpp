// The generic list view: 1-based selection, keyboard moves, row geometry, scrolling, drops, and the hits
// that reach the application.
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include "framework/runtime/FourCC.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CListView.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UDragAndDrop.h"
#include "tests/framework/ui/UiTestSupport.h"

namespace
{
class CTestList : public CListView
{
public:
    CTestList(SViewParent parent, const SRect& bounds) : CListView(parent, bounds, 18) {}
    int selectionChanges = 0;
    mutable uint32_t drawn = 0;

protected:
    bool GetItemText(uint32_t row, std::string& out) const override
    {
        ++drawn;
        out = "row " + std::to_string(row);
        return true;
    }
    void SelectionChanged() override
    {
        ++selectionChanges;
        CListView::SelectionChanged();
    }
};

class ListViewTest : public testing::Test
{
protected:
    void SetUp() override
    {
        win = new CWindow(SRect{100, 100, 300, 282}, kWindowDocument2, kWindowResizable);
        list = new CTestList(win, SRect{0, 0, 200, 182});
        list->SetID(1104);
        list->SetCommand(77);
        win->Show();
    }
    void TearDown() override { delete win; }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(list->ScrollArea(), Qt::Key(key), mods);
    }

    CHitRecorder app;
    CWindow* win = nullptr;
    CTestList* list = nullptr;
};
} // namespace

TEST_F(ListViewTest, SelectionIsOneBasedAndSingleUnlessAsked)
{
    list->ItemsInserted(0, 5);
    EXPECT_EQ(list->GetItemCount(), 5u);
    EXPECT_EQ(list->GetFirstSelected(), 0u);
    list->SelectItem(3);
    list->SelectItem(5);
    EXPECT_FALSE(list->IsSelected(3));
    EXPECT_TRUE(list->IsSelected(5));
    EXPECT_EQ(list->GetSelectedCount(), 1u);
    list->SelectItem(0);
    list->SelectItem(6); // out of range: nothing happens
    EXPECT_EQ(list->GetFirstSelected(), 5u);

    list->SetMultipleSelect(true);
    list->SelectItem(2);
    EXPECT_EQ(list->GetSelectedCount(), 2u);
    EXPECT_EQ(list->GetFirstSelected(), 2u);
    list->DeselectAll();
    EXPECT_EQ(list->GetSelectedCount(), 0u);
}

TEST_F(ListViewTest, InsertAndRemoveKeepTheSelectionOnItsRow)
{
    list->ItemsInserted(0, 4);
    list->SelectItem(3);
    list->ItemsInserted(0, 2); // two new rows on top
    EXPECT_EQ(list->GetFirstSelected(), 5u);
    list->ItemsRemoved(1, 3);
    EXPECT_EQ(list->GetFirstSelected(), 2u);
    const int before = list->selectionChanges;
    list->ItemsRemoved(2, 1);
    EXPECT_EQ(list->GetSelectedCount(), 0u);
    EXPECT_GT(list->selectionChanges, before);
    list->ItemsRemoved(9, 1); // past the end: ignored
    EXPECT_EQ(list->GetItemCount(), 2u);
}

TEST_F(ListViewTest, ReorderedRowsTakeTheirSelectionAlong)
{
    list->ItemsInserted(0, 4);
    list->SetMultipleSelect(true);
    list->SelectItem(2);
    list->SelectItem(4);
    const int before = list->selectionChanges;
    // Rows 4, new, 1, 3, 2: as a sorted list looks after a reply brought one more row.
    list->ItemsReordered({4, 0, 1, 3, 2});
    EXPECT_EQ(list->GetItemCount(), 5u);
    EXPECT_TRUE(list->IsSelected(1) && list->IsSelected(5));
    EXPECT_EQ(list->GetSelectedCount(), 2u);
    EXPECT_EQ(list->selectionChanges, before); // the same rows are selected
    // The keyboard goes on from where the last selected row went.
    list->SetFocus();
    Key(Qt::Key_Down);
    EXPECT_EQ(list->GetFirstSelected(), 2u);

    // A row left out leaves the selection, and that is a change.
    list->ItemsReordered({1, 3, 4, 5});
    EXPECT_EQ(list->GetSelectedCount(), 0u);
    EXPECT_GT(list->selectionChanges, before);
}

TEST_F(ListViewTest, ArrowHomeEndAndPageKeysMoveTheSelection)
{
    list->ItemsInserted(0, 50);
    list->SetFocus();
    Key(Qt::Key_Down); // nothing selected: the first row
    EXPECT_EQ(list->GetFirstSelected(), 1u);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(list->GetFirstSelected(), 3u);
    Key(Qt::Key_Up);
    EXPECT_EQ(list->GetFirstSelected(), 2u);
    Key(Qt::Key_Up);
    Key(Qt::Key_Up); // stays on the first row
    EXPECT_EQ(list->GetFirstSelected(), 1u);
    Key(Qt::Key_End);
    EXPECT_EQ(list->GetFirstSelected(), 50u);
    EXPECT_EQ(list->GetSelectedCount(), 1u);
    // The last row is scrolled into view.
    const SRect last = list->GetItemRect(50);
    const int scroll = list->ScrollArea()->verticalScrollBar()->value();
    EXPECT_LE(last.bottom - scroll, list->ScrollArea()->viewport()->height());
    Key(Qt::Key_PageUp);
    EXPECT_EQ(list->GetFirstSelected(), 50u - list->GetVisibleItemCount());
    Key(Qt::Key_Home);
    EXPECT_EQ(list->GetFirstSelected(), 1u);
    EXPECT_EQ(list->ScrollArea()->verticalScrollBar()->value(), 0);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(list->GetFirstSelected(), 1u + list->GetVisibleItemCount());
}

TEST_F(ListViewTest, ShiftExtendsOnlyWithMultipleSelection)
{
    list->ItemsInserted(0, 10);
    list->SetFocus();
    list->SelectItem(4);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(list->GetSelectedCount(), 1u);
    list->SetMultipleSelect(true);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(list->GetSelectedCount(), 3u);
    EXPECT_TRUE(list->IsSelected(5) && list->IsSelected(6) && list->IsSelected(7));
    Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(list->GetSelectedCount(), 2u);
}

TEST_F(ListViewTest, ClicksSelectAndDoubleClickOrReturnReportTheViewsHit)
{
    list->ItemsInserted(0, 10);
    QWidget* viewport = list->ScrollArea()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(20, 18 * 2 + 5));
    EXPECT_EQ(list->GetFirstSelected(), 3u);
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(20, 18 * 15)); // below the rows
    EXPECT_EQ(list->GetSelectedCount(), 0u);
    EXPECT_TRUE(app.hits.empty()); // selecting is no hit unless asked for

    QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(20, 18 * 4 + 5));
    ASSERT_TRUE(app.WaitForHits(1));
    EXPECT_EQ(list->GetFirstSelected(), 5u);
    const SHitMsgData& hit = app.hits[0].hit;
    EXPECT_EQ(app.hits[0].window, win);
    EXPECT_EQ(hit.view, list);
    EXPECT_EQ(hit.id, 1104u);
    EXPECT_EQ(hit.cmd, 77u);
    EXPECT_EQ(hit.part, kListPartOpen);
    EXPECT_TRUE(hit.mods & kModDoubleClick);

    list->SetFocus();
    Key(Qt::Key_Return);
    ASSERT_TRUE(app.WaitForHits(2));
    EXPECT_FALSE(app.hits[1].hit.mods & kModDoubleClick);
}

TEST_F(ListViewTest, SelectionHitsWhenAskedFor)
{
    list->ItemsInserted(0, 3);
    list->SetSelectionHits(true);
    list->SelectItem(2);
    ASSERT_TRUE(app.WaitForHits(1));
    EXPECT_EQ(app.hits[0].hit.part, kListPartSelect);
}

TEST_F(ListViewTest, PaintsOnlyTheVisibleRows)
{
    list->ItemsInserted(0, 100000);
    list->ScrollToItem(50000);
    list->drawn = 0;
    QImage image(list->Widget()->size(), QImage::Format_ARGB32);
    list->Widget()->render(&image);
    EXPECT_GT(list->drawn, 0u);
    EXPECT_LE(list->drawn, uint32_t(182 / 18 + 2));
    EXPECT_GE(list->GetFirstVisibleItem(), 49990u);
}

TEST_F(ListViewTest, KnowsWhetherItShowsTheLastRow)
{
    // Every row fits: at the bottom.
    list->ItemsInserted(0, 3);
    EXPECT_TRUE(list->IsScrolledToBottom());
    list->ItemsInserted(3, 97);
    EXPECT_FALSE(list->IsScrolledToBottom());
    list->ScrollToBottom();
    EXPECT_TRUE(list->IsScrolledToBottom());
    EXPECT_EQ(list->GetFirstVisibleItem() + list->GetVisibleItemCount() - 1, 100u);
    // A row added below leaves the view where it was, no longer at the bottom.
    list->ItemsInserted(100, 1);
    EXPECT_FALSE(list->IsScrolledToBottom());
}

TEST_F(ListViewTest, DropsReportTheFlavourAndItsBytes)
{
    list->ItemsInserted(0, 3);
    UDragAndDrop::AcceptDrops(list, {FourCC("hfs "), FourCC("QVFN")});
    QMimeData mime;
    mime.setData(UDragAndDrop::MimeTypeOf(FourCC("QVFN")), QByteArray("report.txt"));
    mime.setData(UDragAndDrop::MimeTypeOf(FourCC("ISDR")), QByteArray(1, '\0'));
    EXPECT_EQ(UDragAndDrop::DeliverDrop(list, mime), 1u);
    ASSERT_TRUE(app.WaitForHits(1));
    const SHitMsgData& hit = app.hits[0].hit;
    EXPECT_EQ(hit.part, kListPartDrop);
    EXPECT_EQ(hit.param, FourCC("QVFN"));
    ASSERT_EQ(hit.dataSize, 10u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(hit.data), 10), "report.txt");

    // Local files: one hit per file, flavour 'hfs ', the path as bytes. They win over 'QVFN' here
    // because the view lists them first.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/a b.txt"), QUrl::fromLocalFile("/tmp/c.txt"),
                   QUrl("https://example.invalid/x")});
    files.setData(UDragAndDrop::MimeTypeOf(FourCC("QVFN")), QByteArray("x"));
    EXPECT_EQ(UDragAndDrop::DeliverDrop(list, files), 2u);
    ASSERT_TRUE(app.WaitForHits(3));
    EXPECT_EQ(app.hits[1].hit.param, FourCC("hfs "));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(app.hits[1].hit.data), app.hits[1].hit.dataSize),
              "/tmp/a b.txt");

    QMimeData other;
    other.setText("plain");
    EXPECT_EQ(UDragAndDrop::DeliverDrop(list, other), 0u);
}

TEST(DragAndDrop, FlavoursRoundTripThroughMimeData)
{
    EXPECT_EQ(UDragAndDrop::MimeTypeOf(FourCC("QVUI")), "application/x-quenvol-QVUI");
    EXPECT_EQ(UDragAndDrop::MimeTypeOf(FourCC("hfs ")), "text/uri-list");
    EXPECT_EQ(UDragAndDrop::MimeTypeOf(FourCC("a/b ")), "application/x-quenvol-a%2fb%20");
    std::unique_ptr<QMimeData> mime(UDragAndDrop::MakeMimeData(
        {{FourCC("QVUI"), std::string("\x01\x02\x00\x04", 4)}, {FourCC("hfs "), "/tmp/x"}}));
    std::vector<std::string> items;
    ASSERT_TRUE(UDragAndDrop::GetFlavor(*mime, FourCC("QVUI"), items));
    EXPECT_EQ(items[0], std::string("\x01\x02\x00\x04", 4));
    ASSERT_TRUE(UDragAndDrop::GetFlavor(*mime, FourCC("hfs "), items));
    EXPECT_EQ(items[0], "/tmp/x");
    EXPECT_FALSE(UDragAndDrop::GetFlavor(*mime, FourCC("QVFP"), items));
}

TEST_F(ListViewTest, AScreenReaderReadsRowsByNameWithTheirStatesAndOpensThem)
{
    // Pins a self-drawn list that offers a screen reader one empty area instead of its rows.
    list->ItemsInserted(0, 4);
    list->SelectOnly(2);
    list->SetFocus();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(list->ScrollArea());
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::List);
    ASSERT_EQ(iface->childCount(), 4);
    QAccessibleInterface* second = iface->child(1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->role(), QAccessible::ListItem);
    EXPECT_EQ(second->text(QAccessible::Name), QStringLiteral("row 2"));
    EXPECT_TRUE(second->state().selected);
    EXPECT_FALSE(iface->child(0)->state().selected);
    EXPECT_EQ(iface->indexOfChild(second), 1);
    EXPECT_EQ(iface->child(1), second) << "a row must keep one interface while it exists";
    ASSERT_TRUE(PumpUntil([&] { return list->ScrollArea()->hasFocus(); }, "the list to take the focus"));
    EXPECT_EQ(iface->focusChild(), second);
    EXPECT_TRUE(second->state().focused);

    // The default action is the double click: the row alone selected, the open hit reported.
    QAccessibleActionInterface* actions = iface->child(3)->actionInterface();
    ASSERT_NE(actions, nullptr);
    actions->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(app.WaitForHits(1));
    EXPECT_EQ(list->GetFirstSelected(), 4u);
    EXPECT_EQ(app.hits[0].hit.part, kListPartOpen);
    EXPECT_TRUE(app.hits[0].hit.mods & kModDoubleClick);

    // A row that has gone says so instead of describing another.
    QAccessibleInterface* fourth = iface->child(3);
    list->ItemsRemoved(3, 2);
    EXPECT_EQ(iface->childCount(), 2);
    EXPECT_FALSE(fourth->isValid());
    EXPECT_TRUE(fourth->text(QAccessible::Name).isEmpty());
}
