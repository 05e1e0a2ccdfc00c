// The application's task list: tasks register here, are stepped by ProcessAll and reaped after they
// finished.
#include <cstring>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/connection/CMyConnectTask.h"
#include "client/connection/CMyLoginTask.h"
#include "client/tasks/CMyTask.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UText.h"
#include "framework/runtime/UTimer.h"

namespace
{
constexpr uint32_t kReapDelayMs = 500;
}

void CMyApplication::AddTask(CMyTask* task, const uint8_t* desc)
{
    if (!task) Fail(kErrTypeGeneral, 2);
    ScheduleTaskProcess();
    mTaskRows.AddTask(task, desc);
    try
    {
        mTaskList.AddItem(task);
    }
    catch (...)
    {
        // The task's constructor fails with this, so no destructor will take the row away.
        mTaskRows.RemoveTask(task);
        throw;
    }
}

void CMyApplication::RemoveTask(CMyTask* task)
{
    if (!task) return;
    mTaskList.RemoveItem(task);
    mTaskRows.RemoveTask(task);
    ScheduleTaskProcess();
}

void CMyApplication::FinishTask(CMyTask* task)
{
    if (!task) return;
    mTaskRows.ShowFinishedBar(task);
    UTimer::Start(mFinishTaskTimer, kReapDelayMs, false);
}

bool CMyApplication::IsFirstTask(const CMyTask* task) const
{
    return mTaskList.GetItemCount() != 0 && mTaskList.GetItem(1) == task;
}

void CMyApplication::KillFinishedTasks()
{
    uint32_t i = 1;
    while (CMyTask* task = mTaskList.GetItem(i))
    {
        if (task->mIsFinished)
            delete task; // its destructor takes it out of the list, so position i now holds the next one
        else
            ++i;
    }
}

void CMyApplication::SetTaskProgress(CMyTask* task, uint32_t value, uint32_t max, const uint8_t* desc)
{
    mTaskRows.SetTaskProgress(task, value, max, desc);
}

void CMyApplication::ScheduleTaskProcess()
{
    UApplication::PostMessage(kMsgDataArrived);
}

void CMyApplication::GetTransferStatText(uint32_t xferSize, uint32_t totalSize, uint32_t bps, uint32_t etr,
                                         uint8_t* outText)
{
    uint8_t rate[32], done[32], total[32], left[32];
    rate[0] = uint8_t(UText::SizeToText(bps, rate + 1, 31, UText::kSizeTenthBelow10K));
    done[0] = uint8_t(UText::SizeToText(xferSize, done + 1, 31, 0));
    total[0] = uint8_t(UText::SizeToText(totalSize, total + 1, 31, 0));
    if (etr == kUnknownTimeLeft)
    {
        left[0] = 1;
        left[1] = '?';
    }
    else
        left[0] = uint8_t(UText::SecondsToText(etr, left + 1, 31));
    outText[0] = uint8_t(UText::Format(outText + 1, 255, "%#s/sec %#s/%#s %#s", rate, done, total, left));
}

void CMyApplication::DoStopTask()
{
    CMyTask* task = mTaskRows.GetSelectedTask();
    if (!task || task->mIsFinished) return;
    // Stopping the connect or login stops the whole session, which cannot go on without them.
    if (dynamic_cast<CMyConnectTask*>(task) || dynamic_cast<CMyLoginTask*>(task))
    {
        if (mIsConnected || mTpt) KillTasksAndDisconnect();
        return;
    }
    delete task;
}
