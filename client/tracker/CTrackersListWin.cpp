#include "client/tracker/CTrackersListWin.h"

#include "client/tracker/CTrackersList.h"
#include "client/tracker/TrackerCommands.h"
#include "framework/ui/CContainerView.h"
#include "framework/ui/CIconButtonView.h"
#include "framework/ui/CScrollerView.h"

namespace
{
constexpr uint16_t kTrackersStyle = kWindowCloseBox | kWindowResizable;

void MakeTrackerButton(CWindow* window, const SRect& bounds, int16_t icon, uint32_t command, const char* tip)
{
    CIconButtonView* button = CIconButtonView::Make(window, bounds, icon, 0);
    button->SetCommand(command);
    button->SetToolTip(tip);
}
} // namespace

CTrackersListWin::CTrackersListWin() : CWindow(SRect{0, 0, kWidth, kHeight}, kWindowDocument2, kTrackersStyle)
{
    SetTitle("Tracker List", 12);
    (new CBoxView(this, SRect{0, 0, kWidth, 30}))->SetSizing(kSizeRight);
    MakeTrackerButton(this, {3, 3, 27, 27}, 420, kCmdTrackNew, "New Tracker");
    MakeTrackerButton(this, {30, 3, 54, 27}, 215, kCmdTrackEdit, "Edit Tracker");
    MakeTrackerButton(this, {57, 3, 81, 27}, 205, kCmdTrackRefresh, "Refresh");
    MakeTrackerButton(this, {84, 3, 108, 27}, 212, kCmdTrackRemove, "Remove Tracker");
    mScr = new CScrollerView(this, SRect{-2, 30, kWidth + 2, kHeight + 2},
                             kScrollVertical | kScrollAsNeeded | kScrollFrame);
    mScr->SetSizing(kSizeGrow);
    mTrackerList = new CTrackersList(mScr, SRect{0, 0, 315, 195});
    mTrackerList->SetCommand(kCmdTrackEdit);
    mScr->ContentAdded();
}
