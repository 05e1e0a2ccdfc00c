// A window of the toolkit: a Qt top-level widget that reports its hits through the application queue.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "framework/runtime/CVoidPtrList.h"
#include "framework/runtime/Geometry.h"
#include "framework/ui/SHitMsgData.h"

class QWidget;
class CView;
class CWindowPlace;
struct SKeyMsgData;

enum : uint16_t
{
    kWindowDocument = 1, // an ordinary window of the document layer
    kWindowModal = 2,    // a modal dialog, run with ProcessModal
    kWindowFrame = 3,    // the program's main window with the menu bar
    kWindowDocument2 = 4 // the client's tables call the ordinary window kind 4; it is the document layer too
};

// Style bits of the window constructor.
enum : uint16_t
{
    kWindowCloseBox = 0x01,
    kWindowResizable = 0x04, // the user may resize and zoom it
};

// Automatic placement codes: where the toolkit puts a window that has no saved rectangle.
enum : uint16_t
{
    kPlaceTopLeft = 2,
    kPlaceMainScreen = 4, // as a second code: on the main screen; document windows placed so step away
                          // from the last one, so that none hides another completely
    kPlaceCenterScreen = 5,
    kPlaceTopRight = 6,
    kPlaceTopCenter = 7,
    kPlaceBottomLeft = 8,
    kPlaceBottomRight = 9,
};

class CWindow
{
public:
    CWindow(const SRect& bounds, uint16_t kind, uint16_t style = kWindowCloseBox);
    virtual ~CWindow();
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    uint16_t GetKind() const { return mKind; }
    uint16_t GetStyle() const { return mStyle; }
    bool IsDocumentLayer() const { return mKind == kWindowDocument || mKind == kWindowDocument2; }
    void SetTitle(const uint8_t* pstring);
    void SetTitle(const void* text, uint32_t length);
    // The title as the window shows it, in the program's byte text.
    std::string GetTitle() const;
    void SetIcon(int16_t iconID);
    void Show();
    void Hide();
    bool IsVisible() const;
    void BringToFront();
    // Shows the window behind the others without taking the focus from the window the user works in.
    void ShowBehind();
    // Bounds are the window's content in screen coordinates (without frame and menu bar).
    void GetBounds(SRect& outBounds) const;
    // An empty or inverted rectangle is ignored, so that a damaged saved rectangle changes nothing.
    void SetBounds(const SRect& bounds);
    void SetLimits(int32_t minWidth, int32_t minHeight, int32_t maxWidth, int32_t maxHeight);
    // A dialog whose content can grow: the user may make it larger than it was built, never smaller.
    // Its views follow by their sizing flags.
    void MakeResizable();
    bool IsResizable() const { return mGrows || ((mStyle & kWindowResizable) && mKind != kWindowModal); }
    void Place(uint16_t placementCode);
    // Places by the first code; see kPlaceMainScreen for the second.
    void SetAutoBounds(uint16_t placementCode, uint16_t secondCode);
    // The area a zoomed window may take: the screen's available area.
    static void GetZoomLimits(SRect& outArea);
    // Whether enough of a window with these bounds would lie on one of the screens for the user to reach
    // it: a place saved on another machine or with a screen that is gone may not.
    static bool IsOnScreen(const SRect& bounds);

    // Hits of a window in a modal loop go to that loop; all others travel through the queue to
    // CApplication::WindowHitHandler.
    void Hit(const SHitMsgData& hit);
    void Hit(uint32_t id, uint16_t part = 0, uint16_t mods = 0);
    // Waits in the modal loop (UModalLoop) until one of the window's views reports a hit: true with the
    // hit, false when the program quits first. Windows run their loops through UModalLoop::RunWindow.
    bool NextModalHit(SHitMsgData& outHit);
    // The hit id, 0 when the program is quitting (and for a view without an id of its own): for tests
    // that hit the window themselves.
    uint32_t ProcessModal(SHitMsgData* outHit = nullptr);
    // Tests act on modal windows instead of a user: the observer sees each window as its modal loop
    // starts and may hit it at once (the loop then ends without waiting). Null removes it.
    using ModalObserver = std::function<void(CWindow* window)>;
    static void SetModalObserver(ModalObserver observer);
    bool IsInModalLoop() const { return mModalDepth > 0; }
    // The window has been run modally: whoever runs it owns it and destroys it after its loop, also
    // between two turns of the loop.
    bool IsRunModally() const { return mRunsModally; }
    // A window of the program waits for the user: one of these in its modal loop, the error alert or a
    // file dialog (all wait in UModalLoop).
    static bool IsModalRunning();

    // Return presses the default button and Escape the cancel button: they report these hit ids
    // (0 = none).
    void SetDefaultHit(uint32_t id) { mDefaultHit = id; }
    void SetCancelHit(uint32_t id) { mCancelHit = id; }
    uint32_t GetDefaultHit() const { return mDefaultHit; }
    uint32_t GetCancelHit() const { return mCancelHit; }
    // Whether a key event of that press (UKeyPresses) may act on the window: a window that waits for the
    // user takes only presses that began while it was up, so that a key held from the window before it
    // (its repeats, its release) passes it by.
    bool TakesKeyPress(uint64_t press) const;
    // Called by the host widget for keys that no view took; true when the key meant something.
    bool HandleUnusedKey(int qtKey);
    // Keys that the focused view did not use reach the window here first; true when used.
    virtual bool KeyDown(const SKeyMsgData& key);
    // The zoom box: the standard zoom toggles between the window's size and the zoom limits.
    virtual void UserZoom();

    // Hosts the window's content in a place (a pane or a tab of a larger window), or with null makes it
    // a top-level window again, at the bounds it had as one. Its visibility goes along.
    void SetPlace(CWindowPlace* place);
    CWindowPlace* GetPlace() const { return mPlace; }
    // Asked once for each document window as it is first shown: the place it goes to, null for a window of
    // its own. A window that left its place later (torn off) keeps its own window.
    using Placer = std::function<CWindowPlace*(CWindow* window)>;
    static void SetPlacer(Placer placer);
    // The maximise button is the zoom box (UserZoom) unless the window lets the desktop maximise it.
    virtual bool TakesZoomBox() const { return true; }

    QWidget* Widget() const { return mWidget; }
    // The widget that holds the window's views.
    QWidget* ContentWidget() const { return mContent; }
    // The view with that id anywhere in the window, or null.
    CView* FindView(uint32_t id) const;

    static uint32_t GetWindowCount();
    static CWindow* GetWindow(uint32_t index);
    // How many windows of a class are open.
    template <class TWin>
    static uint32_t CountOpen()
    {
        uint32_t count = 0;
        for (uint32_t i = 1; i <= GetWindowCount(); ++i)
            if (dynamic_cast<TWin*>(GetWindow(i))) ++count;
        return count;
    }
    // The front-most visible window of the document layer, or null.
    static CWindow* GetFrontWindow();
    static CWindow* FromWidget(const QWidget* widget);

    // Called by the host widget; the close box becomes a 'wind' hit.
    void CloseBoxClicked();
    void Activated();
    void ZoomBoxClicked();
    // Called by the host widget when the window goes from hidden to shown.
    void Shown();

protected:
    // Subclasses that need another host widget (the frame window) pass it in.
    CWindow(const SRect& bounds, uint16_t kind, uint16_t style, QWidget* host);
    // Height of what sits above the content (the menu bar) for a content of the given width.
    virtual int32_t ChromeHeight(int32_t) const { return 0; }

private:
    void Init(const SRect& bounds);
    void AskPlacer();

    QWidget* mWidget;
    QWidget* mContent = nullptr;
    uint16_t mKind;
    uint16_t mStyle;
    uint64_t mActivationStamp = 0;
    uint64_t mFirstOwnKeyPress = 0;
    uint32_t mDefaultHit = 0;
    uint32_t mCancelHit = 0;
    int mModalDepth = 0;
    bool mRunsModally = false;
    std::deque<SHitMsgData> mModalHits;
    SRect mUnzoomedBounds{};
    bool mZoomed = false;
    bool mGrows = false;
    CWindowPlace* mPlace = nullptr;
    bool mPlacerAsked = false;
    // What the window was as a top-level window before it went to a place: its flags and bounds.
    uint32_t mOwnFlags = 0;
    SRect mOwnBounds{};
    int32_t mOwnMinWidth = 0;
    int32_t mOwnMinHeight = 0;
};
