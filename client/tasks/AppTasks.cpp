// The application's task operations: they hand over to the task list, and the tasks window's stop and
// start buttons act on the task selected there.
#include <string>
#include <vector>

#include "client/app/CMyApplication.h"
#include "client/core/CMyTask.h"
#include "client/core/CMyTaskDisplay.h"
#include "platform/FileManager.h"
#include "platform/OpenURL.h"

namespace
{
CMyTask* SelectedTask(const CMyTaskList& tasks)
{
    CMyTaskDisplay* rows = tasks.Display();
    return rows ? rows->GetSelectedTask() : nullptr;
}
} // namespace

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
    CMyTask* task = SelectedTask(mTaskList);
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
    CMyTask* task = SelectedTask(mTaskList);
    if (!task || task->mIsFinished) return;
    if (StartTransfer(task)) return;
    // Only file transfers wait in the queue for the user to start them.
    if (task->CanUserStart()) task->StartQueued();
}

void CMyApplication::DoRemoveTask()
{
    CMyTask* task = SelectedTask(mTaskList);
    if (!task) return;
    if (task->IsKeptFinished())
    {
        delete task;
        return;
    }
    if (!task->IsParked())
    {
        // A running transfer stops into a parked row in its place, which is then taken away like any
        // other; a request simply stops.
        const bool kept = IsKeptTransfer(task);
        DoStopTask();
        if (!kept) return;
        task = SelectedTask(mTaskList);
        if (!task || !task->IsParked()) return;
    }
    StopTransfer(task);
}

void CMyApplication::DoOpenTaskItem()
{
    std::string path;
    if (GetTaskLocalItem(SelectedTask(mTaskList), path)) platform::OpenLocalItem(path.data(), path.size());
}

void CMyApplication::DoShowTaskInFolder()
{
    std::string path;
    if (GetTaskLocalItem(SelectedTask(mTaskList), path)) platform::ShowInFileManager(path);
}

void CMyApplication::DoClearFinishedTasks()
{
    std::vector<CMyTask*> finished;
    for (CMyTask* task : mTaskList)
        if (task->IsKeptFinished()) finished.push_back(task);
    for (CMyTask* task : finished)
        delete task;
}
