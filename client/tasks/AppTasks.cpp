// The application's task list: tasks register here, are stepped by ProcessAll and reaped after they
// finished. Their rows live in the tasks window.
#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/connection/CMyConnectTask.h"
#include "client/connection/CMyLoginTask.h"
#include "client/tasks/CMyTask.h"
#include "client/tasks/CMyTaskListView.h"
#include "client/tasks/CMyTasksWin.h"
#include "client/transfers/CMyDownloadFileTask.h"
#include "client/transfers/CMyUploadFileTask.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UTimer.h"

namespace
{
constexpr uint32_t kReapDelayMs = 500;
}

CMyTaskListView* CMyApplication::TaskRows() const
{
    return mTasksWin ? mTasksWin->View() : nullptr;
}

void CMyApplication::AddTask(CMyTask* task, const uint8_t* desc)
{
    if (!task) Fail(kErrTypeGeneral, 2);
    ScheduleTaskProcess();
    CMyTaskListView* rows = TaskRows();
    if (rows) rows->AddTask(task, desc);
    try
    {
        mTaskList.AddItem(task);
    }
    catch (...)
    {
        // The task's constructor fails with this, so no destructor will take the row away.
        if (rows) rows->RemoveTask(task);
        throw;
    }
}

void CMyApplication::RemoveTask(CMyTask* task)
{
    if (!task) return;
    mTaskList.RemoveItem(task);
    if (CMyTaskListView* rows = TaskRows()) rows->RemoveTask(task);
    ScheduleTaskProcess();
}

void CMyApplication::FinishTask(CMyTask* task)
{
    if (!task) return;
    if (CMyTaskListView* rows = TaskRows()) rows->ShowFinishedBar(task);
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
    if (CMyTaskListView* rows = TaskRows()) rows->SetTaskProgress(task, value, max, desc);
}

void CMyApplication::ScheduleTaskProcess()
{
    CMyTask::NotePassAsked();
    UApplication::PostMessage(kMsgDataArrived);
}

void CMyApplication::DoStopTask()
{
    CMyTaskListView* rows = TaskRows();
    CMyTask* task = rows ? rows->GetSelectedTask() : nullptr;
    if (!task || task->mIsFinished) return;
    // Stopping the connect or login stops the whole session, which cannot go on without them.
    if (dynamic_cast<CMyConnectTask*>(task) || dynamic_cast<CMyLoginTask*>(task))
    {
        if (mIsConnected || mTpt) KillTasksAndDisconnect();
        return;
    }
    delete task;
}

void CMyApplication::DoStartTask()
{
    CMyTaskListView* rows = TaskRows();
    CMyTask* task = rows ? rows->GetSelectedTask() : nullptr;
    if (!task || task->mIsFinished) return;
    // Only file transfers wait in the queue for the user to start them.
    if (auto* download = dynamic_cast<CMyDownloadFileTask*>(task))
        download->Start();
    else if (auto* upload = dynamic_cast<CMyUploadFileTask*>(task))
        upload->Start();
}
