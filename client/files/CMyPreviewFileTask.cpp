#include "client/files/CMyPreviewFileTask.h"

#include <algorithm>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/core/CMyTransferConnection.h"
#include "client/files/CMyPreviewWin.h"
#include "client/files/UMyServerNames.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UDateTime.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"

namespace
{
constexpr uint16_t kPreviewOption = 2;
// What one step reads at most: enough for loopback speed, small enough that a step stays short.
constexpr uint32_t kReadPiece = 65536;
constexpr int16_t kIconPreviewWin = 413;
constexpr char kRowText[] = "Previewing \xD2%#s\xD3";
} // namespace

CMyPreviewFileTask::CMyPreviewFileTask(const void* path, uint32_t pathSize, const uint8_t* fileName,
                                       bool queued)
    : CMyTransactTask(nullptr), mWasQueued(queued)
{
    UPString::Copy(mFileName, fileName);
    SetRowText(0, 1, queued ? "Previewing \xD2%#s\xD3 (queued)" : kRowText, mFileName);
    UFieldData::AddInteger(mFieldData, kFieldTransferOptions, kPreviewOption);
    UFieldData::AddPString(mFieldData, kFieldFileName, fileName);
    if (path && pathSize) UFieldData::AddField(mFieldData, kFieldFilePath, path, pathSize);
    if (queued) mStage = 0;
    gApp->ScheduleTaskProcess();
}

CMyPreviewFileTask::~CMyPreviewFileTask()
{
    mConnection.reset();
    CMyPreviewWin* win = mPreviewWin;
    mPreviewWin = nullptr;
    if (!win) return;
    win->EndPreviewFileTask();
    // A window that never got a byte has nothing to show.
    if (win->GetTextSize() == 0) delete win;
}

void CMyPreviewFileTask::Process()
{
    switch (mStage)
    {
    case 0:
        if (!LeaveQueueWhenFirst()) return;
        [[fallthrough]];
    case 1:
        SendPreviewRequest();
        return;
    case 2:
        TakeReplyAndConnect();
        return;
    case 3:
        SendHandshakeAndOpenWindow();
        return;
    case 4:
        Receive();
        return;
    default:
        return;
    }
}

void CMyPreviewFileTask::SendPreviewRequest()
{
    if (mWasQueued) SetRowText(0, 10, kRowText, mFileName);
    SendRequest(kTranDownloadFile);
    mStage = 2;
}

void CMyPreviewFileTask::TakeReplyAndConnect()
{
    if (!TakeCheckedReply()) return;
    mRefNum = uint32_t(UFieldData::GetInteger(mFieldData, kFieldRefNum));
    mTotalSize =
        std::min<uint32_t>(uint32_t(UFieldData::GetInteger(mFieldData, kFieldTransferSize)), kMaxPreviewSize);
    mConnection = CMyTransferConnection::ForFile(mRefNum, 0);
    mStage = 3;
}

void CMyPreviewFileTask::SendHandshakeAndOpenWindow()
{
    if (!mConnection->SendHandshakeWhenConnected()) return;
    mStartSecs = UDateTime::GetSeconds();
    mStage = 4;
    auto* win = new CMyPreviewWin(this);
    uint8_t title[256];
    uint8_t shown[32];
    UMyServerNames::MakeShowable(mFileName, shown, sizeof(shown));
    title[0] = uint8_t(UText::Format(title + 1, 255, "Preview: %#s", shown));
    win->SetTitle(title);
    win->SetLimits(300, 100, 32767, 32767);
    win->SetIcon(kIconPreviewWin);
    win->SetAutoBounds(kPlaceTopLeft, kPlaceMainScreen);
    win->Show();
    mPreviewWin = win;
    // Bytes may be waiting already, and an empty file has nothing that would call again.
    gApp->ScheduleTaskProcess();
}

void CMyPreviewFileTask::Receive()
{
    TTransportObj* tpt = mConnection->Transport();
    // A server sends the whole preview and closes at once: bytes that arrived before its close are still
    // there to read. They are taken first; only a close with nothing left is an early end.
    while (mDownloadedSize < mTotalSize)
    {
        const uint32_t waiting = UTransport::GetReceiveSize(tpt);
        if (waiting == 0) break;
        const uint32_t want = std::min({waiting, mTotalSize - mDownloadedSize, kReadPiece});
        mBuffer.resize(want);
        const uint32_t got = UTransport::Receive(tpt, mBuffer.data(), want);
        if (got == 0) break;
        if (mPreviewWin) mPreviewWin->InsertText(mBuffer.data(), got);
        mDownloadedSize += got;
        gApp->Statistics().totalBytesDownloaded += got;
    }
    if (mDownloadedSize >= mTotalSize)
    {
        mConnection.reset();
        gApp->SetTaskProgress(this, 10, 10, nullptr);
        Finish();
        return;
    }
    if (UTransport::GetReceiveState(tpt) == UTransport::kReceiveDrained)
    {
        UApplication::PostMessage(kMsgTransferClosed);
        FailSilent(kErrTypeTransport, 102);
    }
    mProgress.Show(this, mDownloadedSize, mTotalSize, UDateTime::GetSeconds() - mStartSecs,
                   "Previewing \xD2%#s\xD3 (%#s)", mFileName);
}
