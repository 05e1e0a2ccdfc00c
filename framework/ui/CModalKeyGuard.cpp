#include "framework/ui/CModalKeyGuard.h"

#include <QApplication>
#include <QKeyEvent>

CModalKeyGuard::CModalKeyGuard(QWidget* window) : mWindow(window)
{
    qApp->installEventFilter(this);
}

bool CModalKeyGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !mWindow || widget->window() != mWindow) return false;
    if (event != mLastEvent)
    {
        mLastEvent = event;
        mLastDropped = Drop(event);
    }
    return mLastDropped;
}

bool CModalKeyGuard::Drop(QEvent* event)
{
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->isAutoRepeat()) return !mDown.contains(key->key());
    if (event->type() == QEvent::KeyPress)
    {
        mDown.insert(key->key());
        return false;
    }
    return !mDown.remove(key->key());
}
