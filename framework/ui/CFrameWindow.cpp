#include "framework/ui/CFrameWindow.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "framework/runtime/UApplication.h"
#include "framework/ui/CWindowHost.h"

CFrameWindow::CFrameWindow(const SRect& bounds, uint16_t style)
    : CWindow(SRect{}, kWindowFrame, style, new CMainWindowHost(this))
{
    // The bounds are set once the menu bar exists, whose height goes on top of them.
    MainWindow()->menuBar();
    SetBounds(bounds);
}

int32_t CFrameWindow::ChromeHeight(int32_t width) const
{
    QMenuBar* bar = MainWindow()->menuBar();
    if (bar->actions().isEmpty()) return 0;
    const int h = bar->heightForWidth(width);
    return h > 0 ? h : bar->sizeHint().height();
}

QMainWindow* CFrameWindow::MainWindow() const
{
    return static_cast<QMainWindow*>(Widget());
}

void CFrameWindow::AddMenu(uint16_t menuID, const char* title, const SMenuItem* items, uint32_t count)
{
    QMenu* menu = MainWindow()->menuBar()->addMenu(QString::fromUtf8(title));
    for (uint32_t i = 0; i < count; ++i)
    {
        if (!items[i].text)
        {
            menu->addSeparator();
            continue;
        }
        // The shortcut after the tab is only shown: the key command table does the work, so that keys
        // behave the same whichever window has the focus.
        QAction* action = menu->addAction(QString::fromUtf8(items[i].text));
        action->setData(int(items[i].number));
        const SMenuHitData hit{menuID, items[i].number};
        QObject::connect(
            action, &QAction::triggered,
            [hit]
            { UApplication::PostMessage(kMsgMenuItem, &hit, sizeof(hit), 0, nullptr, nullptr, nullptr); });
    }
    // The menu bar grows the window above its content: keep the content where and how big it was.
    SRect b;
    GetBounds(b);
    SetBounds(b);
}

namespace
{
QAction* FindItem(QMainWindow* main, uint16_t item)
{
    for (QAction* menuAction : main->menuBar()->actions())
        if (QMenu* menu = menuAction->menu())
            for (QAction* a : menu->actions())
                if (!a->isSeparator() && a->data().toInt() == item) return a;
    return nullptr;
}
} // namespace

void CFrameWindow::EnableMenuItem(uint16_t item, bool enable)
{
    if (QAction* a = FindItem(MainWindow(), item)) a->setEnabled(enable);
}

void CFrameWindow::CheckMenuItem(uint16_t item, bool checked)
{
    QAction* a = FindItem(MainWindow(), item);
    if (!a) return;
    a->setCheckable(true);
    a->setChecked(checked);
}
