#include "client/transfers/CMyTransferTask.h"

#include <algorithm>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/boxes/USound.h"
#include "client/core/CMySession.h"
#include "client/core/CMyTransferConnection.h"
#include "client/core/CMyTransferLimits.h"
#include "client/transfers/CMyTransferQueue.h"
#include "framework/files/UFileSys.h"
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
// What one read takes at most: large enough for loopback speed, and the buffer is made once per
// transfer. A step takes a few of them: the rest of a fast stream waits for the next step, so that the
// thread also serves the windows and the other transfers.
constexpr uint32_t kReadPiece = 262144;
constexpr uint32_t kStepShare = 16 * kReadPiece;
} // namespace

CMyTransferTask::CMyTransferTask(const SMyTransferTexts& texts, const uint8_t* name, EDirection direction,
                                 bool queued, bool endReport)
    : CMyTransactTask(nullptr), mTexts(texts), mDirection(direction), mWasQueued(queued),
      mEndReport(endReport)
{
    if (!name) Fail(kErrTypeGeneral, 2);
    UPString::Copy(mName, name);
    ShowRowText(0, 1, queued ? texts.queued : texts.row);
    if (queued) mStage = kStageQueued;
}

CMyTransferTask::~CMyTransferTask()
{
    EndTurn();
    // While the application goes, its queue file keeps what was running; nothing is parked then.
    if (mRecorded && gApp) gApp->Features().Transfers().TransferGone(*this);
}

void CMyTransferTask::Describe(SMyTransferRecord::EKind kind, const void* path, uint32_t pathSize,
                               const uint8_t* serverName, TFileSysRefObj* local, bool hadData)
{
    const CMySession& session = Host().Session();
    mRecord.kind = kind;
    mRecord.state = SMyTransferRecord::kRunning;
    mRecord.hadData = hadData;
    mRecord.port = uint16_t(session.BasePort());
    const uint8_t* address = session.Address().name;
    mRecord.address.assign(reinterpret_cast<const char*>(address + 1), address[0]);
    const uint8_t* login = session.UserLogin();
    mRecord.login.assign(reinterpret_cast<const char*>(login + 1), login[0]);
    mRecord.serverName.assign(reinterpret_cast<const char*>(serverName + 1), serverName[0]);
    if (path && pathSize)
        mRecord.serverPath.assign(static_cast<const uint8_t*>(path),
                                  static_cast<const uint8_t*>(path) + pathSize);
    mRecord.localPath = UFileSys::GetNativePath(local);
    mRecorded = true;
    if (gApp) gApp->Features().Transfers().TransferStarted(*this);
}

void CMyTransferTask::SetNote(const char* note)
{
    mNote.clear();
    if (!note || !*note) return;
    mNote = " \xD1 ";
    // The note goes into a format pattern: a per cent sign in it is a letter.
    for (const char* c = note; *c; ++c)
    {
        mNote += *c;
        if (*c == '%') mNote += '%';
    }
}

const char* CMyTransferTask::Noted(const char* pattern, std::string& storage) const
{
    if (mNote.empty()) return pattern;
    storage = std::string(pattern) + mNote;
    return storage.c_str();
}

bool CMyTransferTask::IsWaitingOnNetwork() const
{
    if (CMyTransactTask::IsWaitingOnNetwork()) return true;
    // The end of a transfer that runs brings its turn.
    if (mStage == kStageQueued && mWaitingForTurn) return true;
    return mConnection && mConnection->Transport() &&
           UTransport::GetReceiveState(mConnection->Transport()) != UTransport::kReceiveDrained;
}

void CMyTransferTask::Process()
{
    mStepTaken = 0;
    try
    {
        Step();
    }
    catch (const SError& error)
    {
        mFailedWith = error.type ? uint16_t(error.type) : uint16_t(kErrTypeGeneral);
        // A stop by the user destroys the task without coming here: only failures are told.
        if (mEndReport) NotifyEnd(false);
        throw;
    }
    catch (...)
    {
        mFailedWith = kErrTypeGeneral;
        if (mEndReport) NotifyEnd(false);
        throw;
    }
    // A step that stopped at its share leaves bytes that may not bring another notice of their own.
    if (mStepTaken >= kStepShare && !mIsFinished) ScheduleStep();
}

void CMyTransferTask::Step()
{
    switch (mStage)
    {
    case kStageQueued:
        if (mWaitingForTurn ? !TakeTurn() : !LeaveQueueWhenFirst()) return;
        mWaitingForTurn = false;
        mStage = kStageRequest;
        [[fallthrough]];
    case kStageRequest:
        if (!TakeTurn())
        {
            mStage = kStageQueued;
            mWaitingForTurn = true;
            mWasQueued = true;
            ShowRowText(0, 1, mTexts.queued);
            return;
        }
        mWaitingForTurn = false;
        if (mWasQueued) ShowRowText(0, 10, mTexts.row);
        BeforeRequest();
        SendRequest(RequestType());
        mStage = kStageReply;
        return;
    case kStageReply:
    {
        uint32_t error = 0;
        if (!TakeReply(error)) return;
        if (!error || !TakeRefusal()) CheckServerError(error, mFieldData);
        mRefNum = uint32_t(UFieldData::GetInteger(mFieldData, kFieldRefNum));
        if (!TakeTransferReply()) return;
        OpenConnection();
        mStage = kStageConnect;
        return;
    }
    case kStageConnect:
        if (!mConnection->SendHandshakeWhenConnected()) return;
        mStartSecs = UDateTime::GetSeconds();
        mStage = kStageStream;
        Connected();
        // Bytes may be there already, and a stream with nothing to wait for ends on this step.
        [[fallthrough]];
    default:
        Stream();
        return;
    }
}

void CMyTransferTask::MakeHandshake(std::vector<uint8_t>& outBytes) const
{
    outBytes.resize(CMyTransferConnection::kHandshakeSize);
    CMyTransferConnection::MakeHandshake(mRefNum, mDirection == EDirection::Up ? mTotalSize : 0,
                                         outBytes.data());
}

uint32_t CMyTransferTask::Receive(uint32_t limit, const std::function<void(const uint8_t*, uint32_t)>& take)
{
    TTransportObj* tpt = Transport();
    if (!tpt) return 0;
    if (mBuffer.empty()) mBuffer.resize(kReadPiece);
    // Only what has arrived is asked of the limit, so that a slow server does not hold back the others.
    // What the transport has read ahead counts without asking the socket, a system call, and for a
    // folder's small files it holds the whole item.
    const uint32_t readAhead = UTransport::GetReceiveSizeAtLeast(tpt);
    const uint32_t asked = std::min(limit, readAhead >= limit ? readAhead : UTransport::GetReceiveSize(tpt));
    if (asked == 0) return 0;
    const uint32_t allowed = TakeAllowance(asked);
    limit = allowed;
    uint32_t taken = 0;
    while (taken < limit && mStepTaken < kStepShare)
    {
        // Bytes past what is asked for belong to what comes next: they are never read here.
        const uint32_t want = std::min(kReadPiece, limit - taken);
        // What was read ahead is handed on where it lies: copying it first would touch every byte once more.
        const uint8_t* ahead = nullptr;
        uint32_t got = std::min(want, UTransport::PeekReadAhead(tpt, ahead));
        if (got)
        {
            take(ahead, got);
            UTransport::SkipReadAhead(tpt, got);
        }
        else
        {
            got = UTransport::Receive(tpt, mBuffer.data(), want);
            if (got == 0) break;
            take(mBuffer.data(), got);
        }
        taken += got;
        mStepTaken += got;
    }
    if (taken < allowed) GiveBackAllowance(allowed - taken);
    // Held back by the limit or by its share of the step after taking some, the task comes back for the
    // rest when told again (held back before taking any, it waits for the limit's timer instead of being
    // told at once, over and over); one that took what it asked for goes on by itself, and new bytes bring
    // their own notice.
    if (taken && (allowed < asked || mStepTaken >= kStepShare)) UTransport::AnnounceReadAhead(tpt);
    return taken;
}

bool CMyTransferTask::ReceiveToEnd(const std::function<void(const uint8_t*, uint32_t)>& take)
{
    const uint32_t got = Receive(mTotalSize - mDoneSize, take);
    mDoneSize += got;
    CountBytes(got);
    if (mDoneSize >= mTotalSize) return true;
    if (IsDrained()) FailEarlyEnd();
    ShowProgress(mDoneSize, mTotalSize);
    return false;
}

bool CMyTransferTask::IsDrained() const
{
    TTransportObj* tpt = Transport();
    // A server sends its last byte and closes at once: what came before its close is still to be read,
    // and only a close with nothing left is the end of the stream.
    return !tpt || UTransport::GetReceiveState(tpt) == UTransport::kReceiveDrained;
}

void CMyTransferTask::FailEarlyEnd()
{
    UApplication::PostMessage(kMsgTransferClosed);
    FailSilent(kErrTypeTransport, 102);
}

TTransportObj* CMyTransferTask::Transport() const
{
    return mConnection ? mConnection->Transport() : nullptr;
}

void CMyTransferTask::CloseConnection()
{
    mConnection.reset();
}

void CMyTransferTask::ShowProgress(uint32_t done, uint32_t total, const char* statsPattern)
{
    SMyRowChange change;
    std::string noted;
    if (mProgress.Show(done, total, UDateTime::GetSeconds() - mStartSecs,
                       Noted(statsPattern ? statsPattern : mTexts.stats, noted), mName, change))
        ShowRow(change.value, change.max, change.hasText ? change.text : nullptr);
}

void CMyTransferTask::ShowBar(uint32_t done, uint32_t total)
{
    SMyRowChange change;
    if (mProgress.ShowBar(done, total, change)) ShowRow(change.value, change.max, nullptr);
}

void CMyTransferTask::ShowRowText(uint32_t value, uint32_t max, const char* format)
{
    uint8_t text[256];
    std::string noted;
    text[0] = uint8_t(UText::Format(text + 1, 255, Noted(format, noted), mName));
    ShowRow(value, max, text);
}

void CMyTransferTask::EndWell()
{
    CloseConnection();
    EndTurn();
    Finish();
    if (mRecorded && gApp) gApp->Features().Transfers().TransferDone(*this);
    if (!mEndReport) return;
    PlayEndSound();
    NotifyEnd(true);
}

bool CMyTransferTask::TakeTurn()
{
    if (!mRecorded || !gApp) return true;
    // A transfer the user started from the queue runs whatever the number.
    return Host().TransferLimits().TakeTurn(this, mStage == kStageRequest && mWaitingForTurn);
}

uint32_t CMyTransferTask::TakeAllowance(uint32_t want)
{
    if (!gApp) return want;
    return Host().TransferLimits().Take(mDirection == EDirection::Up ? CMyTransferLimits::EWay::Up
                                                                     : CMyTransferLimits::EWay::Down,
                                        this, want);
}

void CMyTransferTask::GiveBackAllowance(uint32_t bytes)
{
    if (!gApp || !bytes) return;
    Host().TransferLimits().GiveBack(
        mDirection == EDirection::Up ? CMyTransferLimits::EWay::Up : CMyTransferLimits::EWay::Down, bytes);
}

uint32_t CMyTransferTask::SendAllowance(uint32_t want)
{
    return TakeAllowance(want);
}

void CMyTransferTask::EndTurn()
{
    if (gApp) Host().TransferLimits().EndTurn(this);
}

void CMyTransferTask::OpenConnection()
{
    std::vector<uint8_t> handshake;
    MakeHandshake(handshake);
    mConnection = std::make_unique<CMyTransferConnection>(
        Host().Session().Address(), Host().Session().BasePort(), Host().Session().FirewallAddress(),
        CApplication::MessageHandler, CApplication::Get(), handshake.data(), uint32_t(handshake.size()));
}

void CMyTransferTask::CountBytes(uint32_t bytes)
{
    if (mDirection == EDirection::Up)
        gApp->Features().Statistics().totalBytesUploaded += bytes;
    else
        gApp->Features().Statistics().totalBytesDownloaded += bytes;
}

void CMyTransferTask::ShowRow(uint32_t value, uint32_t max, const uint8_t* text)
{
    Host().SetTaskProgress(this, value, max, text);
}

void CMyTransferTask::ScheduleStep()
{
    Host().ScheduleTaskProcess();
}

const uint8_t* CMyTransferTask::ServerAddressText() const
{
    return Host().Session().Address().name;
}

void CMyTransferTask::RefreshServerFolder(const std::vector<uint8_t>& path)
{
    gApp->Features().FolderWins().Refresh(path.empty() ? nullptr : path.data(), uint32_t(path.size()));
}

void CMyTransferTask::PlayEndSound()
{
    USound::PlayEvent(kSoundFileTransfer, gApp->Features().Settings().sound.fileTransfer);
}

void CMyTransferTask::NotifyEnd(bool ok)
{
    // What a download brought can be opened from its notice.
    const bool arrived = ok && mRecorded && mDirection == EDirection::Down;
    gApp->Features().Transfers().TellEnded(mName, ok, arrived ? mRecord.localPath : std::string());
}
