// The tasks window: stop and start buttons over the list of running tasks.
#pragma once

#include "framework/ui/CWindow.h"

class CMyTaskListView;
class CIconButtonView;
class CScrollerView;

class CMyTasksWin : public CWindow
{
public:
    CMyTasksWin();

    // The one place that knows the task rows.
    CMyTaskListView* View() const { return mList; }
    void UserZoom() override;

private:
    CMyTaskListView* mList = nullptr;
    CScrollerView* mListScroll = nullptr;
    CIconButtonView* mStopBtn = nullptr;
    CIconButtonView* mStartBtn = nullptr;
};
