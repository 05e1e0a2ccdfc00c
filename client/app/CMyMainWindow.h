// The one main window: the menu bar, a toolbar of the command table's buttons, the long-lived windows as
// panes around the centre (online users, public chat, news, tasks), folder windows and private chats as
// tabs in the centre, and a status line. Each window in it stays the CWindow it is on its own; the main
// window only gives it a place.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "client/core/SMyUserAccess.h"
#include "framework/runtime/COwner.h"
#include "framework/runtime/UTimer.h"
#include "framework/ui/CFrameWindow.h"

class CDockPlace;
class CTabPlace;
class CWindowPlace;
class CMyStatusBar;
class CMyTask;
class QAction;
class QLabel;
class QStackedWidget;
class QTabWidget;
class QToolBar;
struct SMyWindowLayout;

class CMyMainWindow final : public CFrameWindow
{
public:
    // The panes, in the order of their place in the saved arrangement.
    enum EPane : uint32_t
    {
        kPaneUsers,
        kPaneChat,
        kPaneNews,
        kPaneTasks,
        kPaneCount
    };

    CMyMainWindow();
    // The windows still in its panes and tabs become windows of their own first.
    ~CMyMainWindow() override;

    // The window goes to its pane, shown or hidden as it was.
    void HostPane(EPane pane, CWindow* window);
    // Where folder windows and private chats go.
    CWindowPlace* TabPlace() const;
    // Whether the window sits in one of this window's panes or tabs.
    bool Holds(const CWindow* window) const;
    // Every window in a pane or a tab becomes a window of its own again, where it was as one.
    void ReleaseAll();

    // The toolbar shows the buttons that the access allows; the connect button while not connected and
    // the disconnect button otherwise.
    void SetAccess(const SMyUserAccess& access);
    void SetLook(uint16_t look);
    void ShowToolbar();
    CMyStatusBar& Status() const { return *mStatus; }
    // The status line's users and transfers, at once (they follow by themselves once a second).
    void RefreshStatus();

    // The window's place and the panes' arrangement, as the toolkit keeps them.
    void GetArrangement(SMyWindowLayout& outLayout) const;
    // False, with the default arrangement taken instead, when the saved one is damaged or would not fit
    // on the screens there are now.
    bool SetArrangement(const SMyWindowLayout& layout);
    // A size that fits the screen, centred on it; users at the left, news and tasks at the right, the
    // public chat under the tabs.
    void DefaultArrangement();

    // The desktop maximises it like any main window.
    bool TakesZoomBox() const override { return false; }

    // For the tests: the toolbar's shown buttons (their command numbers, left to right), the tabs.
    std::vector<uint32_t> ToolbarButtons() const;
    QToolBar* ToolBar() const { return mToolBar; }
    QTabWidget* Tabs() const { return mTabs; }
    CDockPlace* Pane(EPane pane) const { return mPanes[pane].get(); }

private:
    void LayOutToolbar();
    static void StatusTimer(void* context, void*, uint32_t, const void*, uint32_t);

    struct SButton
    {
        uint32_t id;
        uint64_t access;
        QAction* action;
    };
    std::vector<SButton> mButtons;
    QToolBar* mToolBar = nullptr;
    QStackedWidget* mCentre = nullptr;
    QLabel* mHint = nullptr;
    QTabWidget* mTabs = nullptr;
    std::unique_ptr<CTabPlace> mTabPlace;
    std::unique_ptr<CDockPlace> mPanes[kPaneCount];
    std::unique_ptr<CMyStatusBar> mStatus;
    SMyUserAccess mAccess{};
    uint16_t mLook = 0;
    COwner<TTimerObj, UTimer::Dispose> mStatusTimer;
    // The bytes each transfer had done at the last look, and when that was: the speed is the difference.
    std::map<const CMyTask*, uint32_t> mLastDone;
    uint64_t mLastLook = 0;
};
