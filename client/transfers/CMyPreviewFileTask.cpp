#include "client/transfers/CMyPreviewFileTask.h"

#include <algorithm>

#include "client/core/UMyTransferSizes.h"
#include "client/transfers/CMyPreviewWin.h"

CMyPreviewFileTask::CMyPreviewFileTask(const void* path, uint32_t pathSize, const uint8_t* fileName,
                                       bool queued)
    : CMyPreviewTask(path, pathSize, fileName, queued)
{
}

CMyPreviewFileTask::~CMyPreviewFileTask()
{
    CloseConnection();
    CMyPreviewWin* win = mPreviewWin;
    mPreviewWin = nullptr;
    if (!win) return;
    win->EndPreviewFileTask();
    // A window that never got a byte has nothing to show.
    if (win->GetTextSize() == 0) delete win;
}

bool CMyPreviewFileTask::TakeTransferReply()
{
    mTotalSize = std::min(UMyTransferSizes::GetTransferSize(mFieldData), kMaxPreviewSize);
    return true;
}

void CMyPreviewFileTask::Connected()
{
    auto* win = new CMyPreviewWin(this);
    ShowPreviewWin(win, 300, 100);
    mPreviewWin = win;
}

void CMyPreviewFileTask::Stream()
{
    if (ReceiveToEnd(
            [this](const uint8_t* bytes, uint32_t size)
            {
                if (mPreviewWin) mPreviewWin->InsertText(bytes, size);
            }))
        EndWell();
}
