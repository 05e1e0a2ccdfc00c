#include "client/transfers/CMyDownloadFldrTask.h"

#include <cstdio>

#include "client/core/CMyTransferConnection.h"
#include "client/transfers/UMyPartialFile.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UText.h"

namespace
{
// Per item: its header, then for a file its size and its data.
enum : uint16_t
{
    kStageItemHeader = 4, // where the stream begins
    kStageFileSize = 6,
    kStageFileData = 7,
};

const SMyTransferTexts kTexts = {
    "Downloading Folder \xD2%#s\xD3",
    "Downloading Folder \xD2%#s\xD3 (queued)",
    "Downloading Folder \xD2%#s\xD3 (%#s)",
};
} // namespace

CMyDownloadFldrTask::CMyDownloadFldrTask(const void* path, uint32_t pathSize, const uint8_t* fldrName,
                                         TFileSysRefObj* destFldr, bool queued)
    : CMyTransferTask(kTexts, fldrName, EDirection::Down, queued, true)
{
    if (!fldrName || !fldrName[0] || !destFldr) Fail(kErrTypeGeneral, 2);
    UFieldData::AddPString(mFieldData, kFieldFileName, fldrName);
    if (path && pathSize) UFieldData::AddField(mFieldData, kFieldFilePath, path, pathSize);
    StFileSysRef fldr(UFileSys::Clone(destFldr));
    bool isFolder = false;
    if (!UFileSys::Exists(fldr.Get(), &isFolder))
        MakeFolder(fldr.Get());
    else if (!isFolder)
        Fail(kErrTypeFileSys, 125);
    mFldr = fldr.Release();
    // Started again, the folder download skips the files that are complete and resumes the partial one.
    Describe(SMyTransferRecord::kDownloadFolder, path, pathSize, fldrName, mFldr, false);
}

CMyDownloadFldrTask::~CMyDownloadFldrTask()
{
    CloseConnection();
    // A file not made yet is not there; an unnamed one goes with its descriptor.
    if (mFile && !mIsFinished && !mFileDue)
    {
        try
        {
            UFileSys::Close(mFile);
            if (!mFileUnnamed && UFileSys::GetSize(mFile) == 0) UFileSys::DeleteFile(mFile);
        }
        catch (const SError&)
        {
            // A partial file that cannot be looked at or removed stays; resuming takes it as it is.
        }
    }
    UFileSys::Dispose(mFile);
    UFileSys::Dispose(mFldr);
}

uint16_t CMyDownloadFldrTask::RequestType() const
{
    return kTranDownloadFldr;
}

bool CMyDownloadFldrTask::TakeTransferReply()
{
    mTotalSize = uint32_t(UFieldData::GetInteger(mFieldData, kFieldTransferSize));
    mTotalItems = uint16_t(UFieldData::GetInteger(mFieldData, kFieldFolderItemCount));
    if (mTotalItems == 0)
    {
        // An empty folder: it is there already, and the server will announce nothing to wait for.
        EndWell();
        return false;
    }
    uint8_t text[256];
    text[0] = uint8_t(UText::Format(text + 1, 255, "Downloading Folder \xD2%#s\xD3 [%lu items]", mName,
                                    uint32_t(mTotalItems)));
    ShowRow(0, 10, text);
    return true;
}

void CMyDownloadFldrTask::MakeHandshake(std::vector<uint8_t>& outBytes) const
{
    outBytes.resize(CMyTransferConnection::kFolderHandshakeSize);
    CMyTransferConnection::MakeFolderHandshake(mRefNum, outBytes.data());
}

void CMyDownloadFldrTask::Stream()
{
    while (!mIsFinished)
    {
        switch (mStage)
        {
        case kStageItemHeader:
            if (!ReadItemBytes()) return;
            StartItem();
            continue;
        case kStageFileSize:
            if (!ReadItemBytes()) return;
            mFileTotalSize = mReader.FileSize();
            mFileDlSize = 0;
            if (mFileDue) MakeFile();
            mStage = kStageFileData;
            continue;
        case kStageFileData:
            if (!ReceiveFileData())
            {
                ShowFolderProgress();
                return;
            }
            EndFile();
            if (!mIsFinished) ShowFolderProgress();
            continue;
        default:
            return;
        }
    }
}

bool CMyDownloadFldrTask::ReadItemBytes()
{
    // Only what the header or the size needs is taken: a file's bytes behind them stay in the transport.
    while (const uint32_t want = mReader.Wanted())
        if (Receive(want, [this](const uint8_t* bytes, uint32_t size) { mReader.Take(bytes, size); }) == 0)
        {
            if (IsDrained()) FailEarlyEnd();
            return false;
        }
    // A header that holds no path to an item is as bad a name as one that climbs out.
    if (mReader.State() == CMyFolderItemReader::kBad) Fail(kErrTypeFileSys, 119);
    return true;
}

void CMyDownloadFldrTask::StartItem()
{
    const SMyFolderItem& item = mReader.Item();
    // The files layer refuses a level that is no plain name or leads out of the folder, and a folder
    // that the server has not announced before.
    StFileSysRef ref(UFileSys::New(mFldr, item.path, item.pathSize, nullptr, 0, nullptr));
    if (item.isFolder)
    {
        bool isFolder = false;
        if (!UFileSys::Exists(ref.Get(), &isFolder) || !isFolder) MakeFolder(ref.Get());
        mReader.NextItem();
        SendAnswer(kAnswerNext);
        CountItem();
        return;
    }
    StartFile(ref.Release());
}

void CMyDownloadFldrTask::StartFile(TFileSysRefObj* item)
{
    StFileSysRef ref(item);
    // The name a single download of the file would end with: the same item never becomes two files.
    UFileSys::GetName(ref.Get(), mFinalName);
    UMyPartialFile::FitFinalName(mFinalName);
    UFileSys::SetRefName(ref.Get(), mFinalName);
    // On a disk, looking for a name that is not there costs more than making the file.
    const std::string native = UFileSys::GetNativePath(ref.Get());
    mFileUnlooked = mMadeFolders.count(native.substr(0, native.rfind('/'))) != 0;
    if (!mFileUnlooked && UFileSys::Exists(ref.Get()))
    {
        // A complete file of that name (or anything else there) stays as it is.
        mReader.NextItem();
        SendAnswer(kAnswerNext);
        CountItem();
        return;
    }
    TFileSysRefObj* found = nullptr;
    const bool resume = UMyPartialFile::Find(ref.Get(), found, mFileUnlooked);
    StFileSysRef partial(found);
    if (resume)
    {
        THdlObj* record = UFileSys::ResumeUnflatten(partial.Get());
        mFile = partial.Release();
        const uint32_t recordSize = UMemory::GetSize(record);
        std::vector<uint8_t> answer(4 + recordSize);
        answer[0] = 0;
        answer[1] = kAnswerResume;
        answer[2] = uint8_t(recordSize >> 8);
        answer[3] = uint8_t(recordSize);
        UMemory::Read(record, 0, answer.data() + 4, recordSize);
        UMemory::Dispose(record);
        // The answer and its record go in one piece.
        UTransport::Send(Transport(), answer.data(), uint32_t(answer.size()));
    }
    else
    {
        // The server sends the file's size and bytes after this answer; the file is made when the size
        // is there, which tells whether the bytes are too.
        mFile = partial.Release();
        mFileDue = true;
        SendAnswer(kAnswerSend);
    }
    mReader.ExpectFileSize();
    mStage = kStageFileSize;
}

void CMyDownloadFldrTask::MakeFolder(TFileSysRefObj* ref)
{
    UFileSys::CreateFolder(ref);
    mMadeFolders.insert(UFileSys::GetNativePath(ref));
}

void CMyDownloadFldrTask::MakeFile()
{
    // Bytes that are all in hand go into the file in this step, so a partial file could not be resumed
    // from anyway: without one the file costs no mark and no rename.
    mFileUnnamed = UMyPartialFile::Create(mFile, mFinalName,
                                          UTransport::GetReceiveSizeAtLeast(Transport()) >= mFileTotalSize);
    // From here the destructor deletes a partial file again if nothing comes into it.
    mFileDue = false;
}

bool CMyDownloadFldrTask::ReceiveFileData()
{
    const uint32_t got = Receive(mFileTotalSize - mFileDlSize, [this](const uint8_t* bytes, uint32_t size)
                                 { UFileSys::ProcessUnflatten(mFile, bytes, size); });
    mFileDlSize += got;
    mDoneSize += got;
    CountBytes(got);
    if (mFileDlSize >= mFileTotalSize) return true;
    if (IsDrained()) FailEarlyEnd();
    return false;
}

void CMyDownloadFldrTask::EndFile()
{
    // As with a single download: a stream short of what its headers say fails, and the partial file
    // stays to be resumed. The server's next bytes would belong to this file, so nothing after it can
    // be read either.
    if (!UFileSys::IsUnflattenComplete(mFile)) Fail(kErrTypeGeneral, 9);
    try
    {
        UMyPartialFile::Complete(mFile, mFinalName, mFileUnnamed);
    }
    catch (const SError& error)
    {
        // Not looked for, the name was taken by an item before it: two server names that become one
        // local name, or a server that announced one twice. The first stays, as it would have been
        // skipped, and the bytes of the second go.
        if (!mFileUnlooked || error.type != kErrTypeFileSys || error.id != 115) throw;
        if (!mFileUnnamed) UFileSys::DeleteFile(mFile);
    }
    mFileUnnamed = false;
    UFileSys::Dispose(mFile);
    mFile = nullptr;
    mReader.NextItem();
    if (!CountItem()) SendAnswer(kAnswerNext);
}

bool CMyDownloadFldrTask::CountItem()
{
    ++mDownloadedItems;
    mStage = kStageItemHeader;
    if (mDownloadedItems < mTotalItems) return false;
    EndWell();
    return true;
}

void CMyDownloadFldrTask::SendAnswer(uint16_t answer)
{
    const uint8_t bytes[2] = {uint8_t(answer >> 8), uint8_t(answer)};
    UTransport::Send(Transport(), bytes, sizeof(bytes));
}

void CMyDownloadFldrTask::ShowFolderProgress()
{
    char pattern[96];
    std::snprintf(pattern, sizeof(pattern), "Downloading Folder \xD2%%#s\xD3 (%%#s) [%u of %u]",
                  unsigned(mDownloadedItems), unsigned(mTotalItems));
    ShowProgress(mDoneSize, mTotalSize, pattern);
}
