#include "framework/ui/CListHeaderView.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QWidget>

#include "framework/ui/UiText.h"

CListHeaderView::CListHeaderView(SViewParent parent, const SRect& bounds, std::vector<SColumn> columns)
    : CView(parent, bounds), mColumns(std::move(columns))
{
}

void CListHeaderView::SetSort(int column, bool ascending)
{
    if (column < 0 || size_t(column) >= mColumns.size()) return;
    mSortColumn = column;
    mAscending = ascending;
    Refresh();
}

std::vector<std::pair<int32_t, int32_t>> CListHeaderView::Edges() const
{
    const int32_t width = Widget()->width();
    int32_t fixed = 0;
    for (const SColumn& c : mColumns)
        fixed += c.width;
    std::vector<std::pair<int32_t, int32_t>> edges;
    int32_t left = 0;
    for (const SColumn& c : mColumns)
    {
        const int32_t w = c.width ? c.width : std::max(0, width - fixed);
        edges.emplace_back(left, left + w);
        left += w;
    }
    if (!edges.empty()) edges.back().second = std::max(edges.back().second, width);
    return edges;
}

int CListHeaderView::ColumnAt(int32_t x) const
{
    const auto edges = Edges();
    for (size_t i = 0; i < edges.size(); ++i)
        if (x >= edges[i].first && x < edges[i].second) return int(i);
    return -1;
}

void CListHeaderView::ClickColumn(int column)
{
    if (column < 0 || size_t(column) >= mColumns.size()) return;
    SetSort(column, column == mSortColumn ? !mAscending : true);
    if (mSortProc) mSortProc(mSortColumn, mAscending);
}

void CListHeaderView::MouseUp(const SPoint& where, uint16_t)
{
    // A press given up by moving away is no click.
    if (IsInside(where)) ClickColumn(ColumnAt(where.h));
}

void CListHeaderView::Draw(QPainter& painter, const QRect&)
{
    QWidget* w = Widget();
    const auto edges = Edges();
    for (size_t i = 0; i < mColumns.size(); ++i)
    {
        QStyleOptionHeader opt;
        opt.initFrom(w);
        // Without it the style lays the title out for a vertical header and leaves no room for it.
        opt.state |= QStyle::State_Horizontal | QStyle::State_Raised;
        opt.rect = QRect(edges[i].first, 0, edges[i].second - edges[i].first, w->height());
        opt.text = ToQString(mColumns[i].title.data(), uint32_t(mColumns[i].title.size()));
        opt.textAlignment = (mColumns[i].alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
        opt.section = int(i);
        opt.position = mColumns.size() == 1       ? QStyleOptionHeader::OnlyOneSection
                       : i == 0                   ? QStyleOptionHeader::Beginning
                       : i + 1 == mColumns.size() ? QStyleOptionHeader::End
                                                  : QStyleOptionHeader::Middle;
        opt.sortIndicator = int(i) != mSortColumn ? QStyleOptionHeader::None
                            : mAscending          ? QStyleOptionHeader::SortUp
                                                  : QStyleOptionHeader::SortDown;
        w->style()->drawControl(QStyle::CE_Header, &opt, &painter, w);
    }
}
