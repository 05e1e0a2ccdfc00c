// The tabs in the centre of a main window, each holding one window. A tab's close button is the window's
// close box; the tab's context menu, or dragging the tab well away from the tab bar, moves the window out
// to a window of its own. Such a window offers the way back in its context menus while the tabs show.
#pragma once

#include <string>
#include <vector>

#include "framework/ui/CWindowPlace.h"

class QMenu;
class QObject;
class QTabWidget;
class QWidget;
struct SMenuEntry;

class CTabPlace final : public CWindowPlace
{
public:
    // `tabs` belongs to the caller's widgets.
    explicit CTabPlace(QTabWidget* tabs);
    ~CTabPlace() override;

    QTabWidget* Tabs() const { return mTabs; }
    // The window of a tab (0-based), or null.
    CWindow* WindowAt(int index) const;
    // The tab's window leaves for a window of its own, in front.
    void MoveToOwnWindow(int index);
    // A window that left these tabs comes back as the current tab.
    void MoveBack(CWindow* window);
    // The tabs a window left for a window of its own, while they show and it has not come back; null
    // otherwise.
    static CTabPlace* LeftFrom(const CWindow* window);
    // A context menu opened over a widget of a window that left a tab ends with the way back.
    static void AddWayBack(QWidget* over, std::vector<SMenuEntry>& entries);
    static void AddWayBack(QWidget* over, QMenu* menu);

    void Adopt(CWindow* window, QWidget* widget) override;
    void Release(CWindow* window, QWidget* widget) override;
    void Show(CWindow* window) override;
    void ShowBehind(CWindow* window) override;
    void Hide(CWindow* window) override;
    bool IsShown(const CWindow* window) const override;
    void BringToFront(CWindow* window) override;
    void TitleChanged(CWindow* window) override;

    static constexpr const char kMoveToOwnWindow[] = "Move to Own Window";
    static constexpr const char kMoveToMainWindow[] = "Move to Main Window";

private:
    friend class CTabTearOff;
    // Dragged this far past the tab bar's edge, a tab tears off; less only reorders the tabs.
    static constexpr int kTearOffDistance = 40;
    QTabWidget* mTabs;
    QObject* mTearOff = nullptr;
};
