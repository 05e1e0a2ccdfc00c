// Builds a complete window with its tree of views from a window description (see UWinDescription.h).
// The caller then finds views by id to fill them and to give them their commands.
#pragma once

#include <cstdint>

#include "framework/ui/CView.h"

class CWindow;
struct SViewDesc;

class UWinFromRes
{
public:
    // A new hidden window owned by the caller, or null when the description is not acceptable; nothing is
    // built from a description that fails anywhere.
    static CWindow* New(const void* data, uint32_t size);
    // Builds the one view description at the cursor (with its children) inside the parent and moves the
    // cursor past it. False, with nothing built, when it is not acceptable.
    static bool BuildView(SViewParent parent, const uint8_t*& cursor, uint32_t& remaining);
    // Depth-first search from the view itself. A text box answers to its scroller's id with the
    // scroller, never with the text view inside.
    static CView* GetView(CView* view, uint32_t id);
    // The same over the window's views.
    static CView* GetView(CWindow* window, uint32_t id);

private:
    static CView* Build(SViewParent parent, const SViewDesc& desc);
};
