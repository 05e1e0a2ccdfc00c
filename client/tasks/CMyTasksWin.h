// The tasks window: stop and start buttons over the list of running tasks. It is where the task list
// shows its rows. Its row menu also removes rows, opens what a finished transfer brought or shows it in
// its folder, and clears the finished rows; Delete removes the selected row, and a double click on a
// finished one opens it.
#pragma once

#include <vector>

#include "client/core/CMyTaskDisplay.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UPopupMenu.h"

class CMyTaskListView;
class CIconButtonView;
class CScrollerView;

class CMyTasksWin : public CWindow, public CMyTaskDisplay
{
public:
    CMyTasksWin();
    ~CMyTasksWin() override;

    // The one place that knows the task rows.
    CMyTaskListView* View() const { return mList; }
    void UserZoom() override;

    void AddTaskRow(CMyTask* task, const uint8_t* text) override;
    void RemoveTaskRow(CMyTask* task) override;
    void SetTaskRowProgress(CMyTask* task, uint32_t value, uint32_t max, const uint8_t* text) override;
    void ShowTaskRowFinished(CMyTask* task) override;
    void HandTaskRowOver(CMyTask* from, CMyTask* to) override;
    CMyTask* GetSelectedTask() const override;

    // The row menu for the selected row.
    std::vector<SMenuEntry> ContextMenuEntries() const;
    bool KeyDown(const SKeyMsgData& key) override;

private:
    CMyTaskListView* mList = nullptr;
    CScrollerView* mListScroll = nullptr;
    CIconButtonView* mStopBtn = nullptr;
    CIconButtonView* mStartBtn = nullptr;
};
