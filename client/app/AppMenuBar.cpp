// The menu bar of the frame window, built from the command table, and what its items do.
#include "client/app/AppMenuBar.h"

#include <algorithm>
#include <string>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/app/UMyCommands.h"

namespace
{
struct SMenu
{
    uint16_t id;
    const char* title;
    uint16_t firstItem; // items number from here up to firstItem + 99
};

constexpr SMenu kMenus[] = {
    {kMenuFile, "File", 100},
    {kMenuEdit, "Edit", 200},
    {kMenuView, "View", 400},
    {kMenuQuenvol, "Quenvol", 300},
};
} // namespace

void InstallMenuBar(CFrameWindow& frame)
{
    for (const SMenu& menu : kMenus)
    {
        std::vector<const SMyCommand*> commands;
        for (const SMyCommand& c : UMyCommands::All())
            if (c.menuItem > menu.firstItem && c.menuItem < menu.firstItem + 100) commands.push_back(&c);
        std::sort(commands.begin(), commands.end(),
                  [](const SMyCommand* a, const SMyCommand* b) { return a->menuItem < b->menuItem; });
        // A number the menu skips is a separator: the item numbers stay those of the menu's design.
        std::vector<SMenuItem> items;
        uint16_t next = uint16_t(menu.firstItem + 1);
        for (const SMyCommand* c : commands)
        {
            for (; next < c->menuItem; ++next)
                items.push_back(SMenuItem{next, nullptr});
            items.push_back(SMenuItem{c->menuItem, c->menuText});
            next = uint16_t(c->menuItem + 1);
        }
        frame.AddMenu(menu.id, menu.title, items.data(), uint32_t(items.size()));
    }
}

void CMyApplication::DoMacMenuBar(int16_t menu, int16_t item)
{
    // Item numbers carry their menu in the hundreds (1xx File, 2xx Edit, 3xx Quenvol, 4xx View), so the item
    // number alone names the command; the menu only matters for numbers outside those ranges.
    (void)menu;
    if (const SMyCommand* c = UMyCommands::FindMenuItem(uint16_t(item)))
        UMyCommands::Run(*this, *c, SMyCommandCall{});
}
