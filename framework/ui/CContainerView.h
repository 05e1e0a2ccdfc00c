// A plain view that holds other views; they follow its size by their sizing flags.
#pragma once

#include "framework/ui/CView.h"

class CContainerView : public CView
{
public:
    CContainerView(SViewParent parent, const SRect& bounds);

protected:
    CContainerView(SViewParent parent, const SRect& bounds, QWidget* widget);
};

// Box styles.
enum : uint16_t
{
    kBoxGroup = 0, // a group box: a frame with its title
    kBoxPlain = 1, // a frame that sets views apart inside a group; its title is not shown
};

// A framed box, with a title when it has one (a group box); it holds views as a container does.
class CBoxView : public CContainerView
{
public:
    CBoxView(SViewParent parent, const SRect& bounds, uint16_t style = 0);
    void SetTitle(const uint8_t* pstring);
    void SetTitle(const void* text, uint32_t length);
    uint16_t GetStyle() const { return mStyle; }

private:
    uint16_t mStyle;
};
