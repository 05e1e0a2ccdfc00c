// The task list as the host of tasks, without windows: rows go to whatever display there is, the task
// pass and its failures, what the end of a session and the reaping destroy, and tasks made without a
// host.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "client/core/CMySession.h"
#include "client/core/CMyTask.h"
#include "client/core/CMyTaskDisplay.h"
#include "client/core/CMyTaskList.h"
#include "client/core/SMySettings.h"
#include "client/core/SMyStatistics.h"
#include "framework/runtime/SError.h"
#include "tests/support/RunLoopWait.h"

namespace
{
std::vector<std::string> gLog;
uint32_t gReapTicks = 0;
const uint8_t kNoText[] = {0};

void Reaped(void* context, void*, uint32_t, const void*, uint32_t)
{
    ++gReapTicks;
    static_cast<CMyTaskList*>(context)->KillFinishedTasks();
}

class CFakeDisplay : public CMyTaskDisplay
{
public:
    void AddTaskRow(CMyTask*, const uint8_t* text) override
    {
        gLog.push_back("add " + (text ? std::string(reinterpret_cast<const char*>(text + 1), text[0]) : ""));
    }
    void RemoveTaskRow(CMyTask*) override { gLog.push_back("remove"); }
    void SetTaskRowProgress(CMyTask*, uint32_t value, uint32_t max, const uint8_t*) override
    {
        gLog.push_back("progress " + std::to_string(value) + "/" + std::to_string(max));
    }
    void ShowTaskRowFinished(CMyTask*) override { gLog.push_back("finished"); }
    void HandTaskRowOver(CMyTask*, CMyTask*) override { gLog.push_back("hand over"); }
    CMyTask* GetSelectedTask() const override { return nullptr; }
};

class CStepTask : public CMyTask
{
public:
    explicit CStepTask(const char* name, bool standAlone = false) : CMyTask(kNoText), mLabel(name)
    {
        mIsStandAlone = standAlone;
    }
    ~CStepTask() override { gLog.push_back("gone " + mLabel); }
    void Process() override
    {
        gLog.push_back("step " + mLabel);
        if (fail) Fail(kErrTypeGeneral, 1);
        if (spawn)
        {
            spawn = false;
            new CStepTask("child");
        }
        SetProgress(1, 2);
    }
    void Done() { Finish(); }

    bool fail = false;
    bool spawn = false;

private:
    std::string mLabel;
};

class TaskListTest : public testing::Test
{
protected:
    void SetUp() override
    {
        gLog.clear();
        gReapTicks = 0;
        list.SetDisplay(&display);
    }

    SMySettings settings;
    SMyStatistics totals;
    CMySession session{settings, totals, nullptr, nullptr};
    CFakeDisplay display;
    CMyTaskList list{session, Reaped, &list};
};
} // namespace

TEST_F(TaskListTest, TasksRegisterWithTheRunningHostAndTheirRowsGoToTheDisplay)
{
    EXPECT_EQ(CMyTaskHost::Get(), &list);
    EXPECT_EQ(&list.Session(), &session);
    auto* a = new CStepTask("a");
    auto* b = new CStepTask("b");
    EXPECT_EQ(list.GetItemCount(), 2u);
    EXPECT_TRUE(list.IsFirstTask(a));
    EXPECT_FALSE(list.IsFirstTask(b));
    delete a;
    EXPECT_TRUE(list.IsFirstTask(b));
    EXPECT_EQ(list.GetItemIndex(a), 0u);
    // Without a display the list keeps its tasks all the same.
    list.SetDisplay(nullptr);
    list.SetTaskProgress(b, 1, 2, nullptr);
    delete b;
    EXPECT_EQ(gLog, (std::vector<std::string>{"add ", "add ", "gone a", "remove", "gone b"}));
    EXPECT_THROW(list.AddTask(nullptr, nullptr), SError);
}

TEST_F(TaskListTest, ThePassStepsEveryUnfinishedTaskAndHandsAFailureOverBeforeTheErrorGoesOn)
{
    auto* parent = new CStepTask("parent");
    parent->spawn = true;
    auto* done = new CStepTask("done");
    done->Done();
    auto* broken = new CStepTask("broken");
    broken->fail = true;
    gLog.clear();
    std::vector<CMyTask*> failed;
    EXPECT_THROW(list.ProcessTasks(
                     [&](CMyTask* task)
                     {
                         failed.push_back(task);
                         delete task;
                     }),
                 SError);
    EXPECT_EQ(failed, std::vector<CMyTask*>{broken});
    // A task made during the pass is stepped in the same pass, after the ones before it.
    gLog.clear();
    list.ProcessTasks([](CMyTask*) { FAIL() << "nothing fails now"; });
    EXPECT_EQ(gLog, (std::vector<std::string>{"step parent", "progress 1/2", "step child", "progress 1/2"}));
}

TEST_F(TaskListTest, TheEndOfASessionKeepsTheStandAloneTasksAndReapingTakesTheFinishedOnes)
{
    new CStepTask("request");
    auto* tracker = new CStepTask("tracker", true);
    new CStepTask("transfer");
    list.KillSessionTasks();
    ASSERT_EQ(list.GetItemCount(), 1u);
    EXPECT_EQ(list.GetItem(1), tracker);

    auto* other = new CStepTask("other");
    gLog.clear();
    tracker->Done();
    EXPECT_EQ(gLog, std::vector<std::string>{"finished"});
    // The reaping waits for the timer; what is not finished stays.
    ASSERT_TRUE(PumpUntil([] { return gReapTicks == 1; }, "the reaping timer"));
    ASSERT_EQ(list.GetItemCount(), 1u);
    EXPECT_EQ(list.GetItem(1), other);
}

TEST(TaskHost, WithoutARunningHostNoTaskIsMade)
{
    ASSERT_EQ(CMyTaskHost::Get(), nullptr);
    try
    {
        CStepTask task("orphan");
        FAIL() << "a task was made without a host";
    }
    catch (const SError& error)
    {
        EXPECT_EQ(error.type, kErrTypeGeneral);
        EXPECT_EQ(error.id, 2);
    }
}
