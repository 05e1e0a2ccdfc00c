// The long-lived windows: creating them at start-up, showing them, and what closing a window means.
#include <QApplication>

#include "client/AppNumbers.h"
#include "client/CMyApplication.h"
#include "client/CMyOldToolbarWin.h"
#include "client/MsgBox.h"
#include "framework/ui/CWindow.h"

void CMyApplication::StartUp()
{
    // The tracker controller arrives with the tracker windows.
    ReadPrefs();
    QApplication::setOverrideCursor(Qt::BusyCursor);

    mToolsWin = new CMyOldToolbarWin();
    mToolsWin->Place(kPlaceTopCenter);
    mToolsWin->Show();

    // The tasks, news, chat and online users windows join here when they exist.
    QApplication::restoreOverrideCursor();
    if (mSoundDisabled) MsgBox(kBoxNoSound);
}

bool CMyApplication::IsLongLivedWindow(const CWindow* window) const
{
    return window && window == mToolsWin;
}

void CMyApplication::ShowOrBringToFront(CWindow* window)
{
    if (!window) return;
    if (!window->IsVisible())
        window->Show();
    else
        window->BringToFront();
}

void CMyApplication::DoShowChatWin() {}
void CMyApplication::DoShowTasksWin() {}
void CMyApplication::DoShowNewsWin() {}
void CMyApplication::DoShowConnectedUsersWin() {}

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
    // Folder, message, preview, text, information and private chat windows join here with their issue;
    // any other window is left as it is.
}

void CMyApplication::DoCloseAllFileWindows()
{
    mFolderWinList.Clear();
}
