// The preview of a server picture: the picture scaled to the window once the whole file has come, or
// why there is none (too large to preview, not a picture this client reads). Window and task know each
// other as the text preview's do: closing the window ends the task, and a task that ends first leaves
// the window to the user.
#pragma once

#include <QString>

#include "framework/ui/CWindow.h"

class CMyPicturePreviewTask;
class CMyPictureView;
class QImage;

class CMyPicturePreviewWin : public CWindow
{
public:
    explicit CMyPicturePreviewWin(CMyPicturePreviewTask* task);
    // Ends the task that still feeds the window: its transfer stops and its row goes.
    ~CMyPicturePreviewWin() override;

    CMyPicturePreviewTask* GetTask() const { return mTask; }
    // The task is ending by itself: the window must not end it again.
    void EndTask() { mTask = nullptr; }

    void ShowPicture(const QImage& image);
    void ShowMessage(const QString& text);
    CMyPictureView* View() const { return mView; }

private:
    CMyPicturePreviewTask* mTask;
    CMyPictureView* mView = nullptr;
};
