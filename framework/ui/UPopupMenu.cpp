#include "framework/ui/UPopupMenu.h"

#include <QKeySequence>
#include <QMenu>

#include "framework/ui/CTabPlace.h"
#include "framework/ui/UiText.h"

namespace
{
UPopupMenu::Observer gObserver;
} // namespace

void UPopupMenu::SetObserver(Observer observer)
{
    gObserver = std::move(observer);
}

int UPopupMenu::Find(const std::vector<SMenuEntry>& entries, const std::string& title)
{
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].title == title) return int(i);
    return -1;
}

int UPopupMenu::Run(QWidget* over, const QPoint& globalPos, const std::vector<SMenuEntry>& rowEntries)
{
    // A window torn off the main window's tabs finds its way back in any of its menus.
    std::vector<SMenuEntry> entries = rowEntries;
    CTabPlace::AddWayBack(over, entries);
    int chosen = -1;
    if (gObserver)
        chosen = gObserver(entries);
    else
    {
        QMenu menu(over);
        std::vector<QAction*> actions;
        for (const SMenuEntry& e : entries)
        {
            if (e.title.empty())
            {
                actions.push_back(menu.addSeparator());
                continue;
            }
            QAction* a = menu.addAction(ToQString(e.title.data(), uint32_t(e.title.size())));
            if (!e.shortcut.empty()) a->setShortcut(QKeySequence(QString::fromLatin1(e.shortcut.c_str())));
            // The window takes the keys itself; the menu only shows them.
            a->setShortcutContext(Qt::WidgetShortcut);
            a->setEnabled(e.enabled);
            actions.push_back(a);
        }
        QAction* picked = menu.exec(globalPos);
        for (size_t i = 0; i < actions.size(); ++i)
            if (picked && actions[i] == picked) chosen = int(i);
    }
    // A disabled entry or a separator is no choice, whoever made it.
    if (chosen < 0 || size_t(chosen) >= entries.size() || !entries[size_t(chosen)].enabled ||
        entries[size_t(chosen)].title.empty() || !entries[size_t(chosen)].act)
        return -1;
    // The entries may go with the window the procedure acts on: it runs on a copy.
    const std::function<void()> act = entries[size_t(chosen)].act;
    act();
    return chosen;
}
