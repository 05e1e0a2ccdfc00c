#include "client/transfers/CMyDownloadFileTask.h"

#include "client/core/UMyTransferSizes.h"
#include "client/transfers/UMyPartialFile.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"

namespace
{
const SMyTransferTexts kDownloadTexts = {
    "Downloading \xD2%#s\xD3",
    "Downloading \xD2%#s\xD3 (queued)",
    "Downloading \xD2%#s\xD3 (%#s)",
};
} // namespace

CMyDownloadFileTask::CMyDownloadFileTask(const void* path, uint32_t pathSize, const uint8_t* fileName,
                                         TFileSysRefObj* destFile, bool resume, bool queued,
                                         bool /*createFile*/)
    : CMyTransferTask(kDownloadTexts, fileName, EDirection::Down, queued, true)
{
    UFieldData::AddPString(mFieldData, kFieldFileName, fileName);
    if (path && pathSize) UFieldData::AddField(mFieldData, kFieldFilePath, path, pathSize);
    if (resume)
    {
        StFileSysRef partial(UFileSys::Clone(destFile));
        UMyPartialFile::GetFinalName(partial.Get(), mFinalName);
        // What the partial file holds already: the row shows the whole file, not only the rest.
        const uint64_t had = UFileSys::GetSize(partial.Get());
        SetBase(had > UINT32_MAX ? UINT32_MAX : uint32_t(had));
        mResumeData = UFileSys::ResumeUnflatten(partial.Get());
        mFile = partial.Release();
        DescribeDownload(path, pathSize, fileName, true);
        return;
    }
    StFileSysRef target(UFileSys::Clone(destFile));
    UFileSys::GetName(target.Get(), mFinalName);
    UMyPartialFile::FitFinalName(mFinalName);
    UFileSys::SetRefName(target.Get(), mFinalName);
    TFileSysRefObj* found = nullptr;
    // A partial file made by the caller, or one of ours that the user chose to start over, is there
    // already; anything else is made here.
    const bool exists = UMyPartialFile::Find(target.Get(), found);
    StFileSysRef partial(found);
    if (!exists) UMyPartialFile::Create(partial.Get(), mFinalName);
    try
    {
        // Where the file came from, on systems whose files keep comments.
        const uint8_t* address = ServerAddressText();
        UFileSys::SetComment(partial.Get(), address + 1, address[0]);
        if (exists)
        {
            UFileSys::StartUnflatten(partial.Get());
            UFileSys::SetSize(partial.Get(), 0);
        }
    }
    catch (...)
    {
        UFileSys::Close(partial.Get());
        if (!exists)
        {
            try
            {
                UFileSys::DeleteFile(partial.Get());
            }
            catch (const SError&)
            {
                // A partial file that cannot be removed stays; it holds nothing.
            }
        }
        throw;
    }
    mFile = partial.Release();
    DescribeDownload(path, pathSize, fileName, false);
}

void CMyDownloadFileTask::DescribeDownload(const void* path, uint32_t pathSize, const uint8_t* fileName,
                                           bool hadData)
{
    // The queue keeps the final name: the partial file is found beside it again.
    StFileSysRef target(UFileSys::Clone(mFile));
    UFileSys::SetRefName(target.Get(), mFinalName);
    Describe(SMyTransferRecord::kDownloadFile, path, pathSize, fileName, target.Get(), hadData);
}

CMyDownloadFileTask::~CMyDownloadFileTask()
{
    if (mResumeData) UMemory::Dispose(mResumeData);
    CloseConnection();
    if (mFile && !mIsFinished)
    {
        try
        {
            UFileSys::Close(mFile);
            // A partial file that received nothing does not stay behind.
            if (UFileSys::GetSize(mFile) == 0) UFileSys::DeleteFile(mFile);
        }
        catch (const SError&)
        {
            // A partial file that cannot be looked at or removed stays; resuming takes it as it is.
        }
    }
    UFileSys::Dispose(mFile);
}

uint16_t CMyDownloadFileTask::RequestType() const
{
    return kTranDownloadFile;
}

void CMyDownloadFileTask::BeforeRequest()
{
    if (!mResumeData) return;
    {
        StHandleLocker lock(mResumeData);
        UFieldData::AddField(mFieldData, kFieldResumeData, lock.Data(), UMemory::GetSize(mResumeData));
    }
    UMemory::Dispose(mResumeData);
    mResumeData = nullptr;
}

bool CMyDownloadFileTask::TakeTransferReply()
{
    mTotalSize = UMyTransferSizes::GetTransferSize(mFieldData);
    return true;
}

void CMyDownloadFileTask::Stream()
{
    if (ReceiveToEnd([this](const uint8_t* bytes, uint32_t size)
                     { UFileSys::ProcessUnflatten(mFile, bytes, size); }))
        Complete();
}

void CMyDownloadFileTask::Complete()
{
    // Every announced byte came, but a stream that ends before its own headers say it does (or a reply
    // that announced less than the stream holds) left the file short: it stays a partial file.
    if (!UFileSys::IsUnflattenComplete(mFile)) Fail(kErrTypeGeneral, 9);
    UMyPartialFile::Complete(mFile, mFinalName);
    UFileSys::Dispose(mFile);
    mFile = nullptr;
    EndWell();
}
