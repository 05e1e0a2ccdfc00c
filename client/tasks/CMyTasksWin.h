// The tasks window: stop and start buttons over the list of running tasks. It is where the task list
// shows its rows.
#pragma once

#include "client/core/CMyTaskDisplay.h"
#include "framework/ui/CWindow.h"

class CMyTaskListView;
class CIconButtonView;
class CScrollerView;

class CMyTasksWin : public CWindow, public CMyTaskDisplay
{
public:
    CMyTasksWin();

    // The one place that knows the task rows.
    CMyTaskListView* View() const { return mList; }
    void UserZoom() override;

    void AddTaskRow(CMyTask* task, const uint8_t* text) override;
    void RemoveTaskRow(CMyTask* task) override;
    void SetTaskRowProgress(CMyTask* task, uint32_t value, uint32_t max, const uint8_t* text) override;
    void ShowTaskRowFinished(CMyTask* task) override;
    CMyTask* GetSelectedTask() const override;

private:
    CMyTaskListView* mList = nullptr;
    CScrollerView* mListScroll = nullptr;
    CIconButtonView* mStopBtn = nullptr;
    CIconButtonView* mStartBtn = nullptr;
};
