#include "client/transfers/CMyPreviewWin.h"

#include "client/transfers/CMyPreviewFileTask.h"

CMyPreviewWin::CMyPreviewWin(CMyPreviewFileTask* task) : mPreviewFileTask(task)
{
    SetTitle("Preview", 7);
}

CMyPreviewWin::~CMyPreviewWin()
{
    CMyPreviewFileTask* task = mPreviewFileTask;
    if (!task) return;
    // Cleared on both sides first, so that the task's destructor leaves this window alone.
    mPreviewFileTask = nullptr;
    task->EndPreviewWin();
    delete task;
}
