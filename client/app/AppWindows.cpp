// The long-lived windows: creating them at start-up, showing them, and what closing a window means.
#include <QApplication>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/app/CMyMainWindow.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/boxes/MsgBox.h"
#include "client/boxes/USound.h"
#include "client/chat/CMyChatWin.h"
#include "client/chat/CMyConversationWin.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/chat/CMyPrivMsgWin.h"
#include "client/core/SMyPrefs.h"
#include "client/core/UMyDesktopSettings.h"
#include "client/files/CMyFileInfoWin.h"
#include "client/tasks/CMyTasksWin.h"
#include "client/tracker/CMyTracker.h"
#include "client/transfers/CMyPreviewWin.h"
#include "client/transfers/CMyTransferQueue.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyMsgWin.h"
#include "client/widgets/CMyTextWin.h"
#include "framework/runtime/SError.h"
#include "framework/ui/CWindow.h"

namespace
{
// Box 138 at the first start without sound, remembered in the settings.
void TellOfMissingSound(SMySettings& settings)
{
    // A machine without sound is told so once, not at every start: the box offers nothing to do, and the
    // options cannot switch sound off there. A machine whose sound comes back is told again when it
    // goes.
    const bool missing = !USound::IsAvailable();
    if (missing == settings.soundMissingTold) return;
    settings.soundMissingTold = missing;
    try
    {
        UMyDesktopSettings::Write(settings);
    }
    catch (const SError&)
    {
        // A settings folder that cannot be written costs a box at the next start, nothing more.
    }
    if (missing) MsgBox(kBoxNoSound);
}
} // namespace

void CMyApplication::StartUp()
{
    // Whether passwords go to a keyring is known by the time anything is saved.
    mPasswords.Probe();
    // First, so that the preferences find it for their tracker block.
    mFeatures.StartTracker();
    SMyPrefs prefs;
    ReadPrefs(&prefs);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    mWindows.Create(mSettings.colorNews, mSettings.colorChat);
    mWindows.SetScrollback(mSettings.scrollback);
    mTaskList.SetDisplay(mWindows.Tasks());
    mWindows.Place(prefs, mSession.Access(), mSettings.layout);
    mTaskList.TransferLimits().SetFrom(mSettings);
    mTransfers->Load();
    static_cast<CMyDesktop&>(mDesktop).ShowTray();
    QApplication::restoreOverrideCursor();
    TellOfMissingSound(mSettings);
}

void CMyApplication::DoShowChatWin()
{
    CMyWindowSet::ShowOrBringToFront(mWindows.Chat());
}

void CMyApplication::DoShowTasksWin()
{
    CMyWindowSet::ShowOrBringToFront(mWindows.Tasks());
}

void CMyApplication::DoShowNewsWin()
{
    CMyWindowSet::ShowOrBringToFront(mWindows.News());
}

void CMyApplication::DoShowConnectedUsersWin()
{
    CMyWindowSet::ShowOrBringToFront(mWindows.Users());
}

void CMyApplication::DoCloseWindow(CWindow* window)
{
    if (!window) return;
    // The main window is the program: closing it quits, as closing a desktop program's window does,
    // unless the user chose to keep the client running in the tray and there is one to come back from.
    if (window == mWindows.Main() && mSettings.keepInTray && mDesktop.IsTrayShown())
    {
        window->Hide();
        return;
    }
    if (window == mWindows.Main())
    {
        UserQuit();
        return;
    }
    // The toolbar carries the one menu bar: closing it folds the buttons away and keeps the menu.
    if (window == mWindows.Toolbar())
    {
        mWindows.Toolbar()->SetFolded(true);
        return;
    }
    if (mWindows.IsLongLived(window))
    {
        window->Hide();
        return;
    }
    if (mFeatures.Tracker() && mFeatures.Tracker()->CloseWindow(window)) return;
    if (mFolderWins.Close(window)) return;
    if (dynamic_cast<CMyPrivMsgWin*>(window) || dynamic_cast<CMyConversationWin*>(window) ||
        dynamic_cast<CMyMsgWin*>(window) || dynamic_cast<CMyTextWin*>(window) ||
        dynamic_cast<CMyFileInfoWin*>(window))
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

void CMyApplication::DisplayServerName(const uint8_t* name)
{
    mWindows.ShowServerName(name);
}
