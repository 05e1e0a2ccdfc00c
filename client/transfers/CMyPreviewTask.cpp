#include "client/transfers/CMyPreviewTask.h"

#include "client/widgets/UMyServerNames.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CWindow.h"

namespace
{
const SMyTransferTexts kPreviewTexts = {
    "Previewing \xD2%#s\xD3",
    "Previewing \xD2%#s\xD3 (queued)",
    "Previewing \xD2%#s\xD3 (%#s)",
};
constexpr uint16_t kPreviewOption = 2;
constexpr int16_t kIconPreviewWin = 413;
} // namespace

CMyPreviewTask::CMyPreviewTask(const void* path, uint32_t pathSize, const uint8_t* fileName, bool queued)
    // A preview is looked at, not waited for: its end plays no sound and tells the desktop nothing.
    : CMyTransferTask(kPreviewTexts, fileName, EDirection::Down, queued, false)
{
    UFieldData::AddInteger(mFieldData, kFieldTransferOptions, kPreviewOption);
    UFieldData::AddPString(mFieldData, kFieldFileName, fileName);
    if (path && pathSize) UFieldData::AddField(mFieldData, kFieldFilePath, path, pathSize);
}

uint16_t CMyPreviewTask::RequestType() const
{
    return kTranDownloadFile;
}

void CMyPreviewTask::ShowPreviewWin(CWindow* win, int32_t minWidth, int32_t minHeight) const
{
    uint8_t title[256];
    uint8_t shown[32];
    UMyServerNames::MakeShowable(mName, shown, sizeof(shown));
    title[0] = uint8_t(UText::Format(title + 1, 255, "Preview: %#s", shown));
    win->SetTitle(title);
    win->SetLimits(minWidth, minHeight, 32767, 32767);
    win->SetIcon(kIconPreviewWin);
    win->SetAutoBounds(kPlaceTopLeft, kPlaceMainScreen);
    win->Show();
}
