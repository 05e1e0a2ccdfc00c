#include "client/tasks/CMyTaskListView.h"

#include <algorithm>

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionProgressBar>
#include <QWidget>

#include "client/core/CMyTask.h"
#include "client/widgets/UMyRowDrawing.h"
#include "framework/ui/UiText.h"

namespace
{
void DrawProgressBar(QPainter& painter, const QRect& box, uint32_t value, uint32_t max, QWidget* widget,
                     bool greyed)
{
    QStyleOptionProgressBar bar;
    bar.initFrom(widget);
    if (greyed)
    {
        bar.state &= ~QStyle::State_Enabled;
        bar.palette.setCurrentColorGroup(QPalette::Disabled);
    }
    bar.rect = box;
    // Without this flag the style takes the bar for a vertical one and paints it turned over the text.
    bar.state |= QStyle::State_Horizontal;
    // The style takes int values: the 32-bit byte counts of transfers are drawn in thousandths.
    bar.minimum = 0;
    bar.maximum = 1000;
    bar.progress = max ? int(std::min<uint64_t>(uint64_t(value) * 1000 / max, 1000)) : 0;
    bar.textVisible = false;
    widget->style()->drawControl(QStyle::CE_ProgressBar, &bar, &painter, widget);
}
} // namespace

CMyTaskListView::CMyTaskListView(SViewParent parent, const SRect& bounds)
    : CListView(parent, bounds, kRowHeight), mRows(std::make_unique<CMyTaskRows>())
{
    mRows->SetChangeProc([this](CMyTaskRows::EChange change, uint32_t row) { RowsChanged(change, row); });
    mProgressPaint.setSingleShot(true);
    mProgressPaint.setInterval(kProgressPaintMs);
    QObject::connect(&mProgressPaint, &QTimer::timeout,
                     [this]
                     {
                         for (const CMyTask* task : mProgressed)
                             RefreshItem(mRows->FindRow(task));
                         mProgressed.clear();
                     });
}

CMyTaskListView::~CMyTaskListView()
{
    // The rows outlive this part of the destruction; their notices must not reach a half-gone view.
    mRows->SetChangeProc(nullptr);
}

void CMyTaskListView::RowsChanged(CMyTaskRows::EChange change, uint32_t row)
{
    switch (change)
    {
    case CMyTaskRows::EChange::Added:
        ItemsInserted(row - 1, 1);
        break;
    case CMyTaskRows::EChange::Removed:
        ItemsRemoved(row, 1);
        break;
    case CMyTaskRows::EChange::Redraw:
        if (const SMyTaskNameInfo* info = mRows->GetRow(row))
            if (std::find(mProgressed.begin(), mProgressed.end(), info->task) == mProgressed.end())
                mProgressed.push_back(info->task);
        if (!mProgressPaint.isActive()) mProgressPaint.start();
        break;
    }
}

CMyTask* CMyTaskListView::GetSelectedTask() const
{
    const SMyTaskNameInfo* row = mRows->GetRow(GetFirstSelected());
    return row ? row->task : nullptr;
}

void CMyTaskListView::SelectionChanged()
{
    CListView::SelectionChanged();
    mRows->SetSelectedRow(GetFirstSelected());
}

QString CMyTaskListView::GetItemDescription(uint32_t row) const
{
    const SMyTaskNameInfo* info = mRows->GetRow(row);
    if (!info) return QString();
    QString text = info->textSize ? ToQString(info->textData, info->textSize) : QString();
    if (info->progMax)
        text += QStringLiteral(", %1 percent").arg(uint64_t(info->progVal) * 100 / info->progMax);
    return text;
}

void CMyTaskListView::DrawItem(QPainter& painter, const QRect& r, uint32_t row, bool selected, bool active)
{
    const SMyTaskNameInfo* info = mRows->GetRow(row);
    if (!info) return;
    // Drawn as it is now: a progress paint still due for it would only draw the same again.
    mProgressed.erase(std::remove(mProgressed.begin(), mProgressed.end(), info->task), mProgressed.end());
    const QPalette& pal = Widget()->palette();
    const int right = r.left() + r.width(), bottom = r.top() + r.height();
    if (selected) UMyRowDrawing::DrawSelection(painter, r.adjusted(1, 1, -1, -2), active, pal);
    painter.fillRect(QRect(r.left() + 1, bottom - 2, r.width() - 2, 1), pal.color(QPalette::Shadow));
    UMyRowDrawing::DrawFrame(painter, r.adjusted(0, 0, 0, -1), pal);

    const bool lit = selected && active;
    // The row knows it was handed to a finished transfer: drawing never calls into the task.
    const bool greyed = info->finished;
    painter.setFont(UMyRowDrawing::ListFont(Widget()->font(), false));
    painter.setPen(lit ? pal.color(QPalette::HighlightedText)
                       : pal.color(greyed ? QPalette::Disabled : QPalette::Active, QPalette::ButtonText));
    if (info->textSize)
        UMyRowDrawing::DrawText(painter, QRect(r.left() + 6, r.top() + 5, right - 1 - (r.left() + 6), 10 + 4),
                                ToQString(info->textData, info->textSize), Qt::AlignLeft);
    DrawProgressBar(painter, QRect(r.left() + 5, r.top() + 19, r.width() - 10, 13), info->progVal,
                    info->progMax, Widget(), greyed);
}
