#include "client/tasks/CMyTasksWin.h"

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/core/CMyTask.h"
#include "client/tasks/CMyTaskListView.h"
#include "client/widgets/MyZoomToList.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CContainerView.h"
#include "framework/ui/CIconButtonView.h"
#include "framework/ui/CScrollerView.h"

namespace
{
constexpr uint16_t kStyleTasksWin = 7;
constexpr int32_t kTasksWidth = 250, kTasksHeight = 120;
} // namespace

CMyTasksWin::CMyTasksWin() : CWindow(SRect{0, 0, kTasksWidth, kTasksHeight}, kWindowDocument2, kStyleTasksWin)
{
    SetTitle("Tasks", 5);
    SetLimits(150, 69, 0x7FFF, 0x7FFF);
    (new CBoxView(this, SRect{0, 0, kTasksWidth, 30}))->SetSizing(kSizeRight);
    // Its own stop sign: the disconnect icon on this button read as ending the session.
    mStopBtn = new CIconButtonView(this, SRect{3, 3, 27, 27}, 218);
    mStopBtn->SetID(kHitStopTask);
    mStopBtn->SetToolTip("Stop Task");
    mStartBtn = new CIconButtonView(this, SRect{30, 3, 54, 27}, 216);
    mStartBtn->SetID(kHitStartTask);
    mStartBtn->SetToolTip("Start Task Now");
    mListScroll = new CScrollerView(this, SRect{-1, 30, kTasksWidth + 1, kTasksHeight + 1},
                                    kScrollVertical | kScrollAsNeeded | kScrollFrame);
    mListScroll->SetSizing(kSizeGrow);
    mList = new CMyTaskListView(mListScroll, SRect{0, 0, kTasksWidth + 2, kTasksHeight - 29});
    // A double click opens what a finished transfer brought.
    mList->SetID(kHitOpenTaskItem);
    mListScroll->ContentAdded();
    mList->SetContextMenuProc([this](const QPoint& at)
                              { UPopupMenu::Run(mList->Widget(), at, ContextMenuEntries()); });
}

CMyTasksWin::~CMyTasksWin()
{
    // The list's widget goes a moment after the window object: nothing may call back into it.
    mList->SetContextMenuProc(nullptr);
}

std::vector<SMenuEntry> CMyTasksWin::ContextMenuEntries() const
{
    CMyTask* task = mList->GetSelectedTask();
    const bool running = task && !task->mIsFinished && !task->IsParked();
    const bool finished = task && task->IsKeptFinished();
    std::string path;
    const bool hasItem = task && task->GetLocalItem(path);
    auto press = [](CIconButtonView* button) { return [button] { button->Hit(0, 0); }; };
    CMyTasksWin* self = const_cast<CMyTasksWin*>(this);
    auto hit = [self](uint32_t id) { return [self, id] { self->Hit(id); }; };
    bool anyFinished = false;
    for (uint32_t row = 1; row <= mList->Model().GetRowCount(); ++row)
        anyFinished = anyFinished || mList->Model().GetRow(row)->task->IsKeptFinished();
    std::vector<SMenuEntry> entries;
    entries.push_back({"Stop", "", running, press(mStopBtn)});
    entries.push_back({"Start", "",
                       task && !finished && task->CanUserStart() && (task->IsParked() || task->mStage == 0),
                       press(mStartBtn)});
    entries.push_back({"Remove", "Del", task && !task->mIsFinished, hit(kHitRemoveTask)});
    entries.push_back({});
    entries.push_back({"Open", "", hasItem, hit(kHitOpenTaskItem)});
    entries.push_back({"Show in Folder", "", hasItem, hit(kHitShowTaskInFolder)});
    entries.push_back({});
    entries.push_back({"Clear Finished", "", anyFinished, hit(kHitClearFinishedTasks)});
    return entries;
}

bool CMyTasksWin::KeyDown(const SKeyMsgData& key)
{
    if (key.keyCode == kKeyDelete && !key.mods)
    {
        if (mList->GetSelectedTask()) Hit(kHitRemoveTask);
        return true;
    }
    return CWindow::KeyDown(key);
}

void CMyTasksWin::UserZoom()
{
    ZoomToList(this, mList, 69);
}

void CMyTasksWin::AddTaskRow(CMyTask* task, const uint8_t* text)
{
    mList->AddTask(task, text);
}

void CMyTasksWin::RemoveTaskRow(CMyTask* task)
{
    mList->RemoveTask(task);
}

void CMyTasksWin::SetTaskRowProgress(CMyTask* task, uint32_t value, uint32_t max, const uint8_t* text)
{
    mList->SetTaskProgress(task, value, max, text);
}

void CMyTasksWin::ShowTaskRowFinished(CMyTask* task)
{
    mList->ShowFinishedBar(task);
}

void CMyTasksWin::HandTaskRowOver(CMyTask* from, CMyTask* to)
{
    mList->Model().HandOver(from, to);
}

CMyTask* CMyTasksWin::GetSelectedTask() const
{
    return mList->GetSelectedTask();
}
