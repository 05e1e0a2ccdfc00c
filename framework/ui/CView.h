// A view of the toolkit: one control or container inside a window, carrying the view id that the
// application dispatches on and the command code that the tracker controller dispatches on.
#pragma once

#include <cstdint>

#include "framework/runtime/Geometry.h"
#include "framework/ui/SHitMsgData.h"

class QPainter;
class QRect;
class QWidget;
class CWindow;
class CView;
class CViewWidget;

// Where a new view goes: into a window's content or into another view.
struct SViewParent
{
    SViewParent(CWindow* inWindow) : window(inWindow) {}
    SViewParent(CView* inView) : view(inView) {}
    CWindow* window = nullptr;
    CView* view = nullptr;
};

// Sizing flags: how a view follows a change of its container's size by (dw, dh).
enum : uint8_t
{
    kSizeLeft = 0x01,   // the left edge moves by dw
    kSizeTop = 0x02,    // the top edge moves by dh
    kSizeRight = 0x04,  // the right edge moves by dw
    kSizeBottom = 0x08, // the bottom edge moves by dh
    kSizeFollowRight = kSizeLeft | kSizeRight,
    kSizeGrow = kSizeRight | kSizeBottom,
    kSizeStickBottomRight = 0x0F,
};

// A view is owned by its widget: destroying the window (or a parent view) destroys the view, and
// deleting a view removes its widget.
class CView
{
public:
    virtual ~CView();
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;

    uint32_t GetID() const { return mID; }
    void SetID(uint32_t id) { mID = id; }
    uint32_t GetCommand() const { return mCommand; }
    void SetCommand(uint32_t command) { mCommand = command; }
    uint8_t GetSizing() const { return mSizing; }
    void SetSizing(uint8_t sizing) { mSizing = sizing; }

    // Bounds are relative to the enclosing view (or the window's content).
    void GetBounds(SRect& outBounds) const;
    void SetBounds(const SRect& bounds);
    void Show();
    void Hide();
    void SetVisible(bool visible);
    bool IsVisible() const; // as set, whether or not the window shows
    void SetEnable(bool enable);
    bool IsEnabled() const;
    void SetFocus();
    bool IsFocus() const;
    // Asks for the view to be drawn again.
    void Refresh();
    // Whether a point in the view's own coordinates lies on it.
    bool IsInside(const SPoint& where) const;

    // Reports a hit of this view to its window (and from there to the application or a modal loop).
    void Hit(uint16_t part = 0, uint16_t mods = 0, uint32_t param = 0, const void* data = nullptr,
             uint32_t dataSize = 0, uint16_t type = 0);

    CWindow* GetWindow() const;
    CView* GetParent() const;
    QWidget* Widget() const { return mWidget; }
    // The widget into which child views go: the view itself for containers, the page of a scroller.
    virtual QWidget* ChildHost() const { return mWidget; }

    // Depth-first search for the view with that id, starting with this view itself.
    CView* FindView(uint32_t id);
    static CView* FromWidget(const QWidget* widget);

    // The modifier word of the keys held now, in the framework's bits.
    static uint16_t CurrentMods();
    // The same for the modifiers a Qt event carries (Qt::KeyboardModifiers as a number).
    static uint16_t ModsOf(int qtModifiers);

protected:
    // `widget` is made by the subclass with no parent; it is put into the parent at `bounds`.
    CView(SViewParent parent, const SRect& bounds, QWidget* widget);
    // A view that draws itself and takes the mouse through the hooks below: the toolkit makes a plain
    // widget for it that calls them.
    CView(SViewParent parent, const SRect& bounds);

    // Hooks of a view made without a widget of its own. Points are in the view's own coordinates;
    // the mouse hooks are for the main button. The release comes to the view that had the press,
    // wherever it happens (IsInside tells a press given up by moving away).
    virtual void Draw(QPainter&, const QRect& /*dirty*/) {}
    virtual void MouseDown(const SPoint& /*where*/, uint16_t /*mods*/) {}
    virtual void MouseUp(const SPoint& /*where*/, uint16_t /*mods*/) {}
    // A key pressed while the view has the focus (a Qt::Key); true when the view used it. A view takes
    // the focus from Tab once it calls TakesFocus, and then shows it.
    virtual bool KeyPressed(int /*qtKey*/, uint16_t /*mods*/) { return false; }
    void TakesFocus();

private:
    friend class CViewWidget;

    QWidget* mWidget;
    uint32_t mID = 0;
    uint32_t mCommand = 0;
    uint8_t mSizing = 0;
    bool mDestroying = false;
};

// Lets a container's views follow its size by their sizing flags. Windows and container views install
// it on the widget that holds their views.
void InstallSizingRule(QWidget* container);
// The container's views fit its present size: its next resize moves them from there, also when the
// notice comes without an old size (a widget resized while hidden, or given a new parent, gets none).
void NoteLaidOutSize(QWidget* container);
