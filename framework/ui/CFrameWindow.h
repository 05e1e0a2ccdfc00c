// The program's main window: it carries the menu bar, and its menu items post message 999.
#pragma once

#include "framework/ui/CWindow.h"

class QMainWindow;

struct SMenuItem
{
    uint16_t number;  // reported with message 999; a separator has no text
    const char* text; // "Copy\tCtrl+C" shows the shortcut text after the tab; null = separator
};

// Message 999 carries the menu's id and the item's number.
struct SMenuHitData
{
    uint16_t menu;
    uint16_t item;
};

enum : uint32_t
{
    kMsgMenuItem = 999,
};

class CFrameWindow : public CWindow
{
public:
    explicit CFrameWindow(const SRect& bounds, uint16_t style = kWindowCloseBox);
    void AddMenu(uint16_t menuID, const char* title, const SMenuItem* items, uint32_t count);
    void EnableMenuItem(uint16_t item, bool enable);
    // The item shows a check mark (and can carry one from now on).
    void CheckMenuItem(uint16_t item, bool checked);
    QMainWindow* MainWindow() const;

protected:
    int32_t ChromeHeight(int32_t width) const override;
};
