#include "client/transfers/CMyPicturePreviewTask.h"

#include <QImage>
#include <QString>
#include <cstdio>

#include "client/core/UMyTransferSizes.h"
#include "client/transfers/CMyPicturePreviewWin.h"
#include "client/transfers/UMyPictureDecoder.h"

CMyPicturePreviewTask::CMyPicturePreviewTask(const void* path, uint32_t pathSize, const uint8_t* fileName,
                                             bool queued)
    : CMyPreviewTask(path, pathSize, fileName, queued)
{
}

CMyPicturePreviewTask::~CMyPicturePreviewTask()
{
    CloseConnection();
    CMyPicturePreviewWin* win = mPreviewWin;
    mPreviewWin = nullptr;
    if (!win) return;
    win->EndTask();
    // Stopped before the picture came: the window says so rather than waiting for good.
    if (!mIsFinished) win->ShowMessage(QStringLiteral("The preview was stopped before the picture arrived."));
}

bool CMyPicturePreviewTask::TakeTransferReply()
{
    const uint64_t announced = UMyTransferSizes::GetTransferSize(mFieldData);
    OpenWindow();
    if (announced > kMaxPictureSize)
    {
        // Nothing is fetched: the reference goes unused, and the server lets it lapse.
        char size[32];
        std::snprintf(size, sizeof(size), "%.1f", double(announced) / (1024.0 * 1024.0));
        mPreviewWin->ShowMessage(QStringLiteral("This picture is %1 MB. Pictures larger than 20 MB are not "
                                                "previewed: download it to see it.")
                                     .arg(QString::fromLatin1(size)));
        EndWell();
        return false;
    }
    mTotalSize = uint32_t(announced);
    mBytes.reserve(mTotalSize);
    if (mTotalSize == 0)
    {
        ShowDecoded();
        EndWell();
        return false;
    }
    return true;
}

void CMyPicturePreviewTask::OpenWindow()
{
    auto* win = new CMyPicturePreviewWin(this);
    ShowPreviewWin(win, 200, 150);
    mPreviewWin = win;
}

void CMyPicturePreviewTask::Stream()
{
    if (!ReceiveToEnd([this](const uint8_t* bytes, uint32_t size)
                      { mBytes.insert(mBytes.end(), bytes, bytes + size); }))
        return;
    ShowDecoded();
    EndWell();
}

void CMyPicturePreviewTask::ShowDecoded()
{
    QImage image;
    const bool decoded = UMyPictureDecoder::Decode(mBytes.data(), uint32_t(mBytes.size()), image);
    // The bytes are not kept past the picture they made.
    mBytes.clear();
    mBytes.shrink_to_fit();
    if (!mPreviewWin) return;
    if (decoded)
        mPreviewWin->ShowPicture(image);
    else
        mPreviewWin->ShowMessage(
            QStringLiteral("This file is not a picture that can be shown, or it is damaged."));
}
