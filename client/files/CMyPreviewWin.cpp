#include "client/files/CMyPreviewWin.h"

#include "framework/runtime/SError.h"

CMyPreviewWin::CMyPreviewWin()
{
    SetTitle("Preview", 7);
}

CMyPreviewWin::~CMyPreviewWin()
{
    // A task that fails while being stopped has nobody left to report to: the window is going.
    try
    {
        EndPreviewFileTask();
    }
    catch (const SError&)
    {
    }
}

void CMyPreviewWin::SetPreviewFileTask(CMyTask* task, EndTaskProc endTask)
{
    mPreviewFileTask = task;
    mEndTask = std::move(endTask);
}

void CMyPreviewWin::EndPreviewFileTask()
{
    CMyTask* task = mPreviewFileTask;
    EndTaskProc end = std::move(mEndTask);
    // Cleared first: ending the task may come back here.
    mPreviewFileTask = nullptr;
    mEndTask = nullptr;
    if (task && end) end(task);
}
