// Tasks: every request to a server and every transfer is an object that shows a row in the tasks
// window, is stepped in the task pass whenever there is work, and removes itself when destroyed. A task
// registers with the running task host (CMyTaskHost) and reaches the client only through it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/net/UFieldData.h"
#include "framework/net/UTransact.h"
#include "framework/runtime/COwner.h"
#include "framework/runtime/CVoidPtrList.h"

class CMyTaskHost;

class CMyTask
{
public:
    // `desc` is the row's length-prefixed text; most tasks pass an empty one and set it at once.
    explicit CMyTask(const uint8_t* desc);
    virtual ~CMyTask();
    CMyTask(const CMyTask&) = delete;
    CMyTask& operator=(const CMyTask&) = delete;

    // One step of the work: whatever can be done now, never waiting.
    virtual void Process() {}
    // Something outside the task will bring its next step: a reply on its way, a connection whose notices
    // run the task pass. A task that neither waits so, nor waits in the queue behind another task, nor
    // asked for a pass itself would never move again.
    virtual bool IsWaitingOnNetwork() const { return false; }

    // A check for debugging and tests (off unless a hook is set): after every task pass, each unfinished
    // task must be running (a pass is asked for), queued behind an earlier task, or waiting on the
    // network. The hook hears of any other, which would wait for good.
    using StallHook = std::function<void(CMyTask* task)>;
    static void SetStallHook(StallHook hook);
    // ScheduleTaskProcess asks for a pass; the pass says when it starts and when it is over.
    static void NotePassAsked();
    static void NotePassStarting();
    static void CheckAfterPass(const CPtrList<CMyTask>& tasks);
    // Stopping this task from the tasks window ends the whole session, which cannot go on without it.
    virtual bool StopEndsSession() const { return false; }
    // The user may start this task from the tasks window while it waits in the queue (StartQueued).
    virtual bool CanUserStart() const { return false; }
    // A file or folder transfer, which a new connection elsewhere would end.
    virtual bool IsTransfer() const { return false; }
    // A row that does no work of its own (a stopped transfer, one waiting for its server, a finished
    // one kept in view): nothing steps it, and queued transfers do not wait behind it.
    virtual bool IsParked() const { return false; }
    // A finished transfer kept in view until the user clears it (a parked row): its row shows greyed.
    virtual bool IsKeptFinished() const { return false; }
    // The local file or folder a finished transfer's row brought; false for any other row.
    virtual bool GetLocalItem(std::string& /*outPath*/) const { return false; }
    // The first task of `tasks` that is not parked: the one whose end lets the queue move on.
    static CMyTask* FirstInQueue(const CPtrList<CMyTask>& tasks);

    // The user's start of a queued task, whatever its place.
    void StartQueued();

    uint16_t mStage;
    uint16_t mIsFinished : 1;
    uint16_t mIsStandAlone : 1;

protected:
    // The host the task registered with.
    CMyTaskHost& Host() const { return mHost; }
    // Marks the task done and lets the host reap it.
    void Finish();
    // A queued task (stage 0) takes its turn once every task created before it is gone: true when it
    // has just moved to stage 1.
    bool LeaveQueueWhenFirst();
    // The bar alone; the row's text stays.
    void SetProgress(uint32_t value, uint32_t max);
    // Sets the bar and the row text formatted from `format` with a length-prefixed name for its "%#s".
    void SetRowText(uint32_t value, uint32_t max, const char* format, const uint8_t* name = nullptr);
    // Drops " (queued)" from the end of a length-prefixed row text.
    static void RemoveQueuedSuffix(uint8_t* text);

private:
    CMyTaskHost& mHost;
};

// A task that sends one request on the server connection and waits for its reply.
class CMyTransactTask : public CMyTask
{
public:
    explicit CMyTransactTask(const uint8_t* desc);

    // Shows a reply's server text (later, as a message: a box must not open while the task is
    // stepped) and raises 1/1 when the reply carries an error code, silently when the text already
    // told the user why.
    static void CheckServerError(uint32_t error, TFieldDataObj* reply);
    // A reply still on its way, or one that is whole and whose notice will run the pass that takes it.
    bool IsWaitingOnNetwork() const override;

    COwner<TFieldDataObj, UFieldData::Dispose> mFieldData;
    // Goes before the fields it was sent from.
    COwner<TTransactSessionObj, UTransact::DisposeSession> mTranSession;

protected:
    // Opens a send session of `type` on the session's connection and sends mFieldData.
    // A time-out of 0 keeps the connection's default.
    void SendRequest(uint16_t type, uint32_t timeoutMs = 0);
    // Shows how much of the reply has arrived.
    void ShowReplyProgress();
    // When the reply is complete: takes its fields into mFieldData, gives its error code, closes the
    // session and returns true. False while it is still on its way.
    bool TakeReply(uint32_t& outError);
    // TakeReply followed by CheckServerError.
    bool TakeCheckedReply();
    // The end of a short request: the bar full (2 of 2) and the task finished.
    void FinishRequest();
};
