// The framework list view as the list benchmarks fill it: rows drawn as the client's lists draw theirs,
// and the fill itself (set the count, insert every row, select one), so that benchmarks of the client's
// own lists can be read next to it in the same run.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QString>
#include <benchmark/benchmark.h>

#include "framework/ui/CListView.h"
#include "framework/ui/CWindow.h"

class CBenchList : public CListView
{
public:
    CBenchList(SViewParent parent, const SRect& bounds) : CListView(parent, bounds, 19) {}

protected:
    // A row as the client's lists draw one: an icon cell, a bold name, a size column.
    void DrawItem(QPainter& painter, const QRect& rowRect, uint32_t row, bool selected, bool active) override
    {
        if (selected) DrawSelection(painter, rowRect, active);
        painter.fillRect(QRect(rowRect.left() + 10, rowRect.top() + 2, 16, 16), QColor(0x2f, 0x7f, 0xd1));
        QFont bold = painter.font();
        bold.setBold(true);
        painter.setFont(bold);
        const QString name = QStringLiteral("file number %1.txt").arg(row);
        painter.drawText(rowRect.adjusted(36, 1, -80, 0), Qt::AlignVCenter, name);
        painter.drawText(rowRect.adjusted(rowRect.width() - 76, 1, 0, 0), Qt::AlignVCenter,
                         QStringLiteral("%1k").arg(row % 977));
    }
};

inline void FillBenchList(benchmark::State& state, uint32_t rows)
{
    CWindow win(SRect{0, 0, 400, 600}, kWindowDocument2);
    CBenchList* list = new CBenchList(&win, SRect{0, 0, 400, 600});
    for (auto _ : state)
    {
        list->SetItemCount(0);
        list->ItemsInserted(0, rows);
        list->SelectItem(rows / 2);
        benchmark::DoNotOptimize(list->GetFirstSelected());
    }
    state.counters["rows"] = rows;
}
