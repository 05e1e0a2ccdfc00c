// The menu a right click on a row opens. Each entry acts through a procedure of the window that made it,
// which presses the window's own button or gives the window's own hit, so that a menu never holds a
// second copy of what a command does.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QPoint;
class QWidget;

struct SMenuEntry
{
    std::string title;    // the client's character set; empty for a separator line
    std::string shortcut; // shown at the right ("F2", "Del"); a hint only, the window takes the key
    bool enabled = true;
    std::function<void()> act;
};

class UPopupMenu
{
public:
    // Shows the entries at a point of the screen and runs the chosen entry's procedure after the menu
    // has closed. The choice, or -1 when the user chose nothing.
    static int Run(QWidget* over, const QPoint& globalPos, const std::vector<SMenuEntry>& entries);

    // Tests choose instead of a user: the observer sees the entries each time a menu would open and
    // returns the index to choose (-1: none). Null removes it.
    using Observer = std::function<int(const std::vector<SMenuEntry>& entries)>;
    static void SetObserver(Observer observer);
    // The entry of that title in a menu, -1 when absent.
    static int Find(const std::vector<SMenuEntry>& entries, const std::string& title);
};
