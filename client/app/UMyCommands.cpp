#include "client/app/UMyCommands.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/core/CMyChatLog.h"
#include "client/core/SMyUserAccess.h"
#include "framework/ui/CFindBar.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UKeyboard.h"
#include "platform/OpenURL.h"

namespace
{
constexpr uint16_t kByCode = kModKeyByCode;

using SCall = SMyCommandCall;

// Rows in the toolbar's order of buttons; the commands without a button follow. A row names only what the
// command has: every field it leaves out keeps its default (no key, no menu, no button), which the compiler
// would otherwise warn about for each row.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
constexpr SMyCommand kCommands[] = {
    {.id = kCmdOptions,
     .menuItem = kItemOptions,
     .menuText = "Options...",
     .button = {"Options", 419, "Your name, icon, sounds and options"},
     .run = [](CMyApplication& app, const SCall&) { app.DoOptions(); }},
    {.id = kCmdShowConnect,
     .menuItem = kItemConnect,
     .menuText = "Connect\tCtrl+K",
     .button = {"Connect...", 411, "Connect to a server"},
     .keys = {{kKeyF1 + 0, kByCode, 1}, {'k', kModCtrl, 11}},
     .run = [](CMyApplication& app, const SCall&) { app.DoShowConnect(); }},
    {.id = kCmdShowTracker,
     .menuItem = kItemShowTracker,
     .menuText = "Show Tracker\tCtrl+R",
     .button = {"Tracker", 420, "Servers listed by the trackers"},
     .keys = {{'r', kModCtrl, 19}},
     .run = [](CMyApplication& app, const SCall&) { app.DoShowTracker(); }},
    {.id = kCmdBroadcast,
     .button = {"Broadcast", 415, "Send a message to everyone online"},
     .access = AccessBits(kAccessCanBroadcast),
     .run = [](CMyApplication& app, const SCall&) { app.DoBroadcastWin(); }},
    {.id = kCmdShowNews,
     .menuItem = kItemShowNews,
     .menuText = "Show News\tCtrl+N",
     .button = {"News", 413, "The server's news"},
     .keys = {{kKeyF1 + 1, kByCode, 2}, {'n', kModCtrl, 14}},
     .access = AccessBits(kAccessCanReadNews),
     .run = [](CMyApplication& app, const SCall&) { app.DoShowNewsWin(); }},
    {.id = kCmdPostNews,
     .menuItem = kItemPostNews,
     .menuText = "Post News...\tCtrl+P",
     .button = {"Post...", 413, "Post an article to the news"},
     .keys = {{'p', kModCtrl, 20}},
     .access = AccessBits(kAccessCanPostNews),
     .run = [](CMyApplication& app, const SCall&) { app.DoPostNewsWin(); }},
    {.id = kCmdShowChat,
     .menuItem = kItemShowChat,
     .menuText = "Show Chat\tCtrl+H",
     .button = {"Chat", 415, "The public chat (with Alt: clear it)"},
     .keys = {{kKeyF1 + 2, kByCode, 3}, {'h', kModCtrl, 17}},
     .access = AccessBits(kAccessCanReadChat, kAccessCanSendChat),
     .run =
         [](CMyApplication& app, const SCall& call)
     {
         if (call.mods & kModAlt)
             app.Features().Chat().ClearPublicChat();
         else
             app.DoShowChatWin();
     }},
    {.id = kCmdShowPublicFiles,
     .menuItem = kItemShowFiles,
     .menuText = "Show Files\tCtrl+F",
     .button = {"Files", 400, "The server's shared files"},
     .keys = {{kKeyF1 + 3, kByCode, 4}, {'f', kModCtrl, 16}},
     .run = [](CMyApplication& app, const SCall&) { app.DoShowPublicFiles(); }},
    {.id = kCmdShowUsers,
     .menuItem = kItemShowUsers,
     .menuText = "Show Online Users\tCtrl+U",
     .button = {"Users", 414, "Who is online"},
     .keys = {{kKeyF1 + 4, kByCode, 5}, {'u', kModCtrl, 15}},
     .run = [](CMyApplication& app, const SCall&) { app.DoShowConnectedUsersWin(); }},
    {.id = kCmdShowTasks,
     .menuItem = kItemShowTasks,
     .menuText = "Show Tasks\tCtrl+T",
     .button = {"Tasks", 416, "Transfers and requests under way"},
     .keys = {{kKeyF1 + 5, kByCode, 6}, {'t', kModCtrl, 18}},
     .run = [](CMyApplication& app, const SCall&) { app.DoShowTasksWin(); }},
    {.id = kCmdNewUser,
     .menuItem = kItemNewUser,
     .menuText = "New User\tCtrl+M",
     .button = {"New User", 417, "Create an account on the server"},
     .keys = {{'m', kModCtrl, 21}},
     .access = AccessBits(kAccessCanCreateUsers),
     .run = [](CMyApplication& app, const SCall&) { app.DoNewUser(); }},
    {.id = kCmdOpenUser,
     .menuItem = kItemOpenUser,
     .menuText = "Open User...\tCtrl+O",
     .button = {"Open User", 418, "Open an account of the server"},
     .keys = {{'o', kModCtrl, 22}},
     .access = AccessBits(kAccessCanReadUsers),
     .run = [](CMyApplication& app, const SCall&) { app.DoOpenUser(); }},
    {.id = kCmdQuitApp,
     .menuItem = kItemQuit,
     .menuText = "Quit",
     .button = {"Quit", 213, "Quit Quenvol"},
     .keys = {{'q', kModCtrl, 10}},
     .inModal = true,
     .run = [](CMyApplication& app, const SCall&) { app.UserQuit(); }},
    {.id = kCmdAbout,
     .menuItem = kItemAbout,
     .menuText = "About Quenvol...",
     .button = {"About", 215, "About Quenvol"},
     .run = [](CMyApplication& app, const SCall&) { app.DoAbout(); }},
    {.id = kCmdDisconnect,
     .menuItem = kItemDisconnect,
     .menuText = "Disconnect",
     .button = {"Disconnect", 412, "Leave the server (with Alt: connect elsewhere)"},
     .run =
         [](CMyApplication& app, const SCall& call)
     {
         if (call.mods & kModAlt)
             app.DoShowConnect();
         else
             app.DoDisconnect();
     }},

    {.id = kCmdShowToolbar,
     .menuItem = kItemShowToolbar,
     .menuText = "Show Toolbar\tCtrl+B",
     .keys = {{'b', kModCtrl, 23}},
     .run = [](CMyApplication& app, const SCall&) { app.Features().Windows().ShowToolbar(); }},
    {.id = kCmdBringFrontPrivMsg,
     .keys = {{kKeyF1 + 8, kByCode, 7}},
     .run = [](CMyApplication& app, const SCall&) { app.DoBringFrontPrivMsg(); }},
    {.id = kCmdSecret,
     .keys = {{kKeyF1 + 11, kByCode | kModCtrl, 8}},
     .run = [](CMyApplication& app, const SCall&) { app.DoSecret(); }},
    {.id = kCmdOpenParentFolder,
     .keys = {{kKeyUp, kByCode | kModCtrl, 9}},
     .run =
         [](CMyApplication& app, const SCall& call)
     {
         if (CWindow* front = CWindow::GetFrontWindow()) app.DoFileOpenParent(front, call.mods);
     }},
    {.id = kCmdCloseWindow,
     .keys = {{'w', kModCtrl, 12}},
     .run = [](CMyApplication& app, const SCall&) { app.DoCloseWindow(CWindow::GetFrontWindow()); }},
    {.id = kCmdCloseAllFileWindows,
     .keys = {{'f', kModCtrl | kModAlt, 13}},
     .run = [](CMyApplication& app, const SCall&) { app.DoCloseAllFileWindows(); }},

    // The View menu: the panes (or windows) and the toolbar, shown again when closed, and the layout.
    {.id = kItemViewUsers,
     .menuItem = kItemViewUsers,
     .menuText = "Online Users\tCtrl+U",
     .keys = {{'u', kModCtrl, 0}},
     .run = [](CMyApplication& app, const SCall&) { app.DoShowConnectedUsersWin(); }},
    {.id = kItemViewChat,
     .menuItem = kItemViewChat,
     .menuText = "Public Chat\tCtrl+H",
     .keys = {{'h', kModCtrl, 0}},
     .run = [](CMyApplication& app, const SCall&) { app.DoShowChatWin(); }},
    {.id = kItemViewNews,
     .menuItem = kItemViewNews,
     .menuText = "News\tCtrl+N",
     .keys = {{'n', kModCtrl, 0}},
     .run = [](CMyApplication& app, const SCall&) { app.DoShowNewsWin(); }},
    {.id = kItemViewTasks,
     .menuItem = kItemViewTasks,
     .menuText = "Tasks\tCtrl+T",
     .keys = {{'t', kModCtrl, 0}},
     .run = [](CMyApplication& app, const SCall&) { app.DoShowTasksWin(); }},
    {.id = kItemViewToolbar,
     .menuItem = kItemViewToolbar,
     .menuText = "Toolbar\tCtrl+B",
     .keys = {{'b', kModCtrl, 0}},
     .run = [](CMyApplication& app, const SCall&) { app.Features().Windows().ShowToolbar(); }},
    {.id = kItemSeparateWindows,
     .menuItem = kItemSeparateWindows,
     .menuText = "Separate Windows",
     .run =
         [](CMyApplication& app, const SCall&)
     {
         app.Features().Windows().SwitchLayout(
             app.Features().Windows().Layout() == EMyLayout::kSeparate ? EMyLayout::kMain : EMyLayout::kSeparate,
             app.Features().Settings());
     }},

    {.id = kItemUndo,
     .menuItem = kItemUndo,
     .menuText = "Undo\tCtrl+Z",
     .keys = {{'z', kModCtrl, 0}},
     .inModal = true,
     .run = [](CMyApplication&, const SCall&) { UKeyboard::PostEditKey('z', kModCtrl); }},
    {.id = kItemCut,
     .menuItem = kItemCut,
     .menuText = "Cut\tCtrl+X",
     .keys = {{'x', kModCtrl, 0}},
     .inModal = true,
     .run = [](CMyApplication&, const SCall&) { UKeyboard::PostEditKey('x', kModCtrl); }},
    {.id = kItemCopy,
     .menuItem = kItemCopy,
     .menuText = "Copy\tCtrl+C",
     .keys = {{'c', kModCtrl, 0}},
     .inModal = true,
     .run = [](CMyApplication&, const SCall&) { UKeyboard::PostEditKey('c', kModCtrl); }},
    {.id = kItemPaste,
     .menuItem = kItemPaste,
     .menuText = "Paste\tCtrl+V",
     .keys = {{'v', kModCtrl, 0}},
     .inModal = true,
     .run = [](CMyApplication&, const SCall&) { UKeyboard::PostEditKey('v', kModCtrl); }},
    {.id = kItemClear,
     .menuItem = kItemClear,
     .menuText = "Clear",
     .inModal = true,
     .run = [](CMyApplication&, const SCall&) { UKeyboard::PostEditKey(kKeyClear, 0); }},
    {.id = kItemSelectAll,
     .menuItem = kItemSelectAll,
     .menuText = "Select All\tCtrl+A",
     .keys = {{'a', kModCtrl, 0}},
     .inModal = true,
     .run = [](CMyApplication&, const SCall&) { UKeyboard::PostEditKey('a', kModCtrl); }},
    {.id = kItemOpenLogs,
     .menuItem = kItemOpenLogs,
     .menuText = "Open Logs Folder",
     .run = [](CMyApplication&, const SCall&)
     {
         // Made when missing, so that the file manager opens on the folder the logs will go to.
         const std::string logs = CMyChatLog::LogsFolder();
         if (!logs.empty()) platform::OpenFolder(logs.data(), logs.size());
     }},
    // Ctrl+F is the files' key.
    {.id = kItemFind,
     .menuItem = kItemFind,
     .menuText = "Find...\tCtrl+Shift+F",
     .keys = {{'f', kModCtrl | kModShift, 24}},
     .inModal = true,
     .run = [](CMyApplication&, const SCall&) { CFindBar::OpenIn(CWindow::GetFrontWindow()); }},
};
#pragma GCC diagnostic pop
} // namespace

std::span<const SMyCommand> UMyCommands::All()
{
    return kCommands;
}

const SMyCommand* UMyCommands::Find(uint32_t id)
{
    for (const SMyCommand& c : kCommands)
        if (c.id == id) return &c;
    return nullptr;
}

const SMyCommand* UMyCommands::FindMenuItem(uint16_t item)
{
    if (item == 0) return nullptr;
    for (const SMyCommand& c : kCommands)
        if (c.menuItem == item) return &c;
    return nullptr;
}

const SMyCommand* UMyCommands::FindButton(uint32_t hit)
{
    const SMyCommand* c = Find(hit);
    return c && c->button.title ? c : nullptr;
}

std::vector<SKeyCmd> UMyCommands::KeyTable()
{
    std::vector<std::pair<uint8_t, SKeyCmd>> keys;
    for (const SMyCommand& c : kCommands)
        for (const SMyCommandKey& k : c.keys)
            if (k.key && k.order) keys.push_back({k.order, SKeyCmd{c.id, k.key, k.mods}});
    std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<SKeyCmd> table;
    for (const auto& k : keys)
        table.push_back(k.second);
    return table;
}

bool UMyCommands::Run(CMyApplication& app, const SMyCommand& command, const SMyCommandCall& call)
{
    if (!command.inModal && CWindow::IsModalRunning()) return false;
    command.run(app, call);
    return true;
}
