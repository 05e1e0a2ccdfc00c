#include "client/transfers/CMyDownloadFileTask.h"

#include <algorithm>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/boxes/USound.h"
#include "client/core/CMyTransferConnection.h"
#include "client/core/UMyTransferSizes.h"
#include "framework/files/UFileSys.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UDateTime.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"

namespace
{
constexpr char kRowText[] = "Downloading \xD2%#s\xD3";
// What one read takes at most: large enough for loopback speed, small enough that a step stays short.
constexpr uint32_t kReadPiece = 262144;
constexpr uint32_t kStepLimit = 16 * kReadPiece;
constexpr char kStatText[] = "Downloading \xD2%#s\xD3 (%#s)";
constexpr uint32_t kTypePartialFile = FourCC("QVft");
constexpr uint32_t kCreatorClient = FourCC("QVLC");
} // namespace

bool CMyDownloadFileTask::CutPartialExtension(uint8_t* name)
{
    const uint8_t n = name[0];
    if (n <= 4) return false;
    const uint8_t* e = name + 1 + n - 4;
    auto lower = [](uint8_t c) { return uint8_t((c >= 'A' && c <= 'Z') ? c + 32 : c); };
    if (e[0] != '.' || lower(e[1]) != 'q' || lower(e[2]) != 'p' || lower(e[3]) != 'f') return false;
    name[0] = uint8_t(n - 4);
    return true;
}

void CMyDownloadFileTask::AddPartialExtension(uint8_t* name)
{
    const uint8_t keep = std::min<uint8_t>(name[0], UPString::kMaxLength - 4);
    std::copy_n(".qpf", 4, name + 1 + keep);
    name[0] = uint8_t(keep + 4);
}

CMyDownloadFileTask::CMyDownloadFileTask(const void* path, uint32_t pathSize, const uint8_t* fileName,
                                         TFileSysRefObj* destFile, bool resume, bool queued, bool createFile)
    : CMyTransactTask(nullptr), mWasQueued(queued)
{
    UPString::Copy(mFileName, fileName);
    SetRowText(0, 1, queued ? "Downloading \xD2%#s\xD3 (queued)" : kRowText, mFileName);
    UFieldData::AddPString(mFieldData, kFieldFileName, fileName);
    if (path && pathSize) UFieldData::AddField(mFieldData, kFieldFilePath, path, pathSize);
    mFile = UFileSys::Clone(destFile);
    bool created = false;
    try
    {
        if (resume)
            mResumeData = UFileSys::ResumeUnflatten(mFile);
        else
        {
            uint8_t name[256];
            UFileSys::GetName(mFile, name);
            AddPartialExtension(name);
            UFileSys::SetRefName(mFile, name);
            if (createFile)
            {
                UFileSys::CreateFile(mFile, kTypePartialFile, kCreatorClient);
                created = true;
                // Where the file came from, on systems whose files keep comments.
                UFileSys::SetComment(mFile, gApp->Session().Address().name + 1,
                                     gApp->Session().Address().name[0]);
            }
            UFileSys::StartUnflatten(mFile);
        }
    }
    catch (...)
    {
        if (created)
        {
            UFileSys::Close(mFile);
            try
            {
                UFileSys::DeleteFile(mFile);
            }
            catch (...)
            {
            }
        }
        UFileSys::Dispose(mFile);
        mFile = nullptr;
        throw;
    }
    if (queued) mStage = 0;
    gApp->ScheduleTaskProcess();
}

CMyDownloadFileTask::~CMyDownloadFileTask()
{
    if (mResumeData) UMemory::Dispose(mResumeData);
    mConnection.reset();
    if (mFile && !mIsFinished)
    {
        try
        {
            UFileSys::Close(mFile);
            // A partial file that received nothing does not stay behind.
            if (UFileSys::GetSize(mFile) == 0) UFileSys::DeleteFile(mFile);
        }
        catch (...)
        {
        }
    }
    if (mFile) UFileSys::Dispose(mFile);
}

void CMyDownloadFileTask::Process()
{
    try
    {
        Step();
    }
    catch (...)
    {
        // A stop by the user destroys the task without coming here: only failures are told.
        gApp->NotifyTransferEnded(mFileName, false);
        throw;
    }
}

void CMyDownloadFileTask::Step()
{
    switch (mStage)
    {
    case 0:
        if (!LeaveQueueWhenFirst()) return;
        [[fallthrough]];
    case 1:
        SendDownloadRequest();
        return;
    case 2:
        TakeReplyAndConnect();
        return;
    case 3:
        SendHandshake();
        return;
    case 4:
        Receive();
        return;
    default:
        return;
    }
}

void CMyDownloadFileTask::SendDownloadRequest()
{
    if (mWasQueued) SetRowText(0, 10, kRowText, mFileName);
    if (mResumeData)
    {
        {
            StHandleLocker lock(mResumeData);
            UFieldData::AddField(mFieldData, kFieldResumeData, lock.Data(), UMemory::GetSize(mResumeData));
        }
        UMemory::Dispose(mResumeData);
        mResumeData = nullptr;
    }
    SendRequest(kTranDownloadFile);
    mStage = 2;
}

void CMyDownloadFileTask::TakeReplyAndConnect()
{
    if (!TakeCheckedReply()) return;
    mRefNum = uint32_t(UFieldData::GetInteger(mFieldData, kFieldRefNum));
    mTotalSize = UMyTransferSizes::GetTransferSize(mFieldData);
    mConnection = CMyTransferConnection::ForFile(mRefNum, 0);
    mStage = 3;
}

void CMyDownloadFileTask::SendHandshake()
{
    if (!mConnection->SendHandshakeWhenConnected()) return;
    mStartSecs = UDateTime::GetSeconds();
    mStage = 4;
    // An empty file has no bytes that would call again.
    gApp->ScheduleTaskProcess();
}

void CMyDownloadFileTask::Receive()
{
    TTransportObj* tpt = mConnection->Transport();
    // A server sends the last byte and closes at once: what arrived before its close is taken first, and
    // only a close with nothing left to read ends the download early.
    // One buffer serves every read: a fresh one per read would be mapped and faulted in anew each time.
    if (mBuffer.empty()) mBuffer.resize(kReadPiece);
    // A step stays short however fast the bytes come: what is left waits for the next notice.
    for (uint32_t taken = 0; mDownloadedSize < mTotalSize && taken < kStepLimit;)
    {
        // Bytes past the announced size are not part of the file: they are never read.
        const uint32_t want = std::min(kReadPiece, mTotalSize - mDownloadedSize);
        const uint32_t got = UTransport::Receive(tpt, mBuffer.data(), want);
        if (got == 0) break;
        UFileSys::ProcessUnflatten(mFile, mBuffer.data(), got);
        mDownloadedSize += got;
        taken += got;
        gApp->Statistics().totalBytesDownloaded += got;
    }
    if (mDownloadedSize >= mTotalSize)
    {
        Complete();
        return;
    }
    if (UTransport::GetReceiveState(tpt) == UTransport::kReceiveDrained)
    {
        UApplication::PostMessage(kMsgTransferClosed);
        FailSilent(kErrTypeTransport, 102);
    }
    mProgress.Show(this, mDownloadedSize, mTotalSize, UDateTime::GetSeconds() - mStartSecs, kStatText,
                   mFileName);
}

void CMyDownloadFileTask::Complete()
{
    UFileSys::ProcessUnflatten(mFile, nullptr, 0);
    uint8_t name[256];
    UFileSys::GetName(mFile, name);
    UFileSys::StopUnflatten(mFile);
    if (CutPartialExtension(name)) UFileSys::SetName(mFile, name);
    mConnection.reset();
    UFileSys::Dispose(mFile);
    mFile = nullptr;
    gApp->SetTaskProgress(this, 10, 10, nullptr);
    Finish();
    USound::PlayEvent(kSoundFileTransfer, gApp->Settings().sound.fileTransfer);
    gApp->NotifyTransferEnded(mFileName, true);
}
