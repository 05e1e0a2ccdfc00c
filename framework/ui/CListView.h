// A list of rows of one fixed height that draws them itself: only the visible rows are painted and no
// widget exists per row, so a list of 100,000 rows fills and scrolls at once. Rows are numbered from 1.
// The subclass keeps the items and tells the list how many there are; the list keeps the selection.
#pragma once

#include <QPainter>
#include <QRect>
#include <functional>
#include <string>
#include <vector>

#include "framework/ui/CView.h"

class QAbstractScrollArea;
class QPoint;

// Hit parts of a list view.
enum : uint16_t
{
    kListPartOpen = 0,   // a double click (mods carry kModDoubleClick) or Return on the selection
    kListPartSelect = 2, // the selection changed, when selection hits are on
    kListPartDrop = 4,   // a drop (see UDragAndDrop)
};

class CListView : public CView
{
public:
    CListView(SViewParent parent, const SRect& bounds, int32_t rowHeight);
    ~CListView() override;

    int32_t GetRowHeight() const { return mRowHeight; }
    uint32_t GetItemCount() const { return uint32_t(mSelected.size()); }
    // Rows were added after row `afterRow` (0 = at the top) or removed from `row` on.
    void ItemsInserted(uint32_t afterRow, uint32_t count);
    void ItemsRemoved(uint32_t row, uint32_t count);
    // All rows changed: the count is set again and the selection cleared.
    void SetItemCount(uint32_t count);
    // The subclass re-ordered its items (and may have added some): row i + 1 now shows what row
    // oldRows[i] showed, 0 for a new row. The selection, and where the keyboard goes on from, follow
    // their rows; rows no longer shown leave the selection.
    void ItemsReordered(const std::vector<uint32_t>& oldRows);
    void RefreshItem(uint32_t row);
    void Refresh();

    void SetMultipleSelect(bool multiple) { mMultiple = multiple; }
    void SetSelectionHits(bool on) { mSelectionHits = on; }
    bool IsSelected(uint32_t row) const;
    void SelectItem(uint32_t row, bool select = true);
    void SelectOnly(uint32_t row); // 0 deselects all
    void DeselectAll();
    uint32_t GetFirstSelected() const; // 0 when none
    uint32_t GetSelectedCount() const { return mSelectedCount; }
    // The row the keyboard moves on from (0 = none yet).
    uint32_t GetCursorItem() const { return mCursor; }
    // Selects the row alone and opens it, as a double click on it does.
    void OpenItem(uint32_t row);
    // What a screen reader says for the row: its texts, the telling one first ("Read Me.txt, 425 bytes").
    // The default is the text of the default drawing.
    virtual QString GetItemDescription(uint32_t row) const;
    // Scrolls the least needed to show the whole row.
    void ScrollToItem(uint32_t row);
    // The last row is in view at the bottom (also when every row fits).
    bool IsScrolledToBottom() const;
    void ScrollToBottom();
    // The first row shown at the top, and how many rows fit.
    uint32_t GetFirstVisibleItem() const;
    uint32_t GetVisibleItemCount() const;
    // The row's rectangle in the list's own (unscrolled) coordinates.
    SRect GetItemRect(uint32_t row) const;
    // The row under a point of the visible area, 0 when none. Points are in the visible area's
    // coordinates; XToRow turns one into the row's own (the list may be scrolled sideways).
    int32_t XToRow(int32_t x) const;
    uint32_t ItemAtPoint(int32_t x, int32_t y) const;
    // The height that shows every row, for zooming.
    int32_t GetFullHeight() const { return int32_t(GetItemCount()) * mRowHeight; }
    // Active when its window is the active one: selected rows are filled, else only outlined.
    bool IsActive() const;

    QAbstractScrollArea* ScrollArea() const;

    // Rows wider than the view: the list scrolls sideways over this width (0: rows are as wide as the
    // view). Only ever widened by its users, so that a row once readable stays so.
    void SetContentWidth(int32_t width);
    int32_t GetContentWidth() const { return mContentWidth; }

    // Called by the widget. A list whose rows hold their own controls (a tick box) takes the press first.
    void Paint(QPainter& painter, const QRect& dirty);
    void Resized();
    virtual void MousePress(int32_t x, int32_t y, uint16_t mods);
    virtual void MouseDoubleClick(int32_t x, int32_t y, uint16_t mods);
    void MouseDragged(int32_t x, int32_t y);
    bool KeyPressed(int qtKey, uint16_t mods);

    // A right click (or the menu key) at a point of the visible area: the row under it becomes the
    // selection unless it is already one of the selected rows, and a click below the rows leaves nothing
    // selected; then the procedure opens the menu at that point of the screen.
    void SetContextMenuProc(std::function<void(const QPoint& globalPos)> proc)
    {
        mMenuProc = std::move(proc);
    }
    void ContextMenuAt(int32_t x, int32_t y);

protected:
    // Draws one row into its rectangle (widget coordinates). The default draws the selection and the
    // text of GetItemText.
    virtual void DrawItem(QPainter& painter, const QRect& rowRect, uint32_t row, bool selected, bool active);
    // The text of the default drawing, in the client's character set.
    virtual bool GetItemText(uint32_t, std::string&) const { return false; }
    // Fills the selection mark: the highlight when active, else an outline.
    void DrawSelection(QPainter& painter, const QRect& rowRect, bool active) const;
    virtual void SelectionChanged();
    // A drag started on a selected row (the row under the press); start it with UDragAndDrop::StartDrag.
    virtual void HandleDrag(uint32_t) {}

private:
    void SetSelected(uint32_t row, bool on);
    void UpdateScrollRange();
    void MoveSelectionTo(uint32_t row, bool extend);

    int32_t mRowHeight;
    int32_t mContentWidth = 0;
    std::vector<uint8_t> mSelected;
    uint32_t mSelectedCount = 0;
    uint32_t mAnchor = 0;
    uint32_t mCursor = 0;
    uint32_t mPressRow = 0;
    int32_t mPressX = 0, mPressY = 0;
    bool mMultiple = false;
    bool mSelectionHits = false;
    std::function<void(const QPoint&)> mMenuProc;
};
