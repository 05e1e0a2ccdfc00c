#include "client/transfers/CMyUploadFileTask.h"

#include <algorithm>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/boxes/USound.h"
#include "client/core/CMyTransferConnection.h"
#include "framework/files/UFileSys.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UDateTime.h"
#include "framework/runtime/UPString.h"

namespace
{
constexpr char kRowText[] = "Uploading \xD2%#s\xD3";
constexpr char kStatText[] = "Uploading \xD2%#s\xD3 (%#s)";
constexpr uint16_t kResumeOption = 1;
// A resume record larger than this is not one this client can take.
constexpr uint32_t kMaxResumeRecord = 1024;
constexpr uint32_t kGrowWhenDrained = 20480;
constexpr uint32_t kGrowWhenQuick = 51200;
constexpr uint32_t kQuickSecs = 10;
} // namespace

CMyUploadFileTask::CMyUploadFileTask(const void* path, uint32_t pathSize, TFileSysRefObj* file, bool resume,
                                     bool queued)
    : CMyTransactTask(nullptr), mWasQueued(queued)
{
    uint8_t name[256];
    UFileSys::GetName(file, name);
    UPString::Copy(mFileName, name);
    SetRowText(0, 1, queued ? "Uploading \xD2%#s\xD3 (queued)" : kRowText, mFileName);
    UFieldData::AddPString(mFieldData, kFieldFileName, name);
    if (path && pathSize)
    {
        UFieldData::AddField(mFieldData, kFieldFilePath, path, pathSize);
        mPath.assign(static_cast<const uint8_t*>(path), static_cast<const uint8_t*>(path) + pathSize);
    }
    mFile = UFileSys::Clone(file);
    if (resume)
        // Flattening waits for the server's record of what it holds.
        UFieldData::AddInteger(mFieldData, kFieldTransferOptions, kResumeOption);
    else
    {
        UFileSys::StartFlatten(mFile);
        mTotalSize = UFileSys::GetFlattenSize(mFile);
        UFieldData::AddInteger(mFieldData, kFieldTransferSize, int32_t(mTotalSize));
    }
    if (queued) mStage = 0;
    gApp->ScheduleTaskProcess();
}

CMyUploadFileTask::~CMyUploadFileTask()
{
    mConnection.reset();
    if (mFile) UFileSys::Dispose(mFile);
}

void CMyUploadFileTask::Process()
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

void CMyUploadFileTask::Step()
{
    switch (mStage)
    {
    case 0:
        if (!LeaveQueueWhenFirst()) return;
        [[fallthrough]];
    case 1:
        SendUploadRequest();
        return;
    case 2:
        TakeReplyAndConnect();
        return;
    case 3:
        if (!SendHandshake()) return;
        [[fallthrough]];
    case 4:
        Send();
        return;
    default:
        return;
    }
}

void CMyUploadFileTask::SendUploadRequest()
{
    if (mWasQueued) SetRowText(0, 10, kRowText, mFileName);
    SendRequest(kTranUploadFile);
    mStage = 2;
}

void CMyUploadFileTask::TakeReplyAndConnect()
{
    if (!TakeCheckedReply()) return;
    if (!UFileSys::IsFlattening(mFile))
    {
        uint8_t record[kMaxResumeRecord];
        const uint32_t size = UFieldData::GetField(mFieldData, kFieldResumeData, record, sizeof(record));
        if (size == 0) Fail(kErrTypeGeneral, 7);
        UFileSys::ResumeFlatten(mFile, record, size);
        mTotalSize = UFileSys::GetFlattenSize(mFile);
    }
    mRefNum = uint32_t(UFieldData::GetInteger(mFieldData, kFieldRefNum));
    mConnection = CMyTransferConnection::ForFile(mRefNum, mTotalSize);
    mStage = 3;
}

bool CMyUploadFileTask::SendHandshake()
{
    if (!mConnection->SendHandshakeWhenConnected()) return false;
    mStartSecs = UDateTime::GetSeconds();
    mStage = 4;
    return true;
}

void CMyUploadFileTask::Send()
{
    TTransportObj* tpt = mConnection->Transport();
    if (!UTransport::IsConnected(tpt))
    {
        // Bytes still queued in the transport never reached the server: its close came too early.
        if (mUploadedSize < mTotalSize || UTransport::GetUnsentSize(tpt) != 0)
        {
            UApplication::PostMessage(kMsgTransferClosed);
            FailSilent(kErrTypeTransport, 102);
        }
        // Everything was handed over and the server closed: that close is how it says it has the file.
        Complete();
        return;
    }
    if (mFile)
    {
        const uint32_t unsent = UTransport::GetUnsentSize(tpt);
        // More than a piece still waiting on a transport that is not ready: memory stays bounded.
        if (unsent <= mSendSize || UTransport::IsReadyToSend(tpt))
        {
            const uint32_t now = UDateTime::GetSeconds();
            if (unsent == 0) mSendSize += kGrowWhenDrained;
            if (now - mSendSecs < kQuickSecs) mSendSize += kGrowWhenQuick;
            mSendSecs = now;
            mSendSize = std::min(mSendSize, kMaxSendSize);
            const uint32_t piece = std::min(mSendSize, mTotalSize - mUploadedSize);
            if (piece)
            {
                void* buffer = UTransport::NewBuffer(piece);
                uint32_t filled;
                try
                {
                    filled = UFileSys::ProcessFlatten(mFile, buffer, piece);
                }
                catch (...)
                {
                    UTransport::DisposeBuffer(buffer);
                    throw;
                }
                // The file got shorter since the upload started: the stream cannot be what was announced.
                if (filled != piece)
                {
                    UTransport::DisposeBuffer(buffer);
                    Fail(kErrTypeFileSys, 103);
                }
                UTransport::SendBuffer(tpt, buffer);
                mUploadedSize += piece;
                gApp->Statistics().totalBytesUploaded += piece;
            }
            UTransport::NotifyReadyToSend(tpt);
            if (mUploadedSize >= mTotalSize)
            {
                // The rest only drains from the transport: the local file is closed now.
                UFileSys::Dispose(mFile);
                mFile = nullptr;
            }
        }
    }
    ShowProgress();
}

void CMyUploadFileTask::ShowProgress()
{
    const uint32_t unsent = UTransport::GetUnsentSize(mConnection->Transport());
    const uint32_t done = mUploadedSize > unsent ? mUploadedSize - unsent : 0;
    if (done < mTotalSize)
    {
        const uint32_t elapsed = UDateTime::GetSeconds() - mStartSecs;
        if (!mFile || elapsed == 0 || done <= 1024)
            mProgress.ShowBar(this, done, mTotalSize);
        else
            mProgress.Show(this, done, mTotalSize, elapsed, kStatText, mFileName);
        return;
    }
    if (mDisplayedFinish) return;
    SetRowText(10, 10, "Uploading \xD2%#s\xD3 (finishing)", mFileName);
    mDisplayedFinish = true;
}

void CMyUploadFileTask::Complete()
{
    mConnection.reset();
    if (mFile)
    {
        UFileSys::Dispose(mFile);
        mFile = nullptr;
    }
    USound::PlayEvent(kSoundFileTransfer, gApp->Settings().sound.fileTransfer);
    Finish();
    gApp->RefreshFolderWin(mPath.empty() ? nullptr : mPath.data(), uint32_t(mPath.size()));
    gApp->NotifyTransferEnded(mFileName, true);
}
