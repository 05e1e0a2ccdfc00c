// The running tasks, in the order they were made: every request to a server, every transfer, every
// tracker query. The list steps them in the task pass, reaps finished ones a little after the last one
// finished, and is the host every task registers with; their rows live in the display (the tasks
// window), which the list only tells what changed.
#pragma once

#include <cstdint>
#include <functional>

#include "client/core/CMyTaskHost.h"
#include "client/core/CMyTransferLimits.h"
#include "framework/runtime/COwner.h"
#include "framework/runtime/CVoidPtrList.h"
#include "framework/runtime/MessageProc.h"
#include "framework/runtime/UTimer.h"

class CMyTaskDisplay;

class CMyTaskList final : public CMyTaskHost
{
public:
    static constexpr uint32_t kReapDelayMs = 500;

    // The reaping timer's tick goes to `handler` with `context`, which answers it with KillFinishedTasks
    // (IsReapTimer tells the tick apart). The tasks work for `session`.
    CMyTaskList(CMySession& session, TMessageProc handler, void* context);
    // Every task still there is destroyed, first to last.
    ~CMyTaskList();

    // Rows show there from now on; null shows them nowhere.
    void SetDisplay(CMyTaskDisplay* display) { mDisplay = display; }
    CMyTaskDisplay* Display() const { return mDisplay; }

    void AddTask(CMyTask* task, const uint8_t* desc) override;
    void RemoveTask(CMyTask* task) override;
    void FinishTask(CMyTask* task) override;
    bool IsFirstTask(const CMyTask* task) const override;
    void SetTaskProgress(CMyTask* task, uint32_t value, uint32_t max, const uint8_t* desc) override;
    void HandRowOver(CMyTask* from, CMyTask* to) override;
    void ScheduleTaskProcess() override;
    CMySession& Session() override { return mSession; }
    CMyTransferLimits& TransferLimits() override { return mTransferLimits; }

    bool IsReapTimer(const TTimerObj* timer) const { return timer && timer == mFinishTaskTimer.Get(); }
    // Destroys every finished task.
    void KillFinishedTasks();
    // Every finished row the list keeps (a finished transfer's) goes.
    void ClearFinishedRows();
    // What the selected finished transfer's row brought: opened with the desktop's handler, or shown in
    // the file manager.
    void OpenSelectedItem() const;
    void ShowSelectedInFolder() const;
    // The task of the row selected in the display; null when none is.
    CMyTask* SelectedTask() const;
    // Destroys every task that needs the server session; stand-alone ones (tracker queries) stay.
    void KillSessionTasks();
    // One step for every unfinished task, in list order; tasks made during the pass get theirs in the
    // same pass. A task that raises is handed to `failed`, which must destroy it (or end the session),
    // and the error goes on to the caller.
    void ProcessTasks(const std::function<void(CMyTask*)>& failed);
    // After a pass and what it brought in: hands a task that nothing will ever step again to the stall
    // hook (CMyTask::SetStallHook), when one is set.
    void CheckForStalls() const;

    uint32_t GetItemCount() const { return mTaskList.GetItemCount(); }
    // 1-based, as the client's lists count; null past the end.
    CMyTask* GetItem(uint32_t index) const { return mTaskList.GetItem(index); }
    // 0 when the task is not in the list (any more).
    uint32_t GetItemIndex(const CMyTask* task) const { return mTaskList.GetItemIndex(task); }
    CMyTask** begin() const { return mTaskList.begin(); }
    CMyTask** end() const { return mTaskList.end(); }

private:
    CMySession& mSession;
    CMyTaskDisplay* mDisplay = nullptr;
    COwner<TTimerObj, UTimer::Dispose> mFinishTaskTimer;
    // Before the tasks: a transfer that goes ends its turn.
    CMyTransferLimits mTransferLimits;
    CPtrList<CMyTask> mTaskList;
};
