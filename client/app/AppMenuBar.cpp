// The menu bar of the frame window and what its items do.
#include "client/app/AppMenuBar.h"

#include <iterator>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UKeyboard.h"

namespace
{
constexpr SMenuItem kFileMenu[] = {
    {kItemQuit, "Quit"},
};

constexpr SMenuItem kEditMenu[] = {
    {kItemUndo, "Undo\tCtrl+Z"},
    {202, nullptr},
    {kItemCut, "Cut\tCtrl+X"},
    {kItemCopy, "Copy\tCtrl+C"},
    {kItemPaste, "Paste\tCtrl+V"},
    {kItemClear, "Clear"},
    {207, nullptr},
    {kItemSelectAll, "Select All\tCtrl+A"},
};

constexpr SMenuItem kQuenvolMenu[] = {
    {kItemConnect, "Connect\tCtrl+K"},
    {kItemDisconnect, "Disconnect"},
    {303, nullptr},
    {kItemShowNews, "Show News\tCtrl+N"},
    {kItemShowUsers, "Show Online Users\tCtrl+U"},
    {kItemShowFiles, "Show Files\tCtrl+F"},
    {kItemShowChat, "Show Chat\tCtrl+H"},
    {kItemShowTasks, "Show Tasks\tCtrl+T"},
    {kItemShowTracker, "Show Tracker\tCtrl+R"},
    {kItemShowToolbar, "Show Toolbar\tCtrl+B"},
    {kItemPostNews, "Post News...\tCtrl+P"},
    {312, nullptr},
    {kItemNewUser, "New User\tCtrl+M"},
    {kItemOpenUser, "Open User...\tCtrl+O"},
    {315, nullptr},
    {kItemOptions, "Options..."},
    {kItemAbout, "About Quenvol..."},
};
} // namespace

void InstallMenuBar(CFrameWindow& frame)
{
    frame.AddMenu(kMenuFile, "File", kFileMenu, uint32_t(std::size(kFileMenu)));
    frame.AddMenu(kMenuEdit, "Edit", kEditMenu, uint32_t(std::size(kEditMenu)));
    frame.AddMenu(kMenuQuenvol, "Quenvol", kQuenvolMenu, uint32_t(std::size(kQuenvolMenu)));
}

void CMyApplication::DoMacMenuBar(int16_t menu, int16_t item)
{
    // Item numbers carry their menu in the hundreds (1xx File, 2xx Edit, 3xx Quenvol), so the item
    // number alone names the command; the menu only matters for numbers outside those ranges.
    (void)menu;
    // While a modal window is up the Quenvol menu would open windows on top of it; quitting and the edit
    // items (which act on the modal window's own text) still work.
    if (item >= kItemConnect && CWindow::IsModalRunning()) return;
    switch (item)
    {
    case kItemQuit:
        UserQuit();
        break;
    case kItemUndo:
        UKeyboard::PostEditKey('z', kModCtrl);
        break;
    case kItemCut:
        UKeyboard::PostEditKey('x', kModCtrl);
        break;
    case kItemCopy:
        UKeyboard::PostEditKey('c', kModCtrl);
        break;
    case kItemPaste:
        UKeyboard::PostEditKey('v', kModCtrl);
        break;
    case kItemClear:
        UKeyboard::PostEditKey(kKeyClear, 0);
        break;
    case kItemSelectAll:
        UKeyboard::PostEditKey('a', kModCtrl);
        break;
    case kItemConnect:
        DoShowConnect();
        break;
    case kItemDisconnect:
        if (mSession.IsOpen()) KillTasksAndDisconnect();
        break;
    case kItemShowNews:
        DoShowNewsWin();
        break;
    case kItemShowUsers:
        DoShowConnectedUsersWin();
        break;
    case kItemShowFiles:
        DoShowPublicFiles();
        break;
    case kItemShowChat:
        DoShowChatWin();
        break;
    case kItemShowTasks:
        DoShowTasksWin();
        break;
    case kItemShowTracker:
        DoShowTracker();
        break;
    case kItemShowToolbar:
        DoShowToolbarWin();
        break;
    case kItemPostNews:
        DoPostNewsWin();
        break;
    case kItemNewUser:
        DoNewUser();
        break;
    case kItemOpenUser:
        DoOpenUser();
        break;
    case kItemOptions:
        DoOptions();
        break;
    case kItemAbout:
        DoAbout();
        break;
    default:
        break;
    }
}
