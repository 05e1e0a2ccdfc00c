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
#include "tests/bench/BenchListFill.h"

namespace
{
constexpr uint32_t kRows = 100000;

void BM_FillList(benchmark::State& state)
{
    FillBenchList(state, kRows);
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
