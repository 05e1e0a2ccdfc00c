#include "framework/ui/CListView.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CListViewAccessible.h"
#include "framework/ui/UiText.h"

namespace
{
class CListWidget : public QAbstractScrollArea
{
public:
    CListView* owner = nullptr;

    CListWidget()
    {
        setFocusPolicy(Qt::StrongFocus);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        viewport()->setAutoFillBackground(true);
        viewport()->setBackgroundRole(QPalette::Base);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (!owner) return;
        QPainter painter(viewport());
        owner->Paint(painter, event->rect());
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QAbstractScrollArea::resizeEvent(event);
        if (owner) owner->Resized();
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (owner && event->button() == Qt::LeftButton)
            owner->MousePress(event->position().toPoint().x(), event->position().toPoint().y(),
                              CView::ModsOf(event->modifiers().toInt()));
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (owner && event->button() == Qt::LeftButton)
            owner->MouseDoubleClick(event->position().toPoint().x(), event->position().toPoint().y(),
                                    CView::ModsOf(event->modifiers().toInt()));
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (owner && (event->buttons() & Qt::LeftButton))
            owner->MouseDragged(event->position().toPoint().x(), event->position().toPoint().y());
    }
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        if (!owner) return;
        QPoint at = event->pos();
        // From the keyboard the menu belongs to the selection, wherever the pointer is.
        if (event->reason() != QContextMenuEvent::Mouse)
        {
            const uint32_t row = owner->GetFirstSelected();
            at = row ? QPoint(20, owner->GetItemRect(row).top - verticalScrollBar()->value() +
                                      owner->GetRowHeight() / 2)
                     : QPoint(20, 5);
        }
        owner->ContextMenuAt(at.x(), at.y());
        event->accept();
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (owner && owner->KeyPressed(event->key(), CView::ModsOf(event->modifiers().toInt())))
            event->accept();
        else
            event->ignore(); // on to the window, which may search by typed letters
    }
    void focusInEvent(QFocusEvent* event) override
    {
        QAbstractScrollArea::focusInEvent(event);
        viewport()->update();
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QAbstractScrollArea::focusOutEvent(event);
        viewport()->update();
    }
};
} // namespace

CListView::CListView(SViewParent parent, const SRect& bounds, int32_t rowHeight)
    : CView(parent, bounds, new CListWidget), mRowHeight(std::max(1, rowHeight))
{
    static_cast<CListWidget*>(Widget())->owner = this;
    CListViewAccessible::Install();
    QObject::connect(ScrollArea()->verticalScrollBar(), &QScrollBar::valueChanged,
                     [this](int) { ScrollArea()->viewport()->update(); });
    QObject::connect(ScrollArea()->horizontalScrollBar(), &QScrollBar::valueChanged,
                     [this](int) { ScrollArea()->viewport()->update(); });
    UpdateScrollRange();
}

CListView::~CListView()
{
    if (auto* w = static_cast<CListWidget*>(Widget())) w->owner = nullptr;
}

QAbstractScrollArea* CListView::ScrollArea() const
{
    return static_cast<QAbstractScrollArea*>(Widget());
}

void CListView::ItemsInserted(uint32_t afterRow, uint32_t count)
{
    afterRow = std::min(afterRow, GetItemCount());
    mSelected.insert(mSelected.begin() + afterRow, count, 0);
    if (mAnchor > afterRow) mAnchor += count;
    if (mCursor > afterRow) mCursor += count;
    UpdateScrollRange();
    Refresh();
}

void CListView::ItemsRemoved(uint32_t row, uint32_t count)
{
    if (row < 1 || row > GetItemCount()) return;
    count = std::min(count, GetItemCount() - row + 1);
    const auto first = mSelected.begin() + (row - 1);
    const uint32_t removedSelected = uint32_t(std::count(first, first + count, uint8_t(1)));
    mSelected.erase(first, first + count);
    mSelectedCount -= removedSelected;
    auto shift = [&](uint32_t& r)
    {
        if (r >= row + count)
            r -= count;
        else if (r >= row)
            r = 0;
    };
    shift(mAnchor);
    shift(mCursor);
    UpdateScrollRange();
    Refresh();
    if (removedSelected) SelectionChanged();
}

void CListView::SetItemCount(uint32_t count)
{
    const bool hadSelection = mSelectedCount != 0;
    mSelected.assign(count, 0);
    mSelectedCount = 0;
    mAnchor = mCursor = 0;
    UpdateScrollRange();
    Refresh();
    if (hadSelection) SelectionChanged();
}

void CListView::ItemsReordered(const std::vector<uint32_t>& oldRows)
{
    std::vector<uint8_t> selected(oldRows.size(), 0);
    uint32_t selectedCount = 0, anchor = 0, cursor = 0, pressRow = 0;
    for (uint32_t row = 1; row <= oldRows.size(); ++row)
    {
        const uint32_t old = oldRows[row - 1];
        if (old < 1 || old > GetItemCount()) continue;
        selected[row - 1] = mSelected[old - 1];
        selectedCount += selected[row - 1];
        if (old == mAnchor) anchor = row;
        if (old == mCursor) cursor = row;
        if (old == mPressRow) pressRow = row;
    }
    const bool dropped = selectedCount != mSelectedCount;
    mSelected.swap(selected);
    mSelectedCount = selectedCount;
    mAnchor = anchor;
    mCursor = cursor;
    mPressRow = pressRow;
    UpdateScrollRange();
    Refresh();
    if (dropped) SelectionChanged();
}

void CListView::RefreshItem(uint32_t row)
{
    if (row < 1 || row > GetItemCount()) return;
    const int top = int((row - 1) * mRowHeight) - ScrollArea()->verticalScrollBar()->value();
    ScrollArea()->viewport()->update(0, top, ScrollArea()->viewport()->width(), mRowHeight);
}

void CListView::Resized()
{
    // The ranges depend on the visible height and width.
    UpdateScrollRange();
    Refresh();
}

void CListView::Refresh()
{
    ScrollArea()->viewport()->update();
}

bool CListView::IsSelected(uint32_t row) const
{
    return row >= 1 && row <= GetItemCount() && mSelected[row - 1];
}

void CListView::SetSelected(uint32_t row, bool on)
{
    uint8_t& mark = mSelected[row - 1];
    if (bool(mark) == on) return;
    mark = on;
    mSelectedCount += on ? 1 : uint32_t(-1);
    RefreshItem(row);
}

void CListView::SelectItem(uint32_t row, bool select)
{
    if (row < 1 || row > GetItemCount() || IsSelected(row) == select) return;
    if (select && !mMultiple)
        for (uint32_t r = 1; mSelectedCount && r <= GetItemCount(); ++r)
            if (mSelected[r - 1]) SetSelected(r, false);
    SetSelected(row, select);
    if (select) mAnchor = mCursor = row;
    SelectionChanged();
}

void CListView::SelectOnly(uint32_t row)
{
    if (row > GetItemCount()) row = 0;
    if (mSelectedCount == (row ? 1u : 0u) && (!row || IsSelected(row))) return;
    // With one row selected (the common case) the loop ends at once.
    for (uint32_t r = 1; mSelectedCount && r <= GetItemCount(); ++r)
        if (mSelected[r - 1] && r != row) SetSelected(r, false);
    if (row) SetSelected(row, true);
    mAnchor = mCursor = row;
    SelectionChanged();
}

void CListView::DeselectAll()
{
    SelectOnly(0);
}

uint32_t CListView::GetFirstSelected() const
{
    if (!mSelectedCount) return 0;
    const auto it = std::find(mSelected.begin(), mSelected.end(), uint8_t(1));
    return it == mSelected.end() ? 0 : uint32_t(it - mSelected.begin()) + 1;
}

void CListView::ScrollToItem(uint32_t row)
{
    if (row < 1 || row > GetItemCount()) return;
    QScrollBar* bar = ScrollArea()->verticalScrollBar();
    const int top = int((row - 1) * mRowHeight);
    const int height = ScrollArea()->viewport()->height();
    if (top < bar->value())
        bar->setValue(top);
    else if (top + mRowHeight > bar->value() + height)
        bar->setValue(top + mRowHeight - height);
}

bool CListView::IsScrolledToBottom() const
{
    const QScrollBar* bar = ScrollArea()->verticalScrollBar();
    return bar->value() >= bar->maximum();
}

void CListView::ScrollToBottom()
{
    QScrollBar* bar = ScrollArea()->verticalScrollBar();
    bar->setValue(bar->maximum());
}

uint32_t CListView::GetFirstVisibleItem() const
{
    if (!GetItemCount()) return 0;
    return uint32_t(ScrollArea()->verticalScrollBar()->value() / mRowHeight) + 1;
}

uint32_t CListView::GetVisibleItemCount() const
{
    return uint32_t(std::max(1, ScrollArea()->viewport()->height() / mRowHeight));
}

SRect CListView::GetItemRect(uint32_t row) const
{
    const int32_t top = int32_t(row - 1) * mRowHeight;
    return SRect{0, top, ScrollArea()->viewport()->width(), top + mRowHeight};
}

uint32_t CListView::ItemAtPoint(int32_t, int32_t y) const
{
    if (y < 0) return 0;
    const int64_t row = (int64_t(y) + ScrollArea()->verticalScrollBar()->value()) / mRowHeight + 1;
    return row <= GetItemCount() ? uint32_t(row) : 0;
}

bool CListView::IsActive() const
{
    const QWidget* w = Widget();
    return w && w->isActiveWindow();
}

void CListView::UpdateScrollRange()
{
    QScrollBar* bar = ScrollArea()->verticalScrollBar();
    const int height = ScrollArea()->viewport()->height();
    const int64_t full = int64_t(GetItemCount()) * mRowHeight;
    bar->setRange(0, int(std::clamp<int64_t>(full - height, 0, INT32_MAX)));
    bar->setSingleStep(mRowHeight);
    bar->setPageStep(std::max(mRowHeight, height - mRowHeight));
    QScrollBar* across = ScrollArea()->horizontalScrollBar();
    const int width = ScrollArea()->viewport()->width();
    across->setRange(0, std::max(0, mContentWidth - width));
    across->setSingleStep(16);
    across->setPageStep(std::max(16, width));
}

void CListView::SetContentWidth(int32_t width)
{
    if (width == mContentWidth) return;
    mContentWidth = std::max(0, width);
    UpdateScrollRange();
    Refresh();
}

int32_t CListView::XToRow(int32_t x) const
{
    return x + ScrollArea()->horizontalScrollBar()->value();
}

void CListView::Paint(QPainter& painter, const QRect& dirty)
{
    const int scroll = ScrollArea()->verticalScrollBar()->value();
    const int across = ScrollArea()->horizontalScrollBar()->value();
    const int width = std::max(ScrollArea()->viewport()->width() + across, mContentWidth);
    const bool active = IsActive();
    const uint32_t count = GetItemCount();
    // Only the rows that meet the dirty area: painting one screen costs the same at 10 or 100,000 rows.
    const int64_t first = (int64_t(dirty.top()) + scroll) / mRowHeight + 1;
    const int64_t last = (int64_t(dirty.bottom()) + scroll) / mRowHeight + 1;
    for (int64_t row = std::max<int64_t>(first, 1); row <= std::min<int64_t>(last, count); ++row)
    {
        const QRect rect(-across, int(row - 1) * mRowHeight - scroll, width, mRowHeight);
        painter.save();
        DrawItem(painter, rect, uint32_t(row), mSelected[size_t(row - 1)] != 0, active);
        painter.restore();
    }
}

void CListView::DrawSelection(QPainter& painter, const QRect& rowRect, bool active) const
{
    const QRect mark = rowRect.adjusted(1, 1, -1, 0);
    const QColor highlight = Widget()->palette().color(QPalette::Highlight);
    if (active)
        painter.fillRect(mark, highlight);
    else
    {
        painter.setPen(highlight);
        painter.drawRect(mark.adjusted(0, 0, -1, -1));
    }
}

void CListView::DrawItem(QPainter& painter, const QRect& rowRect, uint32_t row, bool selected, bool active)
{
    if (selected) DrawSelection(painter, rowRect, active);
    std::string text;
    if (!GetItemText(row, text)) return;
    const QPalette& pal = Widget()->palette();
    painter.setPen(pal.color(selected && active ? QPalette::HighlightedText : QPalette::Text));
    const QRect textRect = rowRect.adjusted(6, 0, -4, 0);
    const QString s = ToQString(text.data(), uint32_t(text.size()));
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                     painter.fontMetrics().elidedText(s, Qt::ElideRight, textRect.width()));
}

void CListView::SelectionChanged()
{
    CListViewAccessible::CursorMoved(this);
    if (mSelectionHits) Hit(kListPartSelect, CurrentMods());
}

QString CListView::GetItemDescription(uint32_t row) const
{
    std::string text;
    return GetItemText(row, text) ? ToQString(text.data(), uint32_t(text.size())) : QString();
}

void CListView::OpenItem(uint32_t row)
{
    if (!row || row > GetItemCount()) return;
    if (!IsSelected(row) || mSelectedCount > 1) SelectOnly(row);
    Hit(kListPartOpen, kModDoubleClick);
}

void CListView::MousePress(int32_t x, int32_t y, uint16_t mods)
{
    SetFocus();
    const uint32_t row = ItemAtPoint(x, y);
    mPressRow = row;
    mPressX = x, mPressY = y;
    if (!row)
    {
        if (!(mods & (kModCtrl | kModShift))) DeselectAll();
        return;
    }
    if (mMultiple && (mods & kModCtrl))
    {
        SetSelected(row, !IsSelected(row));
        mAnchor = mCursor = row;
        SelectionChanged();
    }
    else if (mMultiple && (mods & kModShift) && mAnchor)
        MoveSelectionTo(row, true);
    else if (!IsSelected(row) || mSelectedCount > 1)
        SelectOnly(row);
}

void CListView::MouseDoubleClick(int32_t x, int32_t y, uint16_t mods)
{
    const uint32_t row = ItemAtPoint(x, y);
    if (!row) return;
    if (!IsSelected(row)) SelectOnly(row);
    Hit(kListPartOpen, uint16_t(mods | kModDoubleClick));
}

void CListView::MouseDragged(int32_t x, int32_t y)
{
    if (!mPressRow || !IsSelected(mPressRow)) return;
    if (std::abs(x - mPressX) + std::abs(y - mPressY) < QApplication::startDragDistance()) return;
    const uint32_t row = mPressRow;
    mPressRow = 0; // one drag per press
    HandleDrag(row);
}

void CListView::MoveSelectionTo(uint32_t row, bool extend)
{
    row = std::clamp<uint32_t>(row, 1, GetItemCount());
    if (extend && mMultiple && mAnchor)
    {
        const uint32_t lo = std::min(mAnchor, row), hi = std::max(mAnchor, row);
        for (uint32_t r = 1; r <= GetItemCount(); ++r)
        {
            const bool in = r >= lo && r <= hi;
            if (IsSelected(r) != in) SetSelected(r, in);
        }
        mCursor = row;
        SelectionChanged();
    }
    else
        SelectOnly(row);
    ScrollToItem(row);
}

bool CListView::KeyPressed(int qtKey, uint16_t mods)
{
    const uint32_t count = GetItemCount();
    const uint32_t page = GetVisibleItemCount();
    const uint32_t at = mCursor ? mCursor : GetFirstSelected();
    const bool extend = (mods & kModShift) != 0;
    switch (qtKey)
    {
    case Qt::Key_Up:
        if (count) MoveSelectionTo(at > 1 ? at - 1 : 1, extend);
        return true;
    case Qt::Key_Down:
        if (count) MoveSelectionTo(at ? std::min(at + 1, count) : 1, extend);
        return true;
    case Qt::Key_Home:
        if (count) MoveSelectionTo(1, extend);
        return true;
    case Qt::Key_End:
        if (count) MoveSelectionTo(count, extend);
        return true;
    case Qt::Key_PageUp:
        if (count) MoveSelectionTo(at > page ? at - page : 1, extend);
        return true;
    case Qt::Key_PageDown:
        if (count) MoveSelectionTo(std::min(at + page, count), extend);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!mSelectedCount) return false;
        Hit(kListPartOpen, mods);
        return true;
    default:
        return false;
    }
}

void CListView::ContextMenuAt(int32_t x, int32_t y)
{
    const uint32_t row = ItemAtPoint(x, y);
    if (!row)
        DeselectAll();
    else if (!IsSelected(row))
        SelectOnly(row);
    if (!mMenuProc) return;
    // The procedure may close the window and this list with it.
    const std::function<void(const QPoint&)> proc = mMenuProc;
    proc(ScrollArea()->viewport()->mapToGlobal(QPoint(x, y)));
}
