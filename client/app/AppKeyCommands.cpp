// The application's key commands: installed once, dispatched by command number.
#include <iterator>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CWindow.h"

namespace
{
constexpr uint16_t kByCode = kModKeyByCode;
// In installation order; the first matching entry wins.
constexpr SKeyCmd kKeyCommands[] = {
    {kCmdShowConnect, kKeyF1 + 0, kByCode},
    {kCmdShowNews, kKeyF1 + 1, kByCode},
    {kCmdShowChat, kKeyF1 + 2, kByCode},
    {kCmdShowPublicFiles, kKeyF1 + 3, kByCode},
    {kCmdShowUsers, kKeyF1 + 4, kByCode},
    {kCmdShowTasks, kKeyF1 + 5, kByCode},
    {kCmdBringFrontPrivMsg, kKeyF1 + 8, kByCode},
    {kCmdSecret, kKeyF1 + 11, kByCode | kModCtrl},
    {kCmdOpenParentFolder, kKeyUp, kByCode | kModCtrl},
    {kCmdQuitApp, 'q', kModCtrl},
    {kCmdShowConnect, 'k', kModCtrl},
    {kCmdCloseWindow, 'w', kModCtrl},
    {kCmdCloseAllFileWindows, 'f', kModCtrl | kModAlt},
    {kCmdShowNews, 'n', kModCtrl},
    {kCmdShowUsers, 'u', kModCtrl},
    {kCmdShowPublicFiles, 'f', kModCtrl},
    {kCmdShowChat, 'h', kModCtrl},
    {kCmdShowTasks, 't', kModCtrl},
    {kCmdShowTracker, 'r', kModCtrl},
    {kCmdPostNews, 'p', kModCtrl},
    {kCmdNewUser, 'm', kModCtrl},
    {kCmdOpenUser, 'o', kModCtrl},
};
static_assert(std::size(kKeyCommands) == 22);
} // namespace

void CMyApplication::InstallKeyCommands()
{
    UKeyCommands::Install(kKeyCommands, uint32_t(std::size(kKeyCommands)), CApplication::MessageHandler,
                          this);
}

void CMyApplication::KeyCommand(uint32_t command, const SKeyMsgData& key)
{
    // Inside a modal window (a box, a dialog) a command key would open a window on top of it, or a second
    // copy of it inside the first: only quitting goes through, as the toolbar is out of reach too.
    if (command != kCmdQuitApp && CWindow::IsModalRunning()) return;
    switch (command)
    {
    case kCmdShowConnect:
        DoShowConnect();
        break;
    case kCmdShowNews:
        DoShowNewsWin();
        break;
    case kCmdShowChat:
        DoShowChatWin();
        break;
    case kCmdShowPublicFiles:
        DoShowPublicFiles();
        break;
    case kCmdShowUsers:
        DoShowConnectedUsersWin();
        break;
    case kCmdShowTasks:
        DoShowTasksWin();
        break;
    case kCmdBringFrontPrivMsg:
        DoBringFrontPrivMsg();
        break;
    case kCmdSecret:
        DoSecret();
        break;
    case kCmdOpenParentFolder:
        if (CWindow* front = CWindow::GetFrontWindow()) DoFileOpenParent(front, key.mods);
        break;
    case kCmdQuitApp:
        UserQuit();
        break;
    case kCmdCloseWindow:
        DoCloseWindow(CWindow::GetFrontWindow());
        break;
    case kCmdCloseAllFileWindows:
        DoCloseAllFileWindows();
        break;
    case kCmdShowTracker:
        DoShowTracker();
        break;
    case kCmdPostNews:
        DoPostNewsWin();
        break;
    case kCmdNewUser:
        DoNewUser();
        break;
    case kCmdOpenUser:
        DoOpenUser();
        break;
    default:
        CApplication::KeyCommand(command, key);
        break;
    }
}
