// The tasks window's Stop and Start, on the task selected there: where the task list meets the
// transfer queue, which decides what becomes of a transfer's row.
#include "client/app/CMyApplication.h"
#include "client/core/CMyTask.h"
#include "client/transfers/CMyTransferQueue.h"

void CMyApplication::DoStopTask()
{
    CMyTask* task = mTaskList.SelectedTask();
    if (!task || task->mIsFinished) return;
    if (task->StopEndsSession())
    {
        if (mSession.IsOpen()) KillTasksAndDisconnect();
        return;
    }
    // A transfer stops into a row that can start it again; a stopped one's row goes.
    if (mTransfers->Stop(task)) return;
    delete task;
}

void CMyApplication::DoStartTask()
{
    CMyTask* task = mTaskList.SelectedTask();
    if (!task || task->mIsFinished) return;
    if (mTransfers->Start(task)) return;
    // Only file transfers wait in the queue for the user to start them.
    if (task->CanUserStart()) task->StartQueued();
}
