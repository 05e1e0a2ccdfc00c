#include "client/core/CMyTask.h"

#include <cstring>

#include "client/core/CMySession.h"
#include "client/core/CMyTaskHost.h"
#include "client/core/MyAppMessages.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UTransact.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UText.h"

namespace
{
CMyTask::StallHook& Hook()
{
    static CMyTask::StallHook hook;
    return hook;
}
bool gPassAsked = false;

CMyTaskHost& RunningHost()
{
    CMyTaskHost* host = CMyTaskHost::Get();
    if (!host) Fail(kErrTypeGeneral, 2);
    return *host;
}
} // namespace

void CMyTask::SetStallHook(StallHook hook)
{
    Hook() = std::move(hook);
}

void CMyTask::NotePassAsked()
{
    gPassAsked = true;
}

void CMyTask::NotePassStarting()
{
    gPassAsked = false;
}

void CMyTask::CheckAfterPass(const CPtrList<CMyTask>& tasks)
{
    if (!Hook() || gPassAsked) return;
    for (CMyTask* task : tasks)
    {
        if (task->mIsFinished || task->IsParked() || task->IsWaitingOnNetwork()) continue;
        // Queued behind another task: that one's removal asks for the pass that lets it start.
        if (task->mStage == 0 && FirstInQueue(tasks) != task) continue;
        Hook()(task);
    }
}

CMyTask* CMyTask::FirstInQueue(const CPtrList<CMyTask>& tasks)
{
    for (CMyTask* task : tasks)
        if (!task->IsParked()) return task;
    return nullptr;
}

CMyTask::CMyTask(const uint8_t* desc) : mStage(1), mIsFinished(0), mIsStandAlone(0), mHost(RunningHost())
{
    mHost.AddTask(this, desc);
}

CMyTask::~CMyTask()
{
    mHost.RemoveTask(this);
}

void CMyTask::Finish()
{
    mIsFinished = 1;
    mHost.FinishTask(this);
}

bool CMyTask::LeaveQueueWhenFirst()
{
    if (mStage != 0 || !mHost.IsFirstTask(this)) return false;
    mStage = 1;
    return true;
}

void CMyTask::StartQueued()
{
    if (mStage != 0) return;
    mStage = 1;
    mHost.ScheduleTaskProcess();
}

void CMyTask::SetProgress(uint32_t value, uint32_t max)
{
    mHost.SetTaskProgress(this, value, max, nullptr);
}

void CMyTask::SetRowText(uint32_t value, uint32_t max, const char* format, const uint8_t* name)
{
    uint8_t text[256];
    text[0] = uint8_t(UText::Format(text + 1, 255, format, name));
    mHost.SetTaskProgress(this, value, max, text);
}

void CMyTask::RemoveQueuedSuffix(uint8_t* text)
{
    static const char kSuffix[] = " (queued)";
    constexpr uint8_t n = sizeof(kSuffix) - 1;
    if (text && text[0] >= n && std::memcmp(text + 1 + text[0] - n, kSuffix, n) == 0) text[0] -= n;
}

CMyTransactTask::CMyTransactTask(const uint8_t* desc) : CMyTask(desc), mFieldData(UFieldData::New()) {}

bool CMyTransactTask::IsWaitingOnNetwork() const
{
    if (!mTranSession) return false;
    if (!UTransact::IsSessionReceiveComplete(mTranSession)) return true;
    // Whole, but taken in by a question after the task's step: the notice that says so is on its way.
    TTransactObj* connection = Host().Session().Transactor();
    return connection && UTransact::IsDataNoticeQueued(connection);
}

void CMyTransactTask::SendRequest(uint16_t type, uint32_t timeoutMs)
{
    mTranSession.Reset(UTransact::NewSendSession(Host().Session().Transactor(), type));
    if (timeoutMs) UTransact::SetSessionTimeout(mTranSession, timeoutMs);
    UTransact::SendSessionData(mTranSession, mFieldData);
}

void CMyTransactTask::ShowReplyProgress()
{
    if (!mTranSession) return;
    SetProgress(UTransact::GetSessionReceiveTransferedSize(mTranSession),
                UTransact::GetSessionReceiveSize(mTranSession));
}

bool CMyTransactTask::TakeReply(uint32_t& outError)
{
    outError = 0;
    // A task stepped again after its reply was taken has nothing more to take.
    if (!mTranSession || !UTransact::IsSessionReceiveComplete(mTranSession)) return false;
    UTransact::ReceiveSessionData(mTranSession, mFieldData);
    outError = UTransact::GetSessionReceiveError(mTranSession);
    mTranSession.Reset();
    return true;
}

bool CMyTransactTask::TakeCheckedReply()
{
    uint32_t error;
    if (!TakeReply(error)) return false;
    CheckServerError(error, mFieldData);
    return true;
}

void CMyTransactTask::FinishRequest()
{
    SetProgress(2, 2);
    Finish();
}

void CMyTransactTask::CheckServerError(uint32_t error, TFieldDataObj* reply)
{
    uint8_t text[256];
    UFieldData::GetPString(reply, kFieldErrorText, text, sizeof(text));
    if (text[0]) UApplication::PostMessage(kMsgServerMessage, text, uint32_t(text[0]) + 1);
    if (error == 0) return;
    if (CMyTaskHost* host = CMyTaskHost::Get()) host->ScheduleTaskProcess();
    if (text[0])
        FailSilent(kErrTypeGeneral, 1);
    else
        Fail(kErrTypeGeneral, 1);
}
