#include "client/transfers/CMyUploadFileTask.h"

#include <algorithm>
#include <array>

#include "framework/files/UFileSys.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/SError.h"

namespace
{
const SMyTransferTexts kUploadTexts = {
    "Uploading \xD2%#s\xD3",
    "Uploading \xD2%#s\xD3 (queued)",
    "Uploading \xD2%#s\xD3 (%#s)",
};
constexpr uint16_t kResumeOption = 1;

// The name the server is asked to keep the file under: the one given, else the local file's.
std::array<uint8_t, 256> NameOf(TFileSysRefObj* file, const uint8_t* serverName)
{
    std::array<uint8_t, 256> name{};
    if (serverName && serverName[0])
        std::copy_n(serverName, size_t(serverName[0]) + 1, name.data());
    else
        UFileSys::GetName(file, name.data());
    return name;
}
} // namespace

CMyUploadFileTask::CMyUploadFileTask(const void* path, uint32_t pathSize, TFileSysRefObj* file, bool resume,
                                     bool queued, const uint8_t* serverName)
    : CMyTransferTask(kUploadTexts, NameOf(file, serverName).data(), EDirection::Up, queued, true)
{
    const std::array<uint8_t, 256> name = NameOf(file, serverName);
    UFieldData::AddPString(mFieldData, kFieldFileName, name.data());
    if (path && pathSize)
    {
        UFieldData::AddField(mFieldData, kFieldFilePath, path, pathSize);
        mPath.assign(static_cast<const uint8_t*>(path), static_cast<const uint8_t*>(path) + pathSize);
    }
    // Resuming, flattening waits for the server's record of what it holds.
    mStream.Open(file, !resume);
    if (resume)
        UFieldData::AddInteger(mFieldData, kFieldTransferOptions, kResumeOption);
    else
    {
        mTotalSize = mStream.FlattenSize();
        UFieldData::AddInteger(mFieldData, kFieldTransferSize, int32_t(mTotalSize));
    }
    Describe(SMyTransferRecord::kUpload, path, pathSize, name.data(), file, resume);
}

CMyUploadFileTask::~CMyUploadFileTask()
{
    CloseConnection();
}

void CMyUploadFileTask::ReplaceFirst()
{
    mReplace = true;
}

uint16_t CMyUploadFileTask::RequestType() const
{
    return mReplace ? kTranDeleteFile : kTranUploadFile;
}

void CMyUploadFileTask::BeforeRequest()
{
    if (!mReplace || mUploadFields) return;
    // The delete goes with fields of its own; the upload's wait for their turn.
    uint8_t name[256];
    UFieldData::GetPString(mFieldData, kFieldFileName, name, sizeof(name));
    mUploadFields.Reset(mFieldData.Release());
    mFieldData.Reset(UFieldData::New());
    UFieldData::AddPString(mFieldData, kFieldFileName, name);
    if (!mPath.empty())
        UFieldData::AddField(mFieldData, kFieldFilePath, mPath.data(), uint32_t(mPath.size()));
}

bool CMyUploadFileTask::TakeTransferReply()
{
    if (mReplace)
    {
        // The server's copy is gone: now the upload itself.
        mReplace = false;
        mFieldData.Reset(mUploadFields.Release());
        mStage = kStageRequest;
        ScheduleStep();
        return false;
    }
    if (!mStream.IsFlattening())
    {
        uint8_t record[kMaxResumeRecord];
        const uint32_t size = UFieldData::GetField(mFieldData, kFieldResumeData, record, sizeof(record));
        if (size == 0) Fail(kErrTypeGeneral, 7);
        mStream.Resume(record, size);
        mTotalSize = mStream.FlattenSize();
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
        mStream.Close();
        EndWell();
        RefreshServerFolder(mPath);
        return;
    }
    const uint32_t piece =
        mStream.SendPiece(tpt, mTotalSize - mDoneSize, [this](uint32_t want) { return SendAllowance(want); });
    mDoneSize += piece;
    CountBytes(piece);
    ShowUploadProgress();
}

void CMyUploadFileTask::ShowUploadProgress()
{
    const uint32_t unsent = UTransport::GetUnsentSize(Transport());
    const uint32_t done = mDoneSize > unsent ? mDoneSize - unsent : 0;
    if (done < mTotalSize)
    {
        if (!mStream.IsOpen())
            ShowBar(done, mTotalSize);
        else
            ShowProgress(done, mTotalSize);
        return;
    }
    if (mDisplayedFinish) return;
    ShowRowText(10, 10, "Uploading \xD2%#s\xD3 (finishing)");
    mDisplayedFinish = true;
}
