#include "framework/ui/CTabPlace.h"

#include <QMenu>
#include <QTabBar>
#include <QTabWidget>

#include "framework/ui/CWindow.h"

namespace
{
// A tab's text shows '&' as it stands: the tab bar would take it for a mnemonic.
QString TabText(const QWidget* widget)
{
    QString title = widget->windowTitle();
    return title.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
} // namespace

CTabPlace::CTabPlace(QTabWidget* tabs) : mTabs(tabs)
{
    mTabs->setTabsClosable(true);
    mTabs->setMovable(true);
    mTabs->setDocumentMode(true);
    QObject::connect(mTabs, &QTabWidget::tabCloseRequested,
                     [this](int index)
                     {
                         if (CWindow* w = WindowAt(index)) w->CloseBoxClicked();
                     });
    // The tab the user turns to is the window the user works in (Ctrl+Up acts on it, for one).
    QObject::connect(mTabs, &QTabWidget::currentChanged,
                     [this](int index)
                     {
                         if (CWindow* w = WindowAt(index)) w->Activated();
                     });
    QTabBar* bar = mTabs->tabBar();
    bar->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(bar, &QWidget::customContextMenuRequested,
                     [this, bar](const QPoint& at)
                     {
                         const int index = bar->tabAt(at);
                         if (index < 0) return;
                         QMenu menu;
                         QAction* move = menu.addAction(QString::fromLatin1(kMoveToOwnWindow));
                         // The menu waits in Qt's own loop, which drains the client's queue meanwhile.
                         if (menu.exec(bar->mapToGlobal(at)) == move) MoveToOwnWindow(index);
                     });
}

CWindow* CTabPlace::WindowAt(int index) const
{
    QWidget* w = index >= 0 ? mTabs->widget(index) : nullptr;
    return w ? CWindow::FromWidget(w) : nullptr;
}

void CTabPlace::MoveToOwnWindow(int index)
{
    CWindow* w = WindowAt(index);
    if (!w) return;
    w->SetPlace(nullptr);
    w->BringToFront();
}

void CTabPlace::Adopt(CWindow*, QWidget* widget)
{
    widget->setParent(mTabs);
    widget->hide();
}

void CTabPlace::Release(CWindow*, QWidget* widget)
{
    const int index = mTabs->indexOf(widget);
    if (index >= 0) mTabs->removeTab(index);
    widget->setParent(nullptr);
}

void CTabPlace::Show(CWindow* window)
{
    if (IsShown(window)) return;
    ShowBehind(window);
    mTabs->setCurrentWidget(window->Widget());
}

void CTabPlace::ShowBehind(CWindow* window)
{
    QWidget* widget = window->Widget();
    if (mTabs->indexOf(widget) >= 0) return;
    mTabs->addTab(widget, widget->windowIcon(), TabText(widget));
    mTabs->setTabToolTip(mTabs->indexOf(widget), widget->windowTitle());
    widget->show();
}

void CTabPlace::Hide(CWindow* window)
{
    QWidget* widget = window->Widget();
    const int index = mTabs->indexOf(widget);
    if (index < 0) return;
    mTabs->removeTab(index);
    widget->hide();
}

bool CTabPlace::IsShown(const CWindow* window) const
{
    return mTabs->indexOf(window->Widget()) >= 0;
}

void CTabPlace::BringToFront(CWindow* window)
{
    Show(window);
    mTabs->setCurrentWidget(window->Widget());
    QWidget* top = mTabs->window();
    if (top->isMinimized()) top->setWindowState(top->windowState() & ~Qt::WindowMinimized);
    top->show();
    top->raise();
    top->activateWindow();
}

void CTabPlace::TitleChanged(CWindow* window)
{
    QWidget* widget = window->Widget();
    const int index = mTabs->indexOf(widget);
    if (index < 0) return;
    mTabs->setTabText(index, TabText(widget));
    mTabs->setTabIcon(index, widget->windowIcon());
    mTabs->setTabToolTip(index, widget->windowTitle());
}
