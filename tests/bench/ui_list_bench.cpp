// The generic list view with 100,000 rows: the time to fill it and to paint one screen of it.
// Run: QT_QPA_PLATFORM=offscreen bin/ui_list_bench (reports median, mean and spread of repetitions).
#include <QApplication>
#include <QImage>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>

#include "framework/ui/CListView.h"
#include "framework/ui/CWindow.h"
#include "platform/EventLoop.h"

namespace
{
constexpr uint32_t kRows = 100000;

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

void BM_FillList(benchmark::State& state)
{
    CWindow win(SRect{0, 0, 400, 600}, kWindowDocument2);
    CBenchList* list = new CBenchList(&win, SRect{0, 0, 400, 600});
    for (auto _ : state)
    {
        list->SetItemCount(0);
        list->ItemsInserted(0, kRows);
        list->SelectItem(kRows / 2);
        benchmark::DoNotOptimize(list->GetFirstSelected());
    }
    state.counters["rows"] = kRows;
}

void BM_PaintOneScreen(benchmark::State& state)
{
    CWindow win(SRect{0, 0, 400, 600}, kWindowDocument2);
    CBenchList* list = new CBenchList(&win, SRect{0, 0, 400, 600});
    list->ItemsInserted(0, kRows);
    list->SelectItem(kRows / 2);
    list->ScrollToItem(kRows / 2);
    win.Show();
    QImage image(list->Widget()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
    {
        list->Widget()->render(&image);
        benchmark::ClobberMemory();
    }
    state.counters["rows_shown"] = list->GetVisibleItemCount();
}

BENCHMARK(BM_FillList)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_PaintOneScreen)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    platform::InitEventLoop();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
