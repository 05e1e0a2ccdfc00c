// The long-lived windows: creating them at start-up, showing them, and what closing a window means.
#include <QApplication>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/app/CMySessionWin.h"
#include "client/boxes/MsgBox.h"
#include "client/chat/CMyChatWin.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/chat/CMyPrivMsgWin.h"
#include "client/files/CMyFileInfoWin.h"
#include "client/files/CMyFolderWin.h"
#include "client/prefs/SMyPrefs.h"
#include "client/tasks/CMyTasksWin.h"
#include "client/tracker/CMyTracker.h"
#include "client/transfers/CMyPreviewWin.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyMsgWin.h"
#include "client/widgets/CMyTextWin.h"
#include "client/widgets/MyWindowSizing.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CWindow.h"

namespace
{
// A saved place is used when it is a rectangle at all and its top still shows on a screen; otherwise the
// window goes where its placement code puts it, as it does with no preferences.
void PlaceWindow(CWindow* window, const SRect& saved, uint16_t placementCode)
{
    if (saved.IsValid() && CWindow::IsOnScreen(saved))
        SetWindowBounds(window, saved);
    else
        window->Place(placementCode);
}

bool IsSavedVisible(const SMyPrefs& prefs, uint32_t which)
{
    return (prefs.winVis >> which) & 1;
}

void SavePlace(SMyPrefs& prefs, uint32_t which, const CWindow* window)
{
    if (!window) return;
    if (window->IsVisible()) prefs.winVis = uint16_t(prefs.winVis | (1u << which));
    window->GetBounds(prefs.winRect[which]);
}
} // namespace

void CMyApplication::StartUp()
{
    // First, so that the preferences find it for their tracker block.
    mTracker = new CMyTracker();
    SMyPrefs prefs;
    ReadPrefs(&prefs);
    QApplication::setOverrideCursor(Qt::BusyCursor);

    mToolsWin = new CMyOldToolbarWin();
    mTasksWin = new CMyTasksWin();
    mTasksWin->SetIcon(kIconTasksWin);
    mNewsWin = new CMyTextWin();
    mNewsWin->SetTitle("News", 4);
    mNewsWin->SetLimits(300, 100, 32767, 32767);
    mNewsWin->SetTextColor(mColorNews);
    mNewsWin->SetIcon(kIconNewsWin);
    mChatWin = new CMyOldChatWin(mColorChat);
    mChatWin->SetIcon(kIconChatWin);
    mConnectedUsersWin = new CMyUserListWin();
    mConnectedUsersWin->SetTitle("Online Users", 12);
    mConnectedUsersWin->SetAccess(mMyAccess);
    mConnectedUsersWin->SetIcon(kIconUsersWin);
    PlaceLongLivedWindows(prefs);

    QApplication::restoreOverrideCursor();
    if (mSoundDisabled) MsgBox(kBoxNoSound);
}

void CMyApplication::PlaceLongLivedWindows(const SMyPrefs& prefs)
{
    PlaceWindow(mToolsWin, prefs.winRect[kPrefsWinToolbar], kPlaceTopCenter);
    // The saved place keeps its position; the size is always the one the buttons need (a place saved
    // while folded, or with fewer buttons, would cut the column).
    mToolsWin->SetAccess(mMyAccess);
    // The toolbar is the main window: it always shows.
    mToolsWin->Show();
    const struct
    {
        CWindow* window;
        uint32_t which;
        uint16_t placementCode;
    } windows[] = {
        {mTasksWin, kPrefsWinTasks, kPlaceBottomRight},
        {mNewsWin, kPrefsWinNews, kPlaceTopRight},
        {mChatWin, kPrefsWinChat, kPlaceBottomLeft},
        {mConnectedUsersWin, kPrefsWinConnectedUsers, kPlaceTopLeft},
    };
    for (const auto& w : windows)
    {
        PlaceWindow(w.window, prefs.winRect[w.which], w.placementCode);
        if (IsSavedVisible(prefs, w.which)) w.window->Show();
    }
}

void CMyApplication::GetWindowPlaces(SMyPrefs& prefs) const
{
    SavePlace(prefs, kPrefsWinToolbar, mToolsWin);
    SavePlace(prefs, kPrefsWinTasks, mTasksWin);
    SavePlace(prefs, kPrefsWinNews, mNewsWin);
    SavePlace(prefs, kPrefsWinChat, mChatWin);
    SavePlace(prefs, kPrefsWinConnectedUsers, mConnectedUsersWin);
}

void CMyApplication::ShowTextColors()
{
    if (mNewsWin) mNewsWin->SetTextColor(mColorNews);
    if (mChatWin) mChatWin->SetTextColor(mColorChat);
    for (CMyChatWin* chat : CMyChatWin::All())
        chat->SetTextColor(mColorChat);
}

CMyApplication::StLongLivedWindows::~StLongLivedWindows()
{
    delete app->mTasksWin;
    delete app->mNewsWin;
    delete app->mChatWin;
    delete app->mConnectedUsersWin;
    app->mTasksWin = nullptr;
    app->mNewsWin = nullptr;
    app->mChatWin = nullptr;
    app->mConnectedUsersWin = nullptr;
}

bool CMyApplication::IsLongLivedWindow(const CWindow* window) const
{
    return window && (window == mToolsWin || window == mTasksWin || window == mNewsWin ||
                      window == mChatWin || window == mConnectedUsersWin);
}

void CMyApplication::ShowOrBringToFront(CWindow* window)
{
    if (!window) return;
    if (!window->IsVisible())
        window->Show();
    else
        window->BringToFront();
}

void CMyApplication::DoShowChatWin()
{
    ShowOrBringToFront(mChatWin);
}

void CMyApplication::DoShowTasksWin()
{
    ShowOrBringToFront(mTasksWin);
}

void CMyApplication::DoShowNewsWin()
{
    ShowOrBringToFront(mNewsWin);
}

void CMyApplication::DoShowConnectedUsersWin()
{
    ShowOrBringToFront(mConnectedUsersWin);
}

void CMyApplication::DoShowToolbarWin()
{
    if (!mToolsWin) return;
    mToolsWin->SetFolded(false);
    ShowOrBringToFront(mToolsWin);
}

void CMyApplication::DoCloseWindow(CWindow* window)
{
    if (!window) return;
    // The toolbar carries the one menu bar: closing it folds the buttons away and keeps the menu.
    if (window == mToolsWin)
    {
        mToolsWin->SetFolded(true);
        return;
    }
    if (IsLongLivedWindow(window))
    {
        window->Hide();
        return;
    }
    if (mTracker && mTracker->CloseWindow(window)) return;
    if (auto* folder = dynamic_cast<CMyFolderWin*>(window))
    {
        mFolderWinList.RemoveItem(folder);
        delete folder;
        return;
    }
    if (dynamic_cast<CMyPrivMsgWin*>(window) || dynamic_cast<CMyMsgWin*>(window) ||
        dynamic_cast<CMyTextWin*>(window) || dynamic_cast<CMyFileInfoWin*>(window))
    {
        delete window;
        return;
    }
    if (dynamic_cast<CMyChatWin*>(window))
    {
        DoClosePrivateChat(window);
        return;
    }
    // Any other window is left as it is.
}

void CMyApplication::SetToolbarLook(uint16_t look)
{
    static_assert(int(kLookNotConnected) == int(kToolbarNotConnected) &&
                  int(kLookConnected) == int(kToolbarConnected));
    if (mToolsWin) mToolsWin->SetLook(look);
}

void CMyApplication::UpdateAccessCommands()
{
    if (mToolsWin) mToolsWin->SetAccess(mMyAccess);
    if (mConnectedUsersWin) mConnectedUsersWin->SetAccess(mMyAccess);
    for (CMyFolderWin* folder : mFolderWinList)
        folder->SetAccess(mMyAccess);
    UpdateChatAccess();
}

void CMyApplication::DisplayServerName(const uint8_t* name)
{
    auto title = [name](CWindow* window, const char* plain, const char* withName)
    {
        if (!window) return;
        uint8_t text[128];
        if (name && name[0])
            text[0] = uint8_t(UText::Format(text + 1, 127, withName, name));
        else
            text[0] = uint8_t(UText::Format(text + 1, 127, plain));
        window->SetTitle(text);
    };
    title(mChatWin, "Chat", "Chat (%#s)");
    title(mTasksWin, "Tasks", "Tasks (%#s)");
    title(mNewsWin, "News", "News (%#s)");
}

void CMyApplication::CloseSessionWindows()
{
    ++mSessionSerial;
    DoCloseAllFileWindows();
    while (CMySessionWin* window = mSessionWinList.GetItem(1))
    {
        mSessionWinList.RemoveItem(window);
        // Also between two turns of its loop (its runner handling a hit) a modal window belongs to its
        // runner, which destroys it after the loop, seeing that the session is gone.
        if (window->IsInModalLoop() || window->IsRunModally())
            window->Hit(window->GetCancelHit() ? window->GetCancelHit() : 2);
        else
            delete window;
    }
}

void CMyApplication::AddSessionWindow(CMySessionWin* window)
{
    mSessionWinList.AddItem(window);
}

void CMyApplication::RemoveSessionWindow(CMySessionWin* window)
{
    mSessionWinList.RemoveItem(window);
}
