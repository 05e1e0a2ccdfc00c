// The tabs in the centre of a main window, each holding one window. A tab's close button is the window's
// close box; the tab's context menu moves the window out to a window of its own.
#pragma once

#include "framework/ui/CWindowPlace.h"

class QTabWidget;

class CTabPlace final : public CWindowPlace
{
public:
    // `tabs` belongs to the caller's widgets.
    explicit CTabPlace(QTabWidget* tabs);

    QTabWidget* Tabs() const { return mTabs; }
    // The window of a tab (0-based), or null.
    CWindow* WindowAt(int index) const;
    // The tab's window leaves for a window of its own, in front.
    void MoveToOwnWindow(int index);

    void Adopt(CWindow* window, QWidget* widget) override;
    void Release(CWindow* window, QWidget* widget) override;
    void Show(CWindow* window) override;
    void ShowBehind(CWindow* window) override;
    void Hide(CWindow* window) override;
    bool IsShown(const CWindow* window) const override;
    void BringToFront(CWindow* window) override;
    void TitleChanged(CWindow* window) override;

    static constexpr const char kMoveToOwnWindow[] = "Move to Own Window";

private:
    QTabWidget* mTabs;
};
