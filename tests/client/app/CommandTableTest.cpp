// The command table against the menus, keys and buttons the program has always had: the key table in
// its order of installation, the menu items with their texts, and the shortcuts the menus promise.
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <cctype>
#include <cstring>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/app/UMyCommands.h"
#include "framework/runtime/KeyCommands.h"
#include "tests/support/TestDataFile.h"

// Found by argument lookup, beside the record: inside an unnamed namespace the comparisons would not be.
static bool operator==(const SKeyCmd& a, const SKeyCmd& b)
{
    return a.id == b.id && a.key == b.key && a.mods == b.mods;
}

static std::ostream& operator<<(std::ostream& out, const SKeyCmd& k)
{
    return out << "{" << k.id << ", 0x" << std::hex << k.key << ", 0x" << k.mods << std::dec << "}";
}

namespace
{
// "Ctrl+Alt+F" as the key table writes it.
SMyCommandKey ParseShortcut(const std::string& text)
{
    SMyCommandKey key;
    std::string rest = text;
    for (const auto& [prefix, mod] :
         {std::pair{"Ctrl+", kModCtrl}, std::pair{"Alt+", kModAlt}, std::pair{"Shift+", kModShift}})
        if (rest.rfind(prefix, 0) == 0)
        {
            key.mods = uint16_t(key.mods | mod);
            rest.erase(0, std::strlen(prefix));
        }
    if (rest.size() == 1) key.key = uint16_t(std::tolower(rest[0]));
    return key;
}
} // namespace

TEST(CommandTable, TheKeyTableKeepsItsOrderAndCtrlBFollowsIt)
{
    constexpr uint16_t code = kModKeyByCode;
    const std::vector<SKeyCmd> expected = {
        {1001, 0xB0, code},
        {1008, 0xB1, code},
        {1005, 0xB2, code},
        {1006, 0xB3, code},
        {1010, 0xB4, code},
        {1009, 0xB5, code},
        {1032, 0xB8, code},
        {1033, 0xBB, code | 1},
        {1109, 0x84, code | 1},
        {1007, 'q', 1},
        {1001, 'k', 1},
        {1034, 'w', 1},
        {1042, 'f', 3},
        {1008, 'n', 1},
        {1010, 'u', 1},
        {1006, 'f', 1},
        {1005, 'h', 1},
        {1009, 't', 1},
        {1029, 'r', 1},
        {1000, 'p', 1},
        {1020, 'm', 1},
        {1021, 'o', 1},
        {kCmdShowToolbar, 'b', 1},
        {210, 'f', 9},
    };
    EXPECT_EQ(UMyCommands::KeyTable(), expected);
}

TEST(CommandTable, TheMenusHoldTheirItemsInOrderAndEveryShortcutShownIsAKeyOfItsCommand)
{
    UseBuiltDataFile();
    CMyOldToolbarWin toolbar;
    std::vector<std::string> menus;
    for (QAction* menuAction : toolbar.MainWindow()->menuBar()->actions())
    {
        std::string line = menuAction->text().toStdString() + ":";
        for (QAction* a : menuAction->menu()->actions())
        {
            line += a->isSeparator() ? std::string(" -") : " " + a->text().toStdString();
            // The number the item posts names the command that the menu item runs.
            if (!a->isSeparator())
            {
                EXPECT_EQ(UMyCommands::FindMenuItem(uint16_t(a->data().toInt()))->menuText,
                          a->text().toStdString());
            }
        }
        menus.push_back(line);
    }
    const std::vector<std::string> expected = {
        "File: Quit",
        "Edit: Undo\tCtrl+Z - Cut\tCtrl+X Copy\tCtrl+C Paste\tCtrl+V Clear - Select All\tCtrl+A - "
        "Find...\tCtrl+Shift+F",
        "View: Online Users\tCtrl+U Public Chat\tCtrl+H News\tCtrl+N Tasks\tCtrl+T Toolbar\tCtrl+B - "
        "Separate Windows",
        "Quenvol: Connect\tCtrl+K Disconnect - Show News\tCtrl+N Show Online Users\tCtrl+U Show "
        "Files\tCtrl+F "
        "Show Chat\tCtrl+H Show Tasks\tCtrl+T Show Tracker\tCtrl+R Show Toolbar\tCtrl+B Post News...\tCtrl+P "
        "- "
        "New User\tCtrl+M Open User...\tCtrl+O - Options... About Quenvol... - Open Logs Folder",
    };
    EXPECT_EQ(menus, expected);

    for (const SMyCommand& c : UMyCommands::All())
    {
        if (!c.menuText) continue;
        const std::string text = c.menuText;
        const size_t tab = text.find('\t');
        if (tab == std::string::npos) continue;
        const SMyCommandKey shown = ParseShortcut(text.substr(tab + 1));
        bool found = false;
        for (const SMyCommandKey& k : c.keys)
            found = found || (k.key == shown.key && k.mods == shown.mods);
        EXPECT_TRUE(found) << text << " shows a key that does not give the command";
    }
}

TEST(CommandTable, EveryToolbarButtonRunsTheCommandOfItsHitAndOnlyQuittingAndEditingRunInAModal)
{
    uint32_t buttons = 0;
    for (const SMyCommand& c : UMyCommands::All())
    {
        ASSERT_NE(c.run, nullptr) << c.id;
        EXPECT_EQ(UMyCommands::Find(c.id), &c) << "two rows for command " << c.id;
        if (c.button.title)
        {
            ++buttons;
            EXPECT_EQ(UMyCommands::FindButton(c.id), &c);
        }
        const bool editing = c.menuItem / 100 == 2;
        EXPECT_EQ(c.inModal, editing || c.id == kCmdQuitApp) << c.id;
    }
    EXPECT_EQ(buttons, 15u);
    EXPECT_EQ(UMyCommands::FindButton(kCmdShowToolbar), nullptr);
    EXPECT_EQ(UMyCommands::FindButton(kHitChatSend), nullptr);
}
