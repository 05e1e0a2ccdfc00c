// The Qt widgets behind windows: they turn the close box, the zoom box, activation and unused keys into
// calls on the owner.
#pragma once

#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QWidget>

class CWindow;

template <class TBase>
class TWindowHost : public TBase
{
public:
    explicit TWindowHost(CWindow* owner) : mOwner(owner) {}
    void Detach() { mOwner = nullptr; }
    CWindow* Owner() const { return mOwner; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    CWindow* mOwner;
};

using CWidgetHost = TWindowHost<QWidget>;
using CMainWindowHost = TWindowHost<QMainWindow>;
