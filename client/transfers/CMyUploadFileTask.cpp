#include "client/transfers/CMyUploadFileTask.h"

#include <algorithm>
#include <array>

#include "framework/files/UFileSys.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UDateTime.h"

namespace
{
const SMyTransferTexts kTexts = {
    "Uploading \xD2%#s\xD3",
    "Uploading \xD2%#s\xD3 (queued)",
    "Uploading \xD2%#s\xD3 (%#s)",
};
constexpr uint16_t kResumeOption = 1;
// A resume record larger than this is not one this client can take.
constexpr uint32_t kMaxResumeRecord = 1024;
constexpr uint32_t kGrowWhenDrained = 20480;
constexpr uint32_t kGrowWhenQuick = 51200;
constexpr uint32_t kQuickSecs = 10;

// The local file's name, under which the server is asked to keep it.
std::array<uint8_t, 256> NameOf(TFileSysRefObj* file)
{
    std::array<uint8_t, 256> name{};
    UFileSys::GetName(file, name.data());
    return name;
}
} // namespace

CMyUploadFileTask::CMyUploadFileTask(const void* path, uint32_t pathSize, TFileSysRefObj* file, bool resume,
                                     bool queued)
    : CMyTransferTask(kTexts, NameOf(file).data(), EDirection::Up, queued, true)
{
    UFieldData::AddPString(mFieldData, kFieldFileName, NameOf(file).data());
    if (path && pathSize)
    {
        UFieldData::AddField(mFieldData, kFieldFilePath, path, pathSize);
        mPath.assign(static_cast<const uint8_t*>(path), static_cast<const uint8_t*>(path) + pathSize);
    }
    mFile = UFileSys::Clone(file);
    try
    {
        if (resume)
            // Flattening waits for the server's record of what it holds.
            UFieldData::AddInteger(mFieldData, kFieldTransferOptions, kResumeOption);
        else
        {
            UFileSys::StartFlatten(mFile);
            mTotalSize = UFileSys::GetFlattenSize(mFile);
            UFieldData::AddInteger(mFieldData, kFieldTransferSize, int32_t(mTotalSize));
        }
        Describe(SMyTransferRecord::kUpload, path, pathSize, NameOf(file).data(), file, resume);
    }
    catch (...)
    {
        UFileSys::Dispose(mFile);
        mFile = nullptr;
        throw;
    }
}

CMyUploadFileTask::~CMyUploadFileTask()
{
    CloseConnection();
    UFileSys::Dispose(mFile);
}

uint16_t CMyUploadFileTask::RequestType() const
{
    return kTranUploadFile;
}

bool CMyUploadFileTask::TakeTransferReply()
{
    if (!UFileSys::IsFlattening(mFile))
    {
        uint8_t record[kMaxResumeRecord];
        const uint32_t size = UFieldData::GetField(mFieldData, kFieldResumeData, record, sizeof(record));
        if (size == 0) Fail(kErrTypeGeneral, 7);
        UFileSys::ResumeFlatten(mFile, record, size);
        mTotalSize = UFileSys::GetFlattenSize(mFile);
    }
    return true;
}

void CMyUploadFileTask::Stream()
{
    TTransportObj* tpt = Transport();
    if (!UTransport::IsConnected(tpt))
    {
        // The server says it has the file by closing once it took every byte. A server that closes
        // without reading all that came resets the connection, and bytes it never acknowledged never
        // reached it: both leave its copy partial.
        if (mDoneSize < mTotalSize || !UTransport::WasClosedInOrder(tpt)) FailEarlyEnd();
        UFileSys::Dispose(mFile);
        mFile = nullptr;
        EndWell();
        RefreshServerFolder(mPath);
        return;
    }
    if (mFile) SendPiece();
    ShowUploadProgress();
}

void CMyUploadFileTask::SendPiece()
{
    TTransportObj* tpt = Transport();
    const uint32_t unsent = UTransport::GetUnsentSize(tpt);
    // More than a piece still waiting on a transport that is not ready: memory stays bounded.
    if (unsent > mSendSize && !UTransport::IsReadyToSend(tpt)) return;
    const uint32_t now = UDateTime::GetSeconds();
    if (unsent == 0) mSendSize += kGrowWhenDrained;
    if (now - mSendSecs < kQuickSecs) mSendSize += kGrowWhenQuick;
    mSendSecs = now;
    mSendSize = std::min(mSendSize, kMaxSendSize);
    const uint32_t want = std::min(mSendSize, mTotalSize - mDoneSize);
    const uint32_t piece = want ? SendAllowance(want) : 0;
    // Held back by the upload speed limit, whose wake-up brings the next piece.
    if (want && !piece) return;
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
        mDoneSize += piece;
        CountBytes(piece);
    }
    UTransport::NotifyReadyToSend(tpt);
    if (mDoneSize >= mTotalSize)
    {
        // The rest only drains from the transport: the local file is closed now.
        UFileSys::Dispose(mFile);
        mFile = nullptr;
    }
}

void CMyUploadFileTask::ShowUploadProgress()
{
    const uint32_t unsent = UTransport::GetUnsentSize(Transport());
    const uint32_t done = mDoneSize > unsent ? mDoneSize - unsent : 0;
    if (done < mTotalSize)
    {
        if (!mFile)
            ShowBar(done, mTotalSize);
        else
            ShowProgress(done, mTotalSize);
        return;
    }
    if (mDisplayedFinish) return;
    ShowRowText(10, 10, "Uploading \xD2%#s\xD3 (finishing)");
    mDisplayedFinish = true;
}
