// What a task reaches of the running client: its row and its turn in the task pass, and the server
// session it works for. Tasks register with the one host there is while the client runs, and never
// need the application itself.
#pragma once

#include <cstdint>

class CMyTask;
class CMySession;
class CMyTransferLimits;

class CMyTaskHost
{
public:
    // The running host; null while there is none.
    static CMyTaskHost* Get();

    // `desc` is the row's length-prefixed text. A null task raises 1/2.
    virtual void AddTask(CMyTask* task, const uint8_t* desc) = 0;
    virtual void RemoveTask(CMyTask* task) = 0;
    // The task is done: its bar shows full and it is reaped a little later.
    virtual void FinishTask(CMyTask* task) = 0;
    virtual bool IsFirstTask(const CMyTask* task) const = 0;
    // A null text keeps the row's text.
    virtual void SetTaskProgress(CMyTask* task, uint32_t value, uint32_t max, const uint8_t* desc) = 0;
    // `to` takes over the row `from` shows, in its place, and the row `to` got when it was made goes: a
    // transfer's row stays where the user saw it when a parked row follows it.
    virtual void HandRowOver(CMyTask* from, CMyTask* to) = 0;
    // Asks for a task pass soon, from the run loop.
    virtual void ScheduleTaskProcess() = 0;
    virtual CMySession& Session() = 0;
    // The user's limits on transfers: their speeds and how many run at once.
    virtual CMyTransferLimits& TransferLimits() = 0;

protected:
    // The newest host is the running one until it goes.
    CMyTaskHost();
    ~CMyTaskHost();
    CMyTaskHost(const CMyTaskHost&) = delete;
    CMyTaskHost& operator=(const CMyTaskHost&) = delete;

private:
    CMyTaskHost* mPrevious;
};
