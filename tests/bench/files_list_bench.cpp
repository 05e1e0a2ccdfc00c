// A big folder in a folder window: the whole client against the loopback server, from the listing
// reply's bytes going onto the socket to the folder window's first paint; next to it, in the same run,
// the framework list view filled with 100,000 rows (as ui_list_bench does), the file list filled from
// 100,000 entries and painted, the name sort alone, and the memory the rows take.
//
// A listing reply is one field list, whose field count is 16 bits: one reply carries at most 65,535
// entries, so the socket-to-paint case uses that many; the in-process cases use 100,000.
// Run: QT_QPA_PLATFORM=offscreen bin/files_list_bench (medians, means and spreads of 9 repetitions).
#include <QAbstractScrollArea>
#include <QApplication>
#include <QImage>
#include <QWidget>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "client/core/CMyTask.h"
#include "client/files/CMyFileListView.h"
#include "client/files/CMyFolderWin.h"
#include "framework/net/UFieldData.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UPString.h"
#include "framework/ui/CListView.h"
#include "framework/ui/CWindow.h"
#include "platform/EventLoop.h"
#include "tests/bench/BenchListFill.h"
#include "tests/support/CAppHarness.h"

namespace
{
using Clock = std::chrono::steady_clock;
constexpr uint32_t kRows = 100000;
constexpr uint32_t kMaxReplyEntries = 65535;

// Names of a real folder: mixed case, shared prefixes, in no particular order.
std::vector<std::string> MakeNames(uint32_t count)
{
    static const char* kWords[] = {"Report", "holiday", "Invoice", "scan", "Draft", "notes", "Photo", "mix"};
    std::mt19937 random(7);
    std::vector<std::string> names;
    names.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        names.push_back(std::string(kWords[random() % 8]) + " " + std::to_string(random() % 1000000) + " #" +
                        std::to_string(i) + (i % 5 ? ".txt" : ".jpg"));
    return names;
}

std::string EntryRecord(const std::string& name, uint32_t i)
{
    return testwire::FileEntry(name.back() == 'g' ? 0x4A504547 : 0x54455854, 0x74747874, i * 37, name);
}

// Waits for the first paint of a widget once a condition holds (the rows are in), lets it happen, and
// tells when it ended. Paints before that (of the emptied list) do not count.
class CPaintWatch : public QObject
{
public:
    CPaintWatch(QWidget* widget, std::function<bool()> ready) : mWidget(widget), mReady(std::move(ready))
    {
        mWidget->installEventFilter(this);
    }
    void Arm() { mPainted = false; }
    bool Painted() const { return mPainted; }
    Clock::time_point When() const { return mWhen; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != mWidget || event->type() != QEvent::Paint || mPainted || mInside || !mReady())
            return false;
        mInside = true;
        QCoreApplication::sendEvent(mWidget, event);
        mInside = false;
        mWhen = Clock::now();
        mPainted = true;
        return true;
    }

private:
    QWidget* mWidget;
    std::function<bool()> mReady;
    bool mPainted = false;
    bool mInside = false;
    Clock::time_point mWhen;
};

size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void BM_ListingReplyToFirstPaint(benchmark::State& state)
{
    CAppHarness h;
    h.Start();
    if (!h.Login()) state.SkipWithError("no login");
    const std::vector<std::string> names = MakeNames(kMaxReplyEntries);
    testwire::CFields listing;
    for (uint32_t i = 0; i < kMaxReplyEntries; ++i)
        listing.Add(200, EntryRecord(names[i], i));
    STestReply reply;
    reply.body = listing.Bytes();
    h.server.SetReply(200, reply);
    Clock::time_point replyQueued;
    // Called once the server has queued the reply: from here its bytes go onto the socket.
    h.server.onRequest = [&](CTestServer&, const STestTransaction& t)
    {
        if (t.header.type == 200) replyQueued = Clock::now();
    };
    h.App().DoShowPublicFiles();
    auto idle = [&]
    {
        for (CMyTask* task : h.App().Features().Tasks())
            if (!task->mIsFinished) return false;
        return true;
    };
    h.WaitUntil(idle, "the first listing", 60000);
    CMyFolderWin* root = h.App().GetRootFolderWin();
    if (!root || root->View()->GetItemCount() != kMaxReplyEntries)
        state.SkipWithError("the listing did not arrive");
    CPaintWatch watch(root->View()->ScrollArea()->viewport(),
                      [&] { return root->View()->GetItemCount() == kMaxReplyEntries; });
    for (auto _ : state)
    {
        // The rows go first, so that only the paint of the new ones counts.
        root->View()->DeleteAll();
        watch.Arm();
        h.App().DoFileRefresh(root);
        h.WaitUntil([&] { return watch.Painted() && idle(); }, "the refreshed window's paint", 60000);
        state.SetIterationTime(std::chrono::duration<double>(watch.When() - replyQueued).count());
    }
    state.counters["rows"] = double(root->View()->GetItemCount());
    state.counters["reply_bytes"] = double(reply.body.size());
    h.server.onRequest = nullptr;
}

// The framework list with the same number of rows, as the list-fill benchmark measures it.
void BM_FrameworkListFill(benchmark::State& state)
{
    FillBenchList(state, kRows);
}

// Two replies' worth of entries (a reply holds at most 65,535) into the file list, sorted, and painted.
void BM_FileListFillAndPaint(benchmark::State& state)
{
    const std::vector<std::string> names = MakeNames(kRows);
    TFieldDataObj* halves[2] = {UFieldData::New(), UFieldData::New()};
    for (uint32_t i = 0; i < kRows; ++i)
    {
        const std::string record = EntryRecord(names[i], i);
        UFieldData::AddField(halves[i % 2], 200, record.data(), uint32_t(record.size()));
    }
    CMyFolderWin win;
    win.Show();
    QImage image(win.View()->ScrollArea()->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
    {
        win.View()->DeleteAll();
        win.View()->AddListFromFields(halves[0]);
        win.View()->AddListFromFields(halves[1]);
        win.View()->ScrollArea()->viewport()->render(&image);
    }
    // What the rows take in a new window: its heap before and after the fill.
    size_t bytes;
    {
        CMyFolderWin fresh;
        const size_t empty = HeapInUse();
        fresh.View()->AddListFromFields(halves[0]);
        fresh.View()->AddListFromFields(halves[1]);
        bytes = HeapInUse() - std::min(HeapInUse(), empty);
    }
    state.counters["rows"] = kRows;
    state.counters["bytes_per_row"] = double(bytes) / kRows;
    state.counters["MB_per_100k_rows"] = double(bytes) / kRows * 100000 / 1e6;
    UFieldData::Dispose(halves[0]);
    UFieldData::Dispose(halves[1]);
}

// The name order alone, on 100,000 rows in the order a server sends them, as the list takes it: the row
// numbers sorted by name (stable), then the rows copied into that order.
void BM_SortByName(benchmark::State& state)
{
    const std::vector<std::string> names = MakeNames(kRows);
    std::vector<SMyFileListItem> rows(kRows);
    for (uint32_t i = 0; i < kRows; ++i)
        UPString::SetBytes(rows[i].name, names[i].data(), uint32_t(names[i].size()));
    for (auto _ : state)
    {
        std::vector<uint32_t> order(kRows);
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(),
                         [&](uint32_t a, uint32_t b)
                         { return CMyFileListView::CompareNames(rows[a].name, rows[b].name) < 0; });
        std::vector<SMyFileListItem> sorted;
        sorted.reserve(kRows);
        for (uint32_t i : order)
            sorted.push_back(rows[i]);
        benchmark::DoNotOptimize(sorted.data());
    }
    state.counters["rows"] = kRows;
    state.counters["row_struct_bytes"] = double(sizeof(SMyFileListItem));
}

BENCHMARK(BM_ListingReplyToFirstPaint)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FrameworkListFill)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_FileListFillAndPaint)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SortByName)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    platform::InitEventLoop();
    UApplication::Init();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
