// The application's task operations: they hand over to the task list.

#include "client/app/CMyApplication.h"

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
