// The tasks window: stop and start buttons over the list of running tasks.
#pragma once

#include "framework/ui/CWindow.h"

class CMyTaskListView;
class CMyTaskRows;
class CIconButtonView;
class CScrollerView;

class CMyTasksWin : public CWindow
{
public:
    CMyTasksWin();

    CMyTaskListView* View() const { return mList; }
    // Shows the application's task rows (not owned); null goes back to the window's own empty rows.
    void SetTaskRows(CMyTaskRows* rows);
    void UserZoom() override;

private:
    CMyTaskListView* mList = nullptr;
    CScrollerView* mListScroll = nullptr;
    CIconButtonView* mStopBtn = nullptr;
    CIconButtonView* mStartBtn = nullptr;
};
