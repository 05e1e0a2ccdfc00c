// A button that shows an icon from the data file, with an optional title beside it.
#pragma once

#include <string>

#include "framework/ui/CView.h"

class QToolButton;

class CIconButtonView : public CView
{
public:
    CIconButtonView(SViewParent parent, const SRect& bounds, int16_t iconID, const char* title = nullptr);
    // The usual toolbar-row button: icon, view id and sizing rule in one go.
    static CIconButtonView* Make(SViewParent parent, const SRect& bounds, int16_t iconID, uint32_t id,
                                 uint8_t sizing = 0);
    void SetIcon(int16_t iconID);
    int16_t GetIcon() const { return mIconID; }
    void SetTitle(const uint8_t* pstring);
    void SetTitle(const void* text, uint32_t length);
    // Shown when the pointer rests on the button; without one the title is shown. Mac OS Roman text.
    void SetToolTip(const char* text);
    QToolButton* Button() const;

private:
    void UpdateStyle();
    int16_t mIconID = 0;
    std::string mToolTip;
};
