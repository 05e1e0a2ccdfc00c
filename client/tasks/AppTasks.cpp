// The application's task operations: they hand over to the task list, and the tasks window's stop and
// start buttons act on the task selected there.
#include "client/app/CMyApplication.h"
#include "client/core/CMyTask.h"
#include "client/core/CMyTaskDisplay.h"

void CMyApplication::AddTask(CMyTask* task, const uint8_t* desc)
{
    mTaskList.AddTask(task, desc);
}

void CMyApplication::RemoveTask(CMyTask* task)
{
    mTaskList.RemoveTask(task);
}

void CMyApplication::FinishTask(CMyTask* task)
{
    mTaskList.FinishTask(task);
}

bool CMyApplication::IsFirstTask(const CMyTask* task) const
{
    return mTaskList.IsFirstTask(task);
}

void CMyApplication::KillFinishedTasks()
{
    mTaskList.KillFinishedTasks();
}

void CMyApplication::SetTaskProgress(CMyTask* task, uint32_t value, uint32_t max, const uint8_t* desc)
{
    mTaskList.SetTaskProgress(task, value, max, desc);
}

void CMyApplication::ScheduleTaskProcess()
{
    mTaskList.ScheduleTaskProcess();
}

void CMyApplication::DoStopTask()
{
    CMyTaskDisplay* rows = mTaskList.Display();
    CMyTask* task = rows ? rows->GetSelectedTask() : nullptr;
    if (!task || task->mIsFinished) return;
    if (task->StopEndsSession())
    {
        if (mSession.IsOpen()) KillTasksAndDisconnect();
        return;
    }
    // A transfer stops into a row that can start it again; a stopped one's row goes.
    if (StopTransfer(task)) return;
    delete task;
}

void CMyApplication::DoStartTask()
{
    CMyTaskDisplay* rows = mTaskList.Display();
    CMyTask* task = rows ? rows->GetSelectedTask() : nullptr;
    if (!task || task->mIsFinished) return;
    if (StartTransfer(task)) return;
    // Only file transfers wait in the queue for the user to start them.
    if (task->CanUserStart()) task->StartQueued();
}
