// A frame around one scrolling view (a text or a list), which it keeps filling; the option bits choose
// the scroll bars and the frame.
#pragma once

#include "framework/ui/CView.h"

class CTextView;

// Scroller options.
enum : uint16_t
{
    kScrollHorizontal = 0x01, // a horizontal scroll bar
    kScrollVertical = 0x02,   // a vertical scroll bar
    kScrollAsNeeded = 0x04,   // bars show only when the content needs them
    kScrollFrame = 0x08,      // a sunken frame
    kScrollSizeBox = 0x10,    // room for the size box (the window's own corner serves on Linux)
    kScrollNoFocusRing = 0x40,
};

class CScrollerView : public CView
{
public:
    CScrollerView(SViewParent parent, const SRect& bounds, uint16_t options);
    uint16_t GetOptions() const { return mOptions; }
    // The one view inside, or null.
    CView* GetContent() const;
    void SetBackColor(uint16_t red, uint16_t green, uint16_t blue);
    // Makes the content fill the scroller and gives it the scroll bars of the options.
    void ContentAdded();

private:
    uint16_t mOptions;
};

// A scrolling text box: a scroller with the options holding a text view (multi-line unless the mode
// says otherwise). The view ids and sizing belong to the scroller; the caller sets them.
CTextView* MakeTextBoxView(SViewParent parent, const SRect& bounds, uint16_t options,
                           CScrollerView** outScroller = nullptr, uint16_t mode = 2);
