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
#include "client/files/CMyFolderWin.h"
#include "client/files/CMyPreviewWin.h"
#include "client/tasks/CMyTasksWin.h"
#include "client/tracker/CMyTracker.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyMsgWin.h"
#include "client/widgets/CMyTextWin.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CWindow.h"

namespace
{
// Saved rectangles and visibility come with the preferences file; until it is read every window shows
// at its placement code, as with a missing file.
struct SMyWindowPlace
{
    SRect bounds;
    bool visible;
};
constexpr SMyWindowPlace kNoSavedPlace = {{0, 0, 0, 0}, true};

void PlaceWindow(CWindow* window, const SMyWindowPlace& saved, uint16_t placementCode)
{
    if (saved.bounds.IsValid())
        window->SetBounds(saved.bounds);
    else
        window->Place(placementCode);
}

void ShowIfSaved(CWindow* window, const SMyWindowPlace& saved)
{
    if (saved.visible) window->Show();
}
} // namespace

void CMyApplication::StartUp()
{
    // First, so that the preferences find it for their tracker block.
    mTracker = new CMyTracker();
    ReadPrefs();
    QApplication::setOverrideCursor(Qt::BusyCursor);

    mToolsWin = new CMyOldToolbarWin();
    PlaceWindow(mToolsWin, kNoSavedPlace, kPlaceTopCenter);
    mToolsWin->Show();

    mTasksWin = new CMyTasksWin();
    PlaceWindow(mTasksWin, kNoSavedPlace, kPlaceBottomRight);
    mTasksWin->SetIcon(kIconTasksWin);
    ShowIfSaved(mTasksWin, kNoSavedPlace);

    mNewsWin = new CMyTextWin();
    mNewsWin->SetTitle("News", 4);
    mNewsWin->SetLimits(300, 100, 32767, 32767);
    mNewsWin->SetTextColor(mColorNews);
    PlaceWindow(mNewsWin, kNoSavedPlace, kPlaceTopRight);
    mNewsWin->SetIcon(kIconNewsWin);
    ShowIfSaved(mNewsWin, kNoSavedPlace);

    mChatWin = new CMyOldChatWin(mColorChat);
    PlaceWindow(mChatWin, kNoSavedPlace, kPlaceBottomLeft);
    mChatWin->SetIcon(kIconChatWin);
    ShowIfSaved(mChatWin, kNoSavedPlace);

    mConnectedUsersWin = new CMyUserListWin();
    mConnectedUsersWin->SetTitle("Online Users", 12);
    mConnectedUsersWin->SetAccess(mMyAccess);
    PlaceWindow(mConnectedUsersWin, kNoSavedPlace, kPlaceTopLeft);
    mConnectedUsersWin->SetIcon(kIconUsersWin);
    ShowIfSaved(mConnectedUsersWin, kNoSavedPlace);

    QApplication::restoreOverrideCursor();
    if (mSoundDisabled) MsgBox(kBoxNoSound);
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
    ShowOrBringToFront(mToolsWin);
}

void CMyApplication::DoCloseWindow(CWindow* window)
{
    if (!window) return;
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
        dynamic_cast<CMyTextWin*>(window))
    {
        delete window;
        return;
    }
    if (dynamic_cast<CMyChatWin*>(window))
    {
        DoClosePrivateChat(window);
        return;
    }
    // File information windows join the windows destroyed above with their issue; any other window is
    // left as it is.
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
        if (window->IsInModalLoop())
            // Its runner destroys it after the loop, seeing that the session is gone.
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
