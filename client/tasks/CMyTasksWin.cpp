#include "client/tasks/CMyTasksWin.h"

#include "client/app/AppNumbers.h"
#include "client/tasks/CMyTaskListView.h"
#include "client/widgets/MyZoomToList.h"
#include "framework/ui/CContainerView.h"
#include "framework/ui/CIconButtonView.h"
#include "framework/ui/CScrollerView.h"

namespace
{
constexpr uint16_t kStyleTasksWin = 7;
constexpr int32_t kWidth = 250, kHeight = 120;
} // namespace

CMyTasksWin::CMyTasksWin() : CWindow(SRect{0, 0, kWidth, kHeight}, kWindowDocument2, kStyleTasksWin)
{
    SetTitle("Tasks", 5);
    SetLimits(150, 69, 0x7FFF, 0x7FFF);
    (new CBoxView(this, SRect{0, 0, kWidth, 30}))->SetSizing(kSizeRight);
    // Its own stop sign: the disconnect icon on this button read as ending the session.
    mStopBtn = new CIconButtonView(this, SRect{3, 3, 27, 27}, 218);
    mStopBtn->SetID(kHitStopTask);
    mStopBtn->SetToolTip("Stop Task");
    mStartBtn = new CIconButtonView(this, SRect{30, 3, 54, 27}, 216);
    mStartBtn->SetID(kHitStartTask);
    mStartBtn->SetToolTip("Start Task Now");
    mListScroll = new CScrollerView(this, SRect{-1, 30, kWidth + 1, kHeight + 1},
                                    kScrollVertical | kScrollAsNeeded | kScrollFrame);
    mListScroll->SetSizing(kSizeGrow);
    mList = new CMyTaskListView(mListScroll, SRect{0, 0, kWidth + 2, kHeight - 29});
    mListScroll->ContentAdded();
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

CMyTask* CMyTasksWin::GetSelectedTask() const
{
    return mList->GetSelectedTask();
}
