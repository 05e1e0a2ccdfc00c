#include "client/core/CMyTaskList.h"

#include <string>
#include <vector>

#include "client/core/CMyTask.h"
#include "client/core/CMyTaskDisplay.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "platform/FileManager.h"
#include "platform/OpenURL.h"

namespace
{
CMyTaskHost* gTaskHost = nullptr;
} // namespace

CMyTaskHost* CMyTaskHost::Get()
{
    return gTaskHost;
}

CMyTaskHost::CMyTaskHost() : mPrevious(gTaskHost)
{
    gTaskHost = this;
}

CMyTaskHost::~CMyTaskHost()
{
    if (gTaskHost == this) gTaskHost = mPrevious;
}

CMyTaskList::CMyTaskList(CMySession& session, TMessageProc handler, void* context)
    : mSession(session), mFinishTaskTimer(UTimer::New(handler, context)),
      mTransferLimits([this] { ScheduleTaskProcess(); })
{
}

CMyTaskList::~CMyTaskList()
{
    // Tasks leave the list as they are destroyed, and some of them still need the connection.
    while (CMyTask* task = mTaskList.GetItem(1))
        delete task;
}

void CMyTaskList::AddTask(CMyTask* task, const uint8_t* desc)
{
    if (!task) Fail(kErrTypeGeneral, 2);
    ScheduleTaskProcess();
    if (mDisplay) mDisplay->AddTaskRow(task, desc);
    try
    {
        mTaskList.AddItem(task);
    }
    catch (...)
    {
        // The task's constructor fails with this, so no destructor will take the row away.
        if (mDisplay) mDisplay->RemoveTaskRow(task);
        throw;
    }
}

void CMyTaskList::RemoveTask(CMyTask* task)
{
    if (!task) return;
    mTaskList.RemoveItem(task);
    if (mDisplay) mDisplay->RemoveTaskRow(task);
    ScheduleTaskProcess();
}

void CMyTaskList::FinishTask(CMyTask* task)
{
    if (!task) return;
    if (mDisplay) mDisplay->ShowTaskRowFinished(task);
    UTimer::Start(mFinishTaskTimer, kReapDelayMs, false);
}

bool CMyTaskList::IsFirstTask(const CMyTask* task) const
{
    return task && CMyTask::FirstInQueue(mTaskList) == task;
}

void CMyTaskList::SetTaskProgress(CMyTask* task, uint32_t value, uint32_t max, const uint8_t* desc)
{
    if (mDisplay) mDisplay->SetTaskRowProgress(task, value, max, desc);
}

void CMyTaskList::HandRowOver(CMyTask* from, CMyTask* to)
{
    if (mDisplay) mDisplay->HandTaskRowOver(from, to);
}

void CMyTaskList::ScheduleTaskProcess()
{
    CMyTask::NotePassAsked();
    UApplication::PostMessage(kMsgDataArrived);
}

void CMyTaskList::KillFinishedTasks()
{
    uint32_t i = 1;
    while (CMyTask* task = mTaskList.GetItem(i))
    {
        if (task->mIsFinished)
            delete task; // its destructor takes it out of the list, so position i now holds the next one
        else
            ++i;
    }
}

void CMyTaskList::KillSessionTasks()
{
    uint32_t i = 1;
    while (CMyTask* task = mTaskList.GetItem(i))
    {
        if (task->mIsStandAlone)
            ++i;
        else
            delete task; // it leaves the list, so position i now holds the next one
    }
}

void CMyTaskList::ProcessTasks(const std::function<void(CMyTask*)>& failed)
{
    CMyTask::NotePassStarting();
    // The count is read afresh at every position: tasks created during the pass (the connect task
    // creates three) get their step in the same pass.
    for (uint32_t i = 1; i <= mTaskList.GetItemCount(); ++i)
    {
        CMyTask* task = mTaskList.GetItem(i);
        if (task->mIsFinished || task->IsParked()) continue;
        try
        {
            task->Process();
        }
        catch (...)
        {
            // Removing a task schedules another pass for the tasks after it.
            failed(task);
            throw;
        }
    }
}

void CMyTaskList::CheckForStalls() const
{
    CMyTask::CheckAfterPass(mTaskList);
}

void CMyTaskList::ClearFinishedRows()
{
    std::vector<CMyTask*> finished;
    for (CMyTask* task : *this)
        if (task->IsKeptFinished()) finished.push_back(task);
    for (CMyTask* task : finished)
        delete task;
}

CMyTask* CMyTaskList::SelectedTask() const
{
    return mDisplay ? mDisplay->GetSelectedTask() : nullptr;
}

void CMyTaskList::OpenSelectedItem() const
{
    std::string path;
    const CMyTask* task = SelectedTask();
    if (task && task->GetLocalItem(path)) platform::OpenLocalItem(path.data(), path.size());
}

void CMyTaskList::ShowSelectedInFolder() const
{
    std::string path;
    const CMyTask* task = SelectedTask();
    if (task && task->GetLocalItem(path)) platform::ShowInFileManager(path);
}
