// The column titles above a list view. A click on a title sorts the list by that column, a second
// click on the same title turns the order round; the title shows the order with the style's arrow.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/ui/CView.h"

class CListHeaderView : public CView
{
public:
    struct SColumn
    {
        std::string title; // the client's character set
        int32_t width;     // pixels; 0 takes what the other columns leave
        bool alignRight;
    };
    static constexpr int32_t kHeight = 20;

    CListHeaderView(SViewParent parent, const SRect& bounds, std::vector<SColumn> columns);

    int GetSortColumn() const { return mSortColumn; }
    bool IsAscending() const { return mAscending; }
    void SetSort(int column, bool ascending);
    // Told after every change of the order that a click made.
    void SetSortProc(std::function<void(int column, bool ascending)> proc) { mSortProc = std::move(proc); }
    // The column under a point of the view, -1 when none.
    int ColumnAt(int32_t x) const;
    // What a click on the column's title does.
    void ClickColumn(int column);

protected:
    void Draw(QPainter& painter, const QRect& dirty) override;
    void MouseUp(const SPoint& where, uint16_t mods) override;

private:
    // Left and right edges of each column in the view's width now.
    std::vector<std::pair<int32_t, int32_t>> Edges() const;

    std::vector<SColumn> mColumns;
    int mSortColumn = 0;
    bool mAscending = true;
    std::function<void(int, bool)> mSortProc;
};
