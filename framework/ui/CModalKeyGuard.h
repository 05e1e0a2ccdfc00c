// Keys for a window that waits for the user: it acts only on keys that went down while it was up. Without
// this a key held from the window before it (its auto-repeat) or the release of such a key reaches the
// new window: one Return closed a box and then the box that opened in its place.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QWidget>

class QEvent;

class CModalKeyGuard : public QObject
{
public:
    // Watches the key events of `window` and its widgets from now on.
    explicit CModalKeyGuard(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Drop(QEvent* event);

    QPointer<QWidget> mWindow;
    QSet<int> mDown;
    // An event travels up from the focus widget through its parents: each sees the same decision.
    const QEvent* mLastEvent = nullptr;
    bool mLastDropped = false;
};
