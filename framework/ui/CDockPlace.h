// A pane of a main window that holds one window: a dock widget whose close button is the window's close
// box, so that the application decides what closing means (a long-lived window hides).
#pragma once

#include "framework/ui/CWindowPlace.h"

class QDockWidget;
class QMainWindow;

class CDockPlace final : public CWindowPlace
{
public:
    // The pane is made in `main` at `area` (a Qt::DockWidgetArea), hidden; `name` identifies it in the
    // main window's saved state.
    CDockPlace(QMainWindow* main, int area, const char* name);
    // The main window owns the pane widget.
    ~CDockPlace() override = default;

    QDockWidget* Dock() const { return mDock; }
    CWindow* Window() const { return mWindow; }
    // After the main window took a saved state, which may have closed or opened the pane.
    void TakeStateFromDock();

    void Adopt(CWindow* window, QWidget* widget) override;
    void Release(CWindow* window, QWidget* widget) override;
    void Show(CWindow* window) override;
    void Hide(CWindow* window) override;
    bool IsShown(const CWindow* window) const override;
    void BringToFront(CWindow* window) override;
    void TitleChanged(CWindow* window) override;

private:
    QDockWidget* mDock;
    CWindow* mWindow = nullptr;
    bool mShown = false;
};
