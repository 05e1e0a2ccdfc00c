// The tracker list window: buttons to add, edit, refresh and remove, and the list of trackers.
#pragma once

#include "framework/ui/CWindow.h"

class CTrackersList;
class CScrollerView;

class CTrackersListWin : public CWindow
{
public:
    static constexpr int32_t kWidth = 330;
    static constexpr int32_t kHeight = 200;

    CTrackersListWin();
    CTrackersList* View() const { return mTrackerList; }

private:
    CScrollerView* mScr = nullptr;
    CTrackersList* mTrackerList = nullptr;
};
