// The task list of the application: rows, stepping, failures, queueing and reaping, and the transfer
// statistics text. No server is involved.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "client/app/CMyApplication.h"
#include "client/boxes/MsgBox.h"
#include "client/core/CMyTask.h"
#include "client/core/CMyTransferProgress.h"
#include "client/tasks/CMyTaskListView.h"
#include "client/tasks/CMyTasksWin.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UClock.h"
#include "framework/runtime/UError.h"
#include "framework/ui/UWindowServices.h"
#include "tests/support/CAppHarness.h"
#include "tests/support/RunLoopWait.h"
#include "tests/support/TestDataFile.h"

namespace
{

uint64_t Now()
{
    return UClock::Now();
}

std::string RowText(const SMyTaskNameInfo* row)
{
    return row && row->textData ? std::string(reinterpret_cast<const char*>(row->textData), row->textSize)
                                : std::string();
}

const uint8_t* P(const char* text)
{
    static uint8_t buffers[4][256];
    static int next = 0;
    uint8_t* b = buffers[next++ % 4];
    b[0] = uint8_t(std::strlen(text));
    std::memcpy(b + 1, text, b[0]);
    return b;
}

// A task whose steps the test controls.
class CTestTask : public CMyTask
{
public:
    explicit CTestTask(const char* text = "", uint64_t* destroyedAt = nullptr, bool queued = false)
        : CMyTask(P(text)), mDestroyedAt(destroyedAt)
    {
        if (queued) mStage = 0;
    }
    ~CTestTask() override
    {
        if (mDestroyedAt) *mDestroyedAt = Now();
    }
    void Process() override
    {
        ++mSteps;
        if (mFailWith) __Fail(mFailWith, 103, __FILE__, __LINE__, false, false);
        if (mStage == 0 && LeaveQueueWhenFirst()) mStartedAfterQueue = true;
        if (mStage == 1) mStarted = true;
    }
    // The test decides when it moves on, not a connection.
    bool IsWaitingOnNetwork() const override { return !mStalls; }
    void Done() { Finish(); }
    void StartNow() { StartQueued(); }
    using CMyTask::RemoveQueuedSuffix;

    uint64_t* mDestroyedAt;
    int mSteps = 0;
    int16_t mFailWith = 0;
    bool mStalls = false;
    bool mStarted = false;
    bool mStartedAfterQueue = false;
};

class TaskFrameworkTest : public testing::Test
{
protected:
    void SetUp() override
    {
        h.Start();
        app = &h.App();
        // Redraws are counted on their way from the rows to the tasks window's view.
        CMyTaskRows& rows = Rows();
        rows.SetChangeProc(
            [this, toView = rows.GetChangeProc()](CMyTaskRows::EChange change, uint32_t row)
            {
                if (change == CMyTaskRows::EChange::Redraw) redraws.push_back(row);
                toView(change, row);
            });
    }
    bool Alive(CMyTask* task) const { return app->Features().Tasks().GetItemIndex(task) != 0; }
    CMyTaskRows& Rows() const { return app->Features().Windows().Tasks()->View()->Model(); }

    CAppHarness h;
    CMyApplication* app = nullptr;
    std::vector<uint32_t> redraws;
};
} // namespace

TEST_F(TaskFrameworkTest, TasksRegisterRowsInOrderAndLeaveThemWhenDestroyed)
{
    auto* a = new CTestTask("first");
    auto* b = new CTestTask("");
    ASSERT_EQ(app->Features().Tasks().GetItemCount(), 2u);
    EXPECT_TRUE(app->IsFirstTask(a));
    EXPECT_FALSE(app->IsFirstTask(b));
    ASSERT_EQ(Rows().GetRowCount(), 2u);
    EXPECT_EQ(RowText(Rows().GetRow(1)), "first");
    EXPECT_EQ(Rows().GetRow(2)->textData, nullptr);
    EXPECT_EQ(Rows().GetRow(1)->progMax, 0u);
    Rows().SetSelectedRow(2);
    EXPECT_EQ(Rows().GetSelectedTask(), b);
    delete a;
    EXPECT_EQ(Rows().GetRowCount(), 1u);
    EXPECT_EQ(Rows().GetSelectedTask(), b); // the selection follows its row
    EXPECT_TRUE(app->IsFirstTask(b));
    delete b;
    EXPECT_EQ(Rows().GetRowCount(), 0u);
    EXPECT_EQ(Rows().GetSelectedTask(), nullptr);
    EXPECT_THROW(app->AddTask(nullptr, nullptr), SError);
}

TEST_F(TaskFrameworkTest, RowsAreRedrawnOnlyWhenSomethingChanged)
{
    auto* t = new CTestTask("x");
    app->SetTaskProgress(t, 1, 2, nullptr);
    app->SetTaskProgress(t, 1, 2, nullptr); // nothing new
    app->SetTaskProgress(t, 1, 2, P("y"));  // a text always counts
    app->SetTaskProgress(t, 1, 2, P(""));   // an empty text clears it
    EXPECT_EQ(redraws, (std::vector<uint32_t>{1, 1, 1}));
    EXPECT_EQ(Rows().GetRow(1)->textSize, 0u);
    app->SetTaskProgress(reinterpret_cast<CMyTask*>(&redraws), 5, 5, P("unknown")); // no such row
    redraws.clear();
    Rows().ShowFinishedBar(t); // 1 of 2 becomes full
    app->SetTaskProgress(t, 100, 100, nullptr);
    Rows().ShowFinishedBar(t); // already full: no redraw
    EXPECT_EQ(redraws, (std::vector<uint32_t>{1}));
    EXPECT_EQ(Rows().GetRow(1)->progVal, 100u);
    app->SetTaskProgress(t, 0, 0, nullptr);
    redraws.clear();
    Rows().ShowFinishedBar(t); // 0 of 0 is not full
    EXPECT_EQ(redraws, (std::vector<uint32_t>{1}));
    delete t;
}

TEST_F(TaskFrameworkTest, TwoTasksFinishedApartAreReapedTogetherAfterTheLastFinish)
{
    StClockInHand clock;
    uint64_t goneA = 0, goneB = 0;
    auto* a = new CTestTask("a", &goneA);
    auto* b = new CTestTask("b", &goneB);
    a->Done();
    EXPECT_EQ(Rows().GetRow(1)->progVal, 100u); // the bar shows full at once
    UClock::Advance(300);
    ASSERT_TRUE(Alive(a));
    b->Done();
    const uint64_t secondFinish = Now();
    // 500 ms from the first finish have passed: the second finish started the wait again.
    UClock::Advance(499);
    ASSERT_TRUE(Alive(a));
    ASSERT_TRUE(Alive(b));
    UClock::Advance(1);
    EXPECT_EQ(goneA, secondFinish + 500);
    EXPECT_EQ(goneB, secondFinish + 500);
    EXPECT_EQ(Rows().GetRowCount(), 0u);
}

TEST_F(TaskFrameworkTest, QueuedTaskWaitsUntilThoseBeforeItAreReapedOrIsStartedByHand)
{
    uint64_t listGone = 0;
    auto* listing = new CTestTask("listing", &listGone);
    auto* queued = new CTestTask("download (queued)", nullptr, true);
    PumpUntil([&] { return listing->mSteps >= 2; }, "a few passes");
    EXPECT_FALSE(queued->mStarted);
    EXPECT_GE(queued->mSteps, 2);
    listing->Done();
    ASSERT_TRUE(PumpUntil([&] { return queued->mStarted; }, "the queued task to start"));
    EXPECT_TRUE(queued->mStartedAfterQueue);
    EXPECT_NE(listGone, 0u); // the earlier task was reaped first
    delete queued;

    auto* running = new CTestTask("listing");
    auto* second = new CTestTask("upload (queued)", nullptr, true);
    UApplication::Process();
    EXPECT_FALSE(second->mStarted);
    second->StartNow();
    ASSERT_TRUE(PumpUntil([&] { return second->mStarted; }, "the started task to run"));
    EXPECT_FALSE(second->mStartedAfterQueue);
    EXPECT_TRUE(Alive(running));
    delete running;
    delete second;
}

TEST_F(TaskFrameworkTest, TheWatchdogNamesATaskThatWaitsOnNothingAndLeavesTheOthers)
{
    std::vector<CMyTask*> stalled;
    CMyTask::SetStallHook([&](CMyTask* task) { stalled.push_back(task); });
    auto* waiting = new CTestTask("waits on the network");
    auto* idle = new CTestTask("waits on nothing");
    idle->mStalls = true;
    auto* queued = new CTestTask("waits its turn", nullptr, true);
    queued->mStalls = true;
    ASSERT_TRUE(PumpUntil([&] { return idle->mSteps > 0; }, "a pass"));
    h.Pump();
    ASSERT_FALSE(stalled.empty());
    EXPECT_TRUE(std::all_of(stalled.begin(), stalled.end(), [&](CMyTask* t) { return t == idle; }));
    // A finished task waits for nothing any more.
    stalled.clear();
    idle->Done();
    app->ScheduleTaskProcess();
    h.Pump();
    EXPECT_TRUE(stalled.empty());
    CMyTask::SetStallHook(nullptr);
    delete waiting;
    delete queued;
}

TEST_F(TaskFrameworkTest, FailingStepDestroysOnlyThatTaskAndTheErrorIsShown)
{
    uint64_t gone = 0;
    auto* failing = new CTestTask("bad", &gone);
    auto* after = new CTestTask("good");
    failing->mFailWith = kErrTypeFileSys;
    ASSERT_TRUE(PumpUntil([&] { return gone != 0 && after->mSteps > 0; }, "the failure and the next pass"));
    EXPECT_TRUE(Alive(after));
    PumpUntil([&] { return !h.alert.empty(); }, "the alert");
    EXPECT_NE(h.alert.find("4/103"), std::string::npos);
    delete after;
}

TEST_F(TaskFrameworkTest, StoppingTheSelectedTaskDestroysIt)
{
    uint64_t gone = 0;
    auto* t = new CTestTask("x", &gone);
    app->DoStopTask(); // nothing selected
    EXPECT_EQ(gone, 0u);
    app->Features().Windows().Tasks()->View()->SelectOnly(1);
    t->mIsFinished = 1;
    app->DoStopTask(); // finished: left to the reaper
    EXPECT_EQ(gone, 0u);
    t->mIsFinished = 0;
    app->DoStopTask();
    EXPECT_NE(gone, 0u);
}

TEST(TransferStatText, RateDoneTotalAndTimeLeft)
{
    uint8_t text[256];
    CMyTransferProgress::GetStatText(10240, 1048576, 1536, 676, text);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(text + 1), text[0]), "1.4K/sec 10K/1M 11:16");
    CMyTransferProgress::GetStatText(2048, 4096, 1024, 2, text);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(text + 1), text[0]), "1K/sec 2K/4K 0:02");
}

TEST_F(TaskFrameworkTest, TransferRowShowsTheBarFirstThenStatisticsOnlyWhenTheyChange)
{
    auto* t = new CTestTask("x");
    CMyTransferProgress progress;
    const char* pattern = "Downloading \xD2%#s\xD3 (%#s)";
    // As a transfer task shows what the progress decides.
    auto show = [&](uint32_t done, uint32_t total, uint32_t secs)
    {
        SMyRowChange change;
        if (progress.Show(done, total, secs, pattern, P("f"), change))
            app->SetTaskProgress(t, change.value, change.max, change.hasText ? change.text : nullptr);
    };
    show(1000, 4096, 5);
    EXPECT_EQ(RowText(Rows().GetRow(1)), "x");
    EXPECT_EQ(Rows().GetRow(1)->progVal, 1000u);
    show(2048, 4096, 2);
    EXPECT_EQ(RowText(Rows().GetRow(1)), "Downloading \xD2"
                                         "f\xD3 (1K/sec 2K/4K 0:02)");
    redraws.clear();
    show(2048, 4096, 2);
    EXPECT_TRUE(redraws.empty());
    // Over more seconds than bytes the rate rounds down to nothing: no division by it.
    show(2000, 4096, 3000);
    EXPECT_EQ(RowText(Rows().GetRow(1)), "Downloading \xD2"
                                         "f\xD3 (0K/sec 1K/4K ?)");
    delete t;
}

// The bar lies under the row's text and fills from the left as far as the transfer got; a style that
// reads the option as a vertical bar would paint across the text instead.
TEST_F(TaskFrameworkTest, TheProgressBarFillsFromTheLeftUnderTheText)
{
    auto* t = new CTestTask("x");
    app->SetTaskProgress(t, 1000, 4000, nullptr);
    app->DoShowTasksWin();
    h.Pump();
    QWidget* viewport =
        static_cast<QAbstractScrollArea*>(app->Features().Windows().Tasks()->View()->Widget())->viewport();
    const QImage image = viewport->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    const QColor fill = viewport->palette().color(QPalette::Highlight);
    const auto filled = [&](int left, int top, int right, int bottom)
    {
        int count = 0;
        for (int y = int(top * ratio); y < int(bottom * ratio); ++y)
            for (int x = int(left * ratio); x < int(right * ratio); ++x)
            {
                const QColor c = image.pixelColor(x, y);
                if (std::abs(c.red() - fill.red()) + std::abs(c.green() - fill.green()) +
                        std::abs(c.blue() - fill.blue()) <
                    90)
                    ++count;
            }
        return count;
    };
    const int width = int(image.width() / ratio);
    ASSERT_GT(width, 100);
    const int barLeft = 5, barRight = width - 5;
    EXPECT_EQ(filled(0, 1, width, 17), 0) << "the text line is painted over";
    EXPECT_GT(filled(barLeft + 2, 22, barLeft + (barRight - barLeft) / 5, 30), 0) << "no fill at the left";
    EXPECT_EQ(filled(barLeft + (barRight - barLeft) / 2, 20, barRight, 32), 0) << "fill past the progress";
    delete t;
}

TEST(TaskText, QueuedSuffixIsDroppedOnlyAtTheEnd)
{
    uint8_t text[64] = "\x11song.mp3 (queued)";
    CTestTask::RemoveQueuedSuffix(text);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(text + 1), text[0]), "song.mp3");
    uint8_t other[64] = "\x09(queued)x";
    CTestTask::RemoveQueuedSuffix(other);
    EXPECT_EQ(other[0], 9);
}
