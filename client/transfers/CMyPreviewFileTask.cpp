#include "client/transfers/CMyPreviewFileTask.h"

#include <algorithm>

#include "client/core/UMyTransferSizes.h"
#include "client/transfers/CMyPreviewWin.h"
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

CMyPreviewFileTask::CMyPreviewFileTask(const void* path, uint32_t pathSize, const uint8_t* fileName,
                                       bool queued)
    // A preview is looked at, not waited for: its end plays no sound and tells the desktop nothing.
    : CMyTransferTask(kTexts, fileName, EDirection::Down, queued, false)
{
    UFieldData::AddInteger(mFieldData, kFieldTransferOptions, kPreviewOption);
    UFieldData::AddPString(mFieldData, kFieldFileName, fileName);
    if (path && pathSize) UFieldData::AddField(mFieldData, kFieldFilePath, path, pathSize);
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

uint16_t CMyPreviewFileTask::RequestType() const
{
    return kTranDownloadFile;
}

bool CMyPreviewFileTask::TakeTransferReply()
{
    mTotalSize = std::min(UMyTransferSizes::GetTransferSize(mFieldData), kMaxPreviewSize);
    return true;
}

void CMyPreviewFileTask::Connected()
{
    auto* win = new CMyPreviewWin(this);
    uint8_t title[256];
    uint8_t shown[32];
    UMyServerNames::MakeShowable(mName, shown, sizeof(shown));
    title[0] = uint8_t(UText::Format(title + 1, 255, "Preview: %#s", shown));
    win->SetTitle(title);
    win->SetLimits(300, 100, 32767, 32767);
    win->SetIcon(kIconPreviewWin);
    win->SetAutoBounds(kPlaceTopLeft, kPlaceMainScreen);
    win->Show();
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
