#include "client/transfers/CMyPicturePreviewTask.h"

#include <QImage>
#include <QString>
#include <cstdio>

#include "client/core/UMyTransferSizes.h"
#include "client/transfers/CMyPicturePreviewWin.h"
#include "client/transfers/UMyPictureDecoder.h"
#include "client/widgets/UMyServerNames.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/runtime/UText.h"

namespace
{
const SMyTransferTexts kTexts = {
    "Previewing \xD2%#s\xD3",
    "Previewing \xD2%#s\xD3 (queued)",
    "Previewing \xD2%#s\xD3 (%#s)",
};
constexpr uint16_t kPreviewOption = 2;
constexpr int16_t kIconPreviewWin = 413;
} // namespace

CMyPicturePreviewTask::CMyPicturePreviewTask(const void* path, uint32_t pathSize, const uint8_t* fileName,
                                             bool queued)
    // A preview is looked at, not waited for: its end plays no sound and tells the desktop nothing.
    : CMyTransferTask(kTexts, fileName, EDirection::Down, queued, false)
{
    UFieldData::AddInteger(mFieldData, kFieldTransferOptions, kPreviewOption);
    UFieldData::AddPString(mFieldData, kFieldFileName, fileName);
    if (path && pathSize) UFieldData::AddField(mFieldData, kFieldFilePath, path, pathSize);
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

uint16_t CMyPicturePreviewTask::RequestType() const
{
    return kTranDownloadFile;
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
    uint8_t title[256];
    uint8_t shown[32];
    UMyServerNames::MakeShowable(mName, shown, sizeof(shown));
    title[0] = uint8_t(UText::Format(title + 1, 255, "Preview: %#s", shown));
    win->SetTitle(title);
    win->SetLimits(200, 150, 32767, 32767);
    win->SetIcon(kIconPreviewWin);
    win->SetAutoBounds(kPlaceTopLeft, kPlaceMainScreen);
    win->Show();
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
