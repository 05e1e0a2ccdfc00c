#include "client/transfers/CMyDownloadFldrTask.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/boxes/USound.h"
#include "client/core/CMyTransferConnection.h"
#include "framework/files/StFileSysRef.h"
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
#include "framework/runtime/UText.h"

namespace
{
enum : uint16_t
{
    kStageQueued = 0,
    kStageRequest = 1,
    kStageReply = 2,
    kStageConnect = 3,
    kStageItemHeader = 4,
    kStageFileSize = 6,
    kStageFileData = 7,
};

// What one step reads at most: enough for loopback speed, small enough that a step stays short.
constexpr uint32_t kReadPiece = 65536;
constexpr char kRowText[] = "Downloading Folder \xD2%#s\xD3";
constexpr char kPartialExtension[] = ".qpf";
constexpr uint8_t kPartialExtensionSize = 4;

bool EndsInPartialExtension(const uint8_t* name)
{
    if (name[0] <= kPartialExtensionSize) return false;
    const uint8_t* tail = name + 1 + name[0] - kPartialExtensionSize;
    for (uint8_t i = 0; i < kPartialExtensionSize; ++i)
        if (UText::ToLower(tail[i]) != uint8_t(kPartialExtension[i])) return false;
    return true;
}
} // namespace

CMyDownloadFldrTask::CMyDownloadFldrTask(const void* path, uint32_t pathSize, const uint8_t* fldrName,
                                         TFileSysRefObj* destFldr, bool queued)
    : CMyTransactTask(nullptr), mWasQueued(queued)
{
    if (!fldrName || !fldrName[0] || !destFldr) Fail(kErrTypeGeneral, 2);
    UPString::Copy(mFldrName, fldrName);
    SetRowText(0, 1, queued ? "Downloading Folder \xD2%#s\xD3 (queued)" : kRowText, mFldrName);
    UFieldData::AddPString(mFieldData, kFieldFileName, fldrName);
    if (path && pathSize) UFieldData::AddField(mFieldData, kFieldFilePath, path, pathSize);
    StFileSysRef fldr(UFileSys::Clone(destFldr));
    bool isFolder = false;
    if (!UFileSys::Exists(fldr.Get(), &isFolder))
        UFileSys::CreateFolder(fldr.Get());
    else if (!isFolder)
        Fail(kErrTypeFileSys, 125);
    mFldr = fldr.Release();
    if (queued) mStage = kStageQueued;
    gApp->ScheduleTaskProcess();
}

CMyDownloadFldrTask::~CMyDownloadFldrTask()
{
    mConnection.reset();
    if (mFile && !mIsFinished)
    {
        try
        {
            UFileSys::Close(mFile);
            if (UFileSys::GetSize(mFile) == 0) UFileSys::DeleteFile(mFile);
        }
        catch (const SError&)
        {
            // A partial file that cannot be looked at or removed stays; resuming takes it as it is.
        }
    }
    UFileSys::Dispose(mFile);
    UFileSys::Dispose(mFldr);
}

void CMyDownloadFldrTask::Process()
{
    for (;;)
    {
        switch (mStage)
        {
        case kStageQueued:
            if (!LeaveQueueWhenFirst()) return;
            [[fallthrough]];
        case kStageRequest:
            SendFolderRequest();
            return;
        case kStageReply:
            TakeReplyAndConnect();
            return;
        case kStageConnect:
            if (!mConnection->SendHandshakeWhenConnected()) return;
            mStartSecs = UDateTime::GetSeconds();
            mStage = kStageItemHeader;
            continue;
        case kStageItemHeader:
            if (!ReadItemBytes()) return;
            StartItem();
            if (mIsFinished) return;
            continue;
        case kStageFileSize:
            if (!ReadItemBytes()) return;
            mFileTotalSize = mReader.FileSize();
            mFileDlSize = 0;
            mStage = kStageFileData;
            continue;
        case kStageFileData:
            if (!ReceiveFileData())
            {
                ShowProgress();
                return;
            }
            EndFile();
            if (mIsFinished) return;
            ShowProgress();
            continue;
        default:
            return;
        }
    }
}

void CMyDownloadFldrTask::SendFolderRequest()
{
    if (mWasQueued) SetRowText(0, 10, kRowText, mFldrName);
    SendRequest(kTranDownloadFldr);
    mStage = kStageReply;
}

void CMyDownloadFldrTask::TakeReplyAndConnect()
{
    if (!TakeCheckedReply()) return;
    mRefNum = uint32_t(UFieldData::GetInteger(mFieldData, kFieldRefNum));
    mTotalSize = uint32_t(UFieldData::GetInteger(mFieldData, kFieldTransferSize));
    mTotalItems = uint16_t(UFieldData::GetInteger(mFieldData, kFieldFolderItemCount));
    if (mTotalItems == 0)
    {
        // An empty folder: it is there already, and the server will announce nothing to wait for.
        Finish();
        USound::PlayEvent(kSoundFileTransfer, gApp->Settings().sound.fileTransfer);
        return;
    }
    uint8_t handshake[CMyTransferConnection::kFolderHandshakeSize];
    CMyTransferConnection::MakeFolderHandshake(mRefNum, handshake);
    mConnection = std::make_unique<CMyTransferConnection>(handshake, uint32_t(sizeof(handshake)));
    uint8_t text[256];
    text[0] = uint8_t(UText::Format(text + 1, 255, "Downloading Folder \xD2%#s\xD3 [%lu items]", mFldrName,
                                    uint32_t(mTotalItems)));
    gApp->SetTaskProgress(this, 0, 10, text);
    mStage = kStageConnect;
}

bool CMyDownloadFldrTask::ReadItemBytes()
{
    TTransportObj* tpt = mConnection->Transport();
    uint8_t piece[512];
    // Only what the header or the size needs is taken: a file's bytes behind them stay in the transport.
    while (const uint32_t want = mReader.Wanted())
    {
        const uint32_t waiting = UTransport::GetReceiveSize(tpt);
        if (waiting == 0)
        {
            if (UTransport::GetReceiveState(tpt) != UTransport::kReceiveOpen) ConnectionEnded();
            return false;
        }
        const uint32_t got =
            UTransport::Receive(tpt, piece, std::min({want, waiting, uint32_t(sizeof(piece))}));
        if (got == 0) return false;
        mReader.Take(piece, got);
    }
    // A header that holds no path to an item is as bad a name as one that climbs out.
    if (mReader.State() == CMyFolderItemReader::kBad) Fail(kErrTypeFileSys, 119);
    return true;
}

void CMyDownloadFldrTask::StartItem()
{
    const SMyFolderItem& item = mReader.Item();
    uint32_t kind = kFSKindMissing;
    // The files layer refuses a level that is no plain name or leads out of the folder, and a folder
    // that the server has not announced before.
    StFileSysRef ref(UFileSys::New(mFldr, item.path, item.pathSize, nullptr, 0, &kind));
    if (item.isFolder)
    {
        if (kind != kFSKindFolder) UFileSys::CreateFolder(ref.Get());
        mReader.NextItem();
        SendAnswer(kAnswerNext);
        CountItem();
        return;
    }
    if (kind != kFSKindMissing)
    {
        // A complete file of that name (or anything else there) stays as it is.
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
    uint8_t name[256];
    UFileSys::GetName(ref.Get(), name);
    if (name[0] > 255 - kPartialExtensionSize) Fail(kErrTypeFileSys, 119);
    std::memcpy(name + 1 + name[0], kPartialExtension, kPartialExtensionSize);
    name[0] = uint8_t(name[0] + kPartialExtensionSize);
    UFileSys::SetRefName(ref.Get(), name);
    bool isFolder = false;
    if (UFileSys::Exists(ref.Get(), &isFolder))
    {
        if (isFolder)
        {
            // Not a partial file: nothing to resume, and nothing may be written in its place.
            mReader.NextItem();
            SendAnswer(kAnswerNext);
            CountItem();
            return;
        }
        THdlObj* record = UFileSys::ResumeUnflatten(ref.Get());
        mFile = ref.Release();
        const uint32_t recordSize = UMemory::GetSize(record);
        std::vector<uint8_t> answer(4 + recordSize);
        answer[0] = 0;
        answer[1] = kAnswerResume;
        answer[2] = uint8_t(recordSize >> 8);
        answer[3] = uint8_t(recordSize);
        UMemory::Read(record, 0, answer.data() + 4, recordSize);
        UMemory::Dispose(record);
        // The answer and its record go in one piece.
        UTransport::Send(mConnection->Transport(), answer.data(), uint32_t(answer.size()));
    }
    else
    {
        UFileSys::CreateFile(ref.Get(), FourCC("QVft"), FourCC("QVLC"));
        // From here the destructor deletes the file again if nothing comes into it.
        mFile = ref.Release();
        UFileSys::StartUnflatten(mFile);
        SendAnswer(kAnswerSend);
    }
    mReader.ExpectFileSize();
    mStage = kStageFileSize;
}

bool CMyDownloadFldrTask::ReceiveFileData()
{
    TTransportObj* tpt = mConnection->Transport();
    // Bytes that came before a close are still there to read: only a close with nothing left ends early.
    while (mFileDlSize < mFileTotalSize)
    {
        const uint32_t waiting = UTransport::GetReceiveSize(tpt);
        if (waiting == 0) break;
        const uint32_t want = std::min({waiting, mFileTotalSize - mFileDlSize, kReadPiece});
        mBuffer.resize(want);
        const uint32_t got = UTransport::Receive(tpt, mBuffer.data(), want);
        if (got == 0) break;
        mFileDlSize += got;
        mDownloadedSize += got;
        gApp->Statistics().totalBytesDownloaded += got;
        UFileSys::ProcessUnflatten(mFile, mBuffer.data(), got);
    }
    if (mFileDlSize >= mFileTotalSize) return true;
    if (UTransport::GetReceiveState(tpt) == UTransport::kReceiveDrained) ConnectionEnded();
    return false;
}

void CMyDownloadFldrTask::EndFile()
{
    UFileSys::ProcessUnflatten(mFile, nullptr, 0);
    uint8_t name[256];
    UFileSys::GetName(mFile, name);
    UFileSys::StopUnflatten(mFile);
    if (EndsInPartialExtension(name))
    {
        name[0] = uint8_t(name[0] - kPartialExtensionSize);
        UFileSys::SetName(mFile, name);
    }
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
    mConnection.reset();
    Finish();
    USound::PlayEvent(kSoundFileTransfer, gApp->Settings().sound.fileTransfer);
    return true;
}

void CMyDownloadFldrTask::SendAnswer(uint16_t answer)
{
    const uint8_t bytes[2] = {uint8_t(answer >> 8), uint8_t(answer)};
    UTransport::Send(mConnection->Transport(), bytes, sizeof(bytes));
}

void CMyDownloadFldrTask::ConnectionEnded()
{
    UApplication::PostMessage(kMsgTransferClosed);
    FailSilent(kErrTypeTransport, 102);
}

void CMyDownloadFldrTask::ShowProgress()
{
    char pattern[96];
    std::snprintf(pattern, sizeof(pattern), "Downloading Folder \xD2%%#s\xD3 (%%#s) [%u of %u]",
                  unsigned(mDownloadedItems), unsigned(mTotalItems));
    mProgress.Show(this, mDownloadedSize, mTotalSize, UDateTime::GetSeconds() - mStartSecs, pattern,
                   mFldrName);
}
