// The preview of a server file's text, shown as it arrives. The window and the task that feeds it know
// each other while both exist: the task forgets a window that the user closed (and is ended with it),
// the window forgets a task that ended first and then stays with the text it got.
#pragma once

#include "client/widgets/CMyTextWin.h"

class CMyPreviewFileTask;

class CMyPreviewWin : public CMyTextWin
{
public:
    explicit CMyPreviewWin(CMyPreviewFileTask* task);
    // Ends the task that still feeds the window: its transfer stops and its row goes.
    ~CMyPreviewWin() override;

    CMyPreviewFileTask* GetPreviewFileTask() const { return mPreviewFileTask; }
    // The task is ending by itself: the window must not end it again.
    void EndPreviewFileTask() { mPreviewFileTask = nullptr; }

    void InsertText(const void* data, uint32_t length) { AppendText(data, length); }

private:
    CMyPreviewFileTask* mPreviewFileTask;
};
