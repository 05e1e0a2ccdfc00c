#include "framework/ui/CDockPlace.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QMainWindow>

#include "framework/ui/CWindow.h"

namespace
{
class CDockWidget : public QDockWidget
{
public:
    CDockWidget(QMainWindow* main, CDockPlace* place) : QDockWidget(main), mPlace(place) {}

protected:
    void closeEvent(QCloseEvent* event) override
    {
        // As a window's close box: the application decides, and the pane follows the window.
        event->ignore();
        if (CWindow* w = mPlace->Window()) w->CloseBoxClicked();
    }

private:
    CDockPlace* mPlace;
};
} // namespace

CDockPlace::CDockPlace(QMainWindow* main, int area, const char* name) : mDock(new CDockWidget(main, this))
{
    mDock->setObjectName(QString::fromLatin1(name));
    mDock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                       QDockWidget::DockWidgetFloatable);
    main->addDockWidget(Qt::DockWidgetArea(area), mDock);
    mDock->hide();
}

void CDockPlace::TakeStateFromDock()
{
    mShown = !mDock->isHidden();
}

void CDockPlace::Adopt(CWindow* window, QWidget* widget)
{
    mWindow = window;
    mDock->setWidget(widget);
    widget->show();
}

void CDockPlace::Release(CWindow* window, QWidget* widget)
{
    if (window != mWindow) return;
    mDock->setWidget(nullptr);
    widget->setParent(nullptr);
    mWindow = nullptr;
    mShown = false;
    mDock->hide();
}

void CDockPlace::Show(CWindow*)
{
    mShown = true;
    mDock->show();
}

void CDockPlace::Hide(CWindow*)
{
    mShown = false;
    mDock->hide();
}

bool CDockPlace::IsShown(const CWindow*) const
{
    return mShown;
}

void CDockPlace::BringToFront(CWindow* window)
{
    Show(window);
    // A pane tabbed with others comes to the top of its group; a floating one over the other windows.
    mDock->raise();
    QWidget* top = mDock->isFloating() ? mDock : mDock->window();
    top->show();
    top->raise();
    top->activateWindow();
}

void CDockPlace::TitleChanged(CWindow* window)
{
    mDock->setWindowTitle(window->Widget()->windowTitle());
    mDock->setWindowIcon(window->Widget()->windowIcon());
}
