#include "client/transfers/CMyPicturePreviewWin.h"

#include "client/transfers/CMyPicturePreviewTask.h"
#include "client/transfers/CMyPictureView.h"

CMyPicturePreviewWin::CMyPicturePreviewWin(CMyPicturePreviewTask* task)
    : CWindow(SRect{0, 0, 480, 360}, kWindowDocument2, kWindowCloseBox | kWindowResizable), mTask(task)
{
    mView = new CMyPictureView(this, SRect{0, 0, 480, 360});
    mView->SetSizing(kSizeGrow);
    mView->SetMessage(QStringLiteral("Loading\u2026"));
}

CMyPicturePreviewWin::~CMyPicturePreviewWin()
{
    CMyPicturePreviewTask* task = mTask;
    if (!task) return;
    // Cleared on both sides first, so that the task's destructor leaves this window alone.
    mTask = nullptr;
    task->EndPreviewWin();
    delete task;
}

void CMyPicturePreviewWin::ShowPicture(const QImage& image)
{
    mView->SetPicture(image);
}

void CMyPicturePreviewWin::ShowMessage(const QString& text)
{
    mView->SetMessage(text);
}
