// Every command the user gives from the toolbar, the menu bar or the keyboard, declared once: its number,
// keys, menu item, toolbar button, the access bits that show the button, and whether it may run while a
// modal window waits for the user. The key command table, the menus, the toolbar and the hit dispatch are
// all built from this table, and a command runs from one place only (UMyCommands::Run), whichever way it
// was given.
//
// Hits that are no commands (a list's double click, a drop, the buttons of a window that act on that
// window) stay with the application's hit dispatch.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "framework/runtime/KeyCommands.h"

class CMyApplication;
class CWindow;

// How a command was given: the window whose button was hit (null for keys and menu items), and the
// modifier word of the click or key.
struct SMyCommandCall
{
    CWindow* window = nullptr;
    uint16_t mods = 0;
};

// A key that gives the command: a character, or a key code when `mods` has kModKeyByCode.
struct SMyCommandKey
{
    uint16_t key = 0; // 0: none
    uint16_t mods = 0;
    // The key's place in the key command table as installed, from 1. 0 for a key that the view with the
    // keyboard focus handles itself (the edit keys), or that another row installs (the View menu repeats
    // the show keys): the menu only shows it.
    uint8_t order = 0;
};

struct SMyToolbarButton
{
    const char* title = nullptr; // null: no button
    int16_t icon = 0;
    const char* tooltip = nullptr;
};

struct SMyCommand
{
    // The command number: what the key command carries, and the hit id of its toolbar button. Commands
    // that only a menu gives are numbered by their item.
    uint32_t id = 0;
    // 1xx in "File", 2xx in "Edit", 3xx in "Quenvol", 4xx in "View"; 0: in no menu. A number a menu skips
    // is a separator.
    uint16_t menuItem = 0;
    // The item's text as the menu shows it, the shortcut after a tab; the shortcut is one of `keys`.
    const char* menuText = nullptr;
    SMyToolbarButton button;
    SMyCommandKey keys[2];
    // The toolbar shows the button while the user has any of these access bits (AccessBits); 0: always.
    // The menu items and keys stay: the server refuses what the user may not do.
    uint64_t access = 0;
    // May run while a modal window waits for the user: quitting, and the edit items, which act on the
    // modal window's own text. Any other command would open a window on top of the modal one, or a second
    // copy of it inside the first.
    bool inModal = false;
    void (*run)(CMyApplication& app, const SMyCommandCall& call) = nullptr;
};

class UMyCommands
{
public:
    // In the toolbar's order of buttons.
    static std::span<const SMyCommand> All();
    static const SMyCommand* Find(uint32_t id);
    static const SMyCommand* FindMenuItem(uint16_t item);
    // The command whose toolbar button reports that hit; null for every other hit.
    static const SMyCommand* FindButton(uint32_t hit);
    // The key command table in its order of installation.
    static std::vector<SKeyCmd> KeyTable();
    // Runs the command, unless a modal window waits for the user and the command may not run then.
    // True when it ran.
    static bool Run(CMyApplication& app, const SMyCommand& command, const SMyCommandCall& call);
};
