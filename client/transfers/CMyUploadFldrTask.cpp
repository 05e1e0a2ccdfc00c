#include "client/transfers/CMyUploadFldrTask.h"

#include <algorithm>
#include <cstdio>

#include "client/core/CMyTransferConnection.h"
#include "client/transfers/CMyUploadFileTask.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"

namespace
{
const SMyTransferTexts kUploadFolderTexts = {
    "Uploading Folder \xD2%#s\xD3",
    "Uploading Folder \xD2%#s\xD3 (queued)",
    "Uploading Folder \xD2%#s\xD3 (%#s)",
};
constexpr uint16_t kFolderResumeOption = 1;
// What the flattened form adds to a file, about: the bar counts it so that it ends full.
constexpr uint32_t kFlatOverhead = 200;

std::array<uint8_t, 256> FolderName(TFileSysRefObj* folder, const uint8_t* serverName)
{
    std::array<uint8_t, 256> name{};
    if (serverName && serverName[0])
        std::copy_n(serverName, size_t(serverName[0]) + 1, name.data());
    else
        UFileSys::GetName(folder, name.data());
    return name;
}

std::string Key(const uint8_t* name)
{
    return std::string(reinterpret_cast<const char*>(name + 1), name[0]);
}

void AddItemNameAndPath(TFieldDataObj* fields, const uint8_t* name, const std::vector<uint8_t>& path)
{
    UFieldData::AddPString(fields, kFieldFileName, name);
    if (!path.empty()) UFieldData::AddField(fields, kFieldFilePath, path.data(), uint32_t(path.size()));
}
} // namespace

CMyUploadFldrTask::CMyUploadFldrTask(const void* path, uint32_t pathSize, TFileSysRefObj* folder, bool resume,
                                     bool queued, const uint8_t* serverName)
    : CMyTransferTask(kUploadFolderTexts, FolderName(folder, serverName).data(), EDirection::Up, queued,
                      true),
      mResume(resume)
{
    const std::array<uint8_t, 256> name = FolderName(folder, serverName);
    if (!name[0]) Fail(kErrTypeGeneral, 2);
    mTree.Walk(folder, name.data(), path, pathSize);
    if (path && pathSize)
        mPath.assign(static_cast<const uint8_t*>(path), static_cast<const uint8_t*>(path) + pathSize);
    const uint64_t total = mTree.TotalSize() + uint64_t(mTree.FileCount()) * kFlatOverhead;
    mTotalSize = uint32_t(std::min<uint64_t>(total, UINT32_MAX));
    if (const uint32_t skipped = mTree.SkippedCount())
    {
        char note[96];
        std::snprintf(note, sizeof(note),
                      "%u left out: links to folders, devices, pipes, files of 4 GB or more",
                      unsigned(skipped));
        SetNote(note);
    }
    Describe(SMyTransferRecord::kUploadFolder, path, pathSize, name.data(), folder, resume);
}

CMyUploadFldrTask::~CMyUploadFldrTask()
{
    CloseConnection();
}

void CMyUploadFldrTask::ReplaceFirst()
{
    mAction = EAction::Delete;
}

uint16_t CMyUploadFldrTask::RequestType() const
{
    switch (mAction)
    {
    case EAction::Delete:
        return kTranDeleteFile;
    case EAction::NewFolder:
        return kTranNewFolder;
    case EAction::List:
        return kTranGetFileList;
    case EAction::Upload:
        break;
    }
    return kTranUploadFile;
}

void CMyUploadFldrTask::BeforeRequest()
{
    const CMyUploadTree::SItem& item = mTree.Items()[mIndex];
    UFieldData::DeleteAllFields(mFieldData);
    switch (mAction)
    {
    case EAction::Delete:
    case EAction::NewFolder:
        AddItemNameAndPath(mFieldData, item.name.data(), item.folderPath);
        break;
    case EAction::List:
    {
        const std::vector<uint8_t> here = CMyUploadTree::AddLevel(item.folderPath, item.name.data());
        UFieldData::AddField(mFieldData, kFieldFilePath, here.data(), uint32_t(here.size()));
        break;
    }
    case EAction::Upload:
    {
        AddItemNameAndPath(mFieldData, item.name.data(), item.folderPath);
        StFileSysRef file(
            UFileSys::NewFromNativePath(item.localPath.data(), uint32_t(item.localPath.size())));
        // The file went, or became something else, since the walk: the upload cannot be what it was.
        if (!UFileSys::IsPlainFile(file.Get())) Fail(kErrTypeFileSys, 103);
        // Resuming, flattening waits for the server's record of what it holds.
        mStream.Open(file.Get(), !mFileResume);
        mFileSent = 0;
        if (mFileResume)
            UFieldData::AddInteger(mFieldData, kFieldTransferOptions, kFolderResumeOption);
        else
        {
            mFileTotal = mStream.FlattenSize();
            UFieldData::AddInteger(mFieldData, kFieldTransferSize, int32_t(mFileTotal));
        }
        break;
    }
    }
}

bool CMyUploadFldrTask::TakeRefusal()
{
    // Resuming, a folder may be there already; the listing that follows tells.
    return mResume && mAction == EAction::NewFolder;
}

bool CMyUploadFldrTask::TakeTransferReply()
{
    switch (mAction)
    {
    case EAction::Delete:
        // The server's item of the name is gone: the folder is made anew.
        mAction = EAction::NewFolder;
        mStage = kStageRequest;
        ScheduleStep();
        return false;
    case EAction::NewFolder:
        if (mResume)
        {
            mAction = EAction::List;
            mStage = kStageRequest;
            ScheduleStep();
        }
        else
            ItemDone();
        return false;
    case EAction::List:
        TakeListing();
        ItemDone();
        return false;
    case EAction::Upload:
        break;
    }
    if (!mStream.IsFlattening())
    {
        uint8_t record[CMyUploadFileTask::kMaxResumeRecord];
        const uint32_t size = UFieldData::GetField(mFieldData, kFieldResumeData, record, sizeof(record));
        if (size == 0) Fail(kErrTypeGeneral, 7);
        mStream.Resume(record, size);
        mFileTotal = mStream.FlattenSize();
    }
    return true;
}

void CMyUploadFldrTask::TakeListing()
{
    std::map<std::string, bool>& listed = mListed[mIndex];
    const uint32_t count = UFieldData::GetFieldCount(mFieldData);
    uint8_t record[UFieldRecords::kMaxFileEntryRead];
    for (uint32_t i = 1; i <= count; ++i)
    {
        if (UFieldData::GetFieldID(mFieldData, i) != kFieldFileEntry) continue;
        const uint32_t size = UFieldData::GetFieldByIndex(mFieldData, i, record, sizeof(record));
        SFileEntry entry;
        if (!UFieldRecords::ReadFileEntry(record, size, entry)) continue;
        const bool partial = entry.type == FourCC("QVft") && entry.creator == FourCC("QVLC");
        // A whole file of the name counts over a partial one.
        auto [it, added] = listed.emplace(Key(entry.name), partial);
        if (!added && !partial) it->second = false;
    }
}

void CMyUploadFldrTask::Connected()
{
    // The speed and the time left are the whole folder's: the clock runs from the first file on.
    if (mFirstStartSecs)
        mStartSecs = mFirstStartSecs;
    else
        mFirstStartSecs = mStartSecs ? mStartSecs : 1;
}

void CMyUploadFldrTask::MakeHandshake(std::vector<uint8_t>& outBytes) const
{
    outBytes.resize(CMyTransferConnection::kHandshakeSize);
    CMyTransferConnection::MakeHandshake(mRefNum, mFileTotal, outBytes.data());
}

void CMyUploadFldrTask::Stream()
{
    TTransportObj* tpt = Transport();
    if (!UTransport::IsConnected(tpt))
    {
        // As for a single upload: the server's orderly close after every byte is the file's end.
        if (mFileSent < mFileTotal || !UTransport::WasClosedInOrder(tpt)) FailEarlyEnd();
        mStream.Close();
        CloseConnection();
        ItemDone();
        return;
    }
    const uint32_t piece =
        mStream.SendPiece(tpt, mFileTotal - mFileSent, [this](uint32_t want) { return SendAllowance(want); });
    mFileSent += piece;
    mDoneSize = std::min(mTotalSize, mDoneSize + piece);
    CountBytes(piece);
    ShowFolderProgress();
}

void CMyUploadFldrTask::ItemDone()
{
    const std::vector<CMyUploadTree::SItem>& items = mTree.Items();
    ++mDoneItems;
    for (++mIndex; mIndex < items.size(); ++mIndex)
    {
        const CMyUploadTree::SItem& item = items[mIndex];
        if (item.isFolder)
        {
            mAction = EAction::NewFolder;
            break;
        }
        mAction = EAction::Upload;
        mFileResume = false;
        const auto listed = mListed.find(item.parent);
        if (listed == mListed.end()) break;
        const auto held = listed->second.find(Key(item.name.data()));
        if (held == listed->second.end()) break;
        // A partial copy is resumed; a whole one is there already.
        if (held->second)
        {
            mFileResume = true;
            break;
        }
        ++mDoneItems;
    }
    if (mIndex >= items.size())
    {
        mDoneSize = mTotalSize;
        EndWell();
        RefreshServerFolder(mPath);
        return;
    }
    mStage = kStageRequest;
    ScheduleStep();
    ShowFolderProgress();
}

void CMyUploadFldrTask::ShowFolderProgress()
{
    char pattern[96];
    std::snprintf(pattern, sizeof(pattern), "Uploading Folder \xD2%%#s\xD3 (%%#s) [%u of %u]",
                  unsigned(mDoneItems), unsigned(mTree.Items().size()));
    ShowProgress(mDoneSize, mTotalSize, pattern);
}
