#include "framework/ui/CTabPlace.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

#include "framework/ui/CWindow.h"
#include "framework/ui/UPopupMenu.h"

namespace
{
// The places alive: a window remembers the one it left by address, and must not reach one that is gone.
std::vector<CTabPlace*> gPlaces;
constexpr char kLeftProperty[] = "quenvolLeftTabs";

// A tab's text shows '&' as it stands: the tab bar would take it for a mnemonic.
QString TabText(const QWidget* widget)
{
    QString title = widget->windowTitle();
    return title.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
} // namespace

// Watches the tab bar for a tab dragged out of it. The bar keeps reordering tabs dragged along it.
class CTabTearOff final : public QObject
{
public:
    CTabTearOff(CTabPlace* place, QTabBar* bar) : QObject(bar), mPlace(place), mBar(bar)
    {
        bar->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type())
        {
        case QEvent::MouseButtonPress:
        {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const int index =
                mouse->button() == Qt::LeftButton ? mBar->tabAt(mouse->position().toPoint()) : -1;
            mDragged = index >= 0 ? mPlace->mTabs->widget(index) : nullptr;
            break;
        }
        case QEvent::MouseButtonRelease:
            mDragged = nullptr;
            break;
        case QEvent::MouseMove:
        {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (!mDragged || !(mouse->buttons() & Qt::LeftButton)) break;
            const int d = CTabPlace::kTearOffDistance;
            if (mBar->rect().adjusted(-d, -d, d, d).contains(mouse->position().toPoint())) break;
            // The bar ends its own drag first: a tab taken from under a drag in progress would leave the
            // bar moving a tab that is gone.
            QPointer<QWidget> dragged = mDragged;
            mDragged = nullptr;
            QMouseEvent release(QEvent::MouseButtonRelease, mouse->position(), mouse->globalPosition(),
                                Qt::LeftButton, Qt::NoButton, mouse->modifiers());
            QCoreApplication::sendEvent(mBar, &release);
            const QPoint at = mouse->globalPosition().toPoint();
            CTabPlace* place = mPlace;
            // Later, out of the bar's own event: the tab bar loses the tab and its widget a parent.
            QMetaObject::invokeMethod(
                mBar,
                [place, dragged, at]
                {
                    if (!dragged) return;
                    const int index = place->mTabs->indexOf(dragged);
                    if (index < 0) return;
                    place->MoveToOwnWindow(index);
                    // The new window comes up under the pointer that dragged it out.
                    if (dragged->isWindow()) dragged->move(at - QPoint(40, 12));
                },
                Qt::QueuedConnection);
            return true;
        }
        default:
            break;
        }
        return false;
    }

private:
    CTabPlace* mPlace;
    QTabBar* mBar;
    QPointer<QWidget> mDragged;
};

CTabPlace::~CTabPlace()
{
    gPlaces.erase(std::remove(gPlaces.begin(), gPlaces.end(), this), gPlaces.end());
}

CTabPlace::CTabPlace(QTabWidget* tabs) : mTabs(tabs)
{
    gPlaces.push_back(this);
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
    mTearOff = new CTabTearOff(this, bar);
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
    w->Widget()->setProperty(kLeftProperty, QVariant::fromValue(quintptr(this)));
    w->BringToFront();
}

void CTabPlace::MoveBack(CWindow* window)
{
    window->Widget()->setProperty(kLeftProperty, QVariant());
    window->SetPlace(this);
    BringToFront(window);
}

CTabPlace* CTabPlace::LeftFrom(const CWindow* window)
{
    if (!window || window->GetPlace()) return nullptr;
    const QVariant left = window->Widget()->property(kLeftProperty);
    if (!left.isValid()) return nullptr;
    for (CTabPlace* place : gPlaces)
        if (quintptr(place) == left.value<quintptr>())
            // Tabs the user cannot see (another arrangement of windows is in use) are no way back.
            return place->mTabs->window()->isVisible() ? place : nullptr;
    return nullptr;
}

namespace
{
// The procedure of the way back, run after the menu and the event that opened it are over: the window's
// widget changes its parent.
std::function<void()> WayBack(CWindow* window, CTabPlace* place)
{
    QPointer<QWidget> widget = window->Widget();
    return [widget, place]
    {
        QMetaObject::invokeMethod(
            qApp,
            [widget, place]
            {
                CWindow* w = widget ? CWindow::FromWidget(widget) : nullptr;
                if (w && CTabPlace::LeftFrom(w) == place) place->MoveBack(w);
            },
            Qt::QueuedConnection);
    };
}
} // namespace

void CTabPlace::AddWayBack(QWidget* over, std::vector<SMenuEntry>& entries)
{
    CWindow* window = over ? CWindow::FromWidget(over) : nullptr;
    CTabPlace* place = LeftFrom(window);
    if (!place) return;
    if (!entries.empty()) entries.push_back(SMenuEntry{});
    entries.push_back(SMenuEntry{kMoveToMainWindow, {}, true, WayBack(window, place)});
}

void CTabPlace::AddWayBack(QWidget* over, QMenu* menu)
{
    std::vector<SMenuEntry> entries;
    AddWayBack(over, entries);
    if (entries.empty()) return;
    menu->addSeparator();
    QAction* back = menu->addAction(QString::fromLatin1(kMoveToMainWindow));
    QObject::connect(back, &QAction::triggered, [act = entries.back().act] { act(); });
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
