// Where a window's content sits when it is not a top-level window of its own: a pane or a tab of a
// larger window. The window stays a CWindow whatever its place (its hits, keys, modal rules, session and
// lifetime do not change); the place decides what showing, hiding, bringing to the front and the title
// mean there. CWindow::SetPlace moves a window into a place and back out.
#pragma once

class CWindow;
class QWidget;

class CWindowPlace
{
public:
    virtual ~CWindowPlace() = default;

    // The place takes the window's widget among its children, not shown yet.
    virtual void Adopt(CWindow* window, QWidget* widget) = 0;
    // The place lets the widget go: it is about to become a top-level window again, or to be destroyed.
    virtual void Release(CWindow* window, QWidget* widget) = 0;
    // A window newly shown in a tab becomes the current one, as a new window comes to the front.
    virtual void Show(CWindow* window) = 0;
    // Shown without taking the user's eyes from what they look at.
    virtual void ShowBehind(CWindow* window) { Show(window); }
    virtual void Hide(CWindow* window) = 0;
    virtual bool IsShown(const CWindow* window) const = 0;
    // Shown, and what the user looks at now (the current tab, a raised pane, the window holding it).
    virtual void BringToFront(CWindow* window) = 0;
    // The window's title or icon changed: a tab or a pane shows them.
    virtual void TitleChanged(CWindow* window) = 0;
};
