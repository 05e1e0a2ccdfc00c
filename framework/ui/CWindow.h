// A window of the toolkit: a Qt top-level widget that reports its hits through the application queue.
#pragma once

#include <cstdint>

#include "framework/runtime/CVoidPtrList.h"
#include "framework/ui/Geometry.h"
#include "framework/ui/SHitMsgData.h"

class QWidget;

enum : uint16_t
{
    kWindowDocument = 1, // an ordinary window of the document layer
    kWindowModal = 2,    // a modal dialog, run with ProcessModal
    kWindowFrame = 3,    // the program's main window with the menu bar
};

// Automatic placement codes: where the toolkit puts a window that has no saved rectangle.
enum : uint16_t
{
    kPlaceTopLeft = 2,
    kPlaceCenterScreen = 5,
    kPlaceTopRight = 6,
    kPlaceTopCenter = 7,
    kPlaceBottomLeft = 8,
    kPlaceBottomRight = 9,
};

class CWindow
{
public:
    CWindow(const SRect& bounds, uint16_t kind);
    virtual ~CWindow();
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    uint16_t GetKind() const { return mKind; }
    void SetTitle(const uint8_t* pstring);
    void SetTitle(const void* text, uint32_t length);
    void SetIcon(int16_t iconID);
    void Show();
    void Hide();
    bool IsVisible() const;
    void BringToFront();
    void GetBounds(SRect& outBounds) const;
    void SetBounds(const SRect& bounds);
    void SetLimits(int32_t minWidth, int32_t minHeight, int32_t maxWidth, int32_t maxHeight);
    void Place(uint16_t placementCode);

    // Hits of a window in a modal loop go to that loop; all others travel through the queue to
    // CApplication::WindowHitHandler.
    void Hit(const SHitMsgData& hit);
    void Hit(uint32_t id, uint16_t part = 0, uint16_t mods = 0);
    // Runs the window's modal loop until one of its views reports a hit; returns the hit id.
    uint32_t ProcessModal(SHitMsgData* outHit = nullptr);

    // Return presses the default button and Escape the cancel button: they report these hit ids
    // (0 = none).
    void SetDefaultHit(uint32_t id) { mDefaultHit = id; }
    void SetCancelHit(uint32_t id) { mCancelHit = id; }
    uint32_t GetCancelHit() const { return mCancelHit; }
    // Called by the host widget for keys that no view took; true when the key meant something.
    bool HandleUnusedKey(int qtKey);

    QWidget* Widget() const { return mWidget; }

    static uint32_t GetWindowCount();
    static CWindow* GetWindow(uint32_t index);
    // The front-most visible window of the document layer, or null.
    static CWindow* GetFrontWindow();
    static CWindow* FromWidget(const QWidget* widget);

    // Called by the host widget; the close box becomes a 'wind' hit.
    void CloseBoxClicked();
    void Activated();

protected:
    // Subclasses that need another host widget (the frame window) pass it in.
    CWindow(const SRect& bounds, uint16_t kind, QWidget* host);

private:
    void Init(const SRect& bounds);

    QWidget* mWidget;
    uint16_t mKind;
    uint64_t mActivationStamp = 0;
    uint32_t mDefaultHit = 0;
    uint32_t mCancelHit = 0;
    int mModalDepth = 0;
    bool mHasModalHit = false;
    SHitMsgData mModalHit{};
};
