// The preview of a server file's text as it arrives. The window is fed by a preview task; closing the
// window ends that task.
#pragma once

#include <functional>

#include "client/widgets/CMyTextWin.h"

class CMyTask;

class CMyPreviewWin : public CMyTextWin
{
public:
    using EndTaskProc = std::function<void(CMyTask* task)>;

    CMyPreviewWin();
    ~CMyPreviewWin() override;

    // The task that feeds the window, and what ends it when the window goes first.
    void SetPreviewFileTask(CMyTask* task, EndTaskProc endTask);
    CMyTask* GetPreviewFileTask() const { return mPreviewFileTask; }
    // Ends the feeding task now (the task calls this with nothing set when it ends by itself first).
    void EndPreviewFileTask();

    void InsertText(const void* data, uint32_t length) { AppendText(data, length); }

private:
    CMyTask* mPreviewFileTask = nullptr;
    EndTaskProc mEndTask;
};
