// A check box, or (style 1) a radio-style check box whose group the window manages itself.
#pragma once

#include "framework/ui/CView.h"

class QAbstractButton;

enum : uint16_t
{
    kCheckBoxStyle = 0,
    kRadioStyle = 1,
};

class CCheckBoxView : public CView
{
public:
    CCheckBoxView(SViewParent parent, const SRect& bounds, const char* title = nullptr,
                  uint16_t style = kCheckBoxStyle);
    void SetTitle(const uint8_t* pstring);
    void SetTitle(const void* text, uint32_t length);
    // The style is fixed when the view is made; later calls only record it (the widget differs).
    void SetStyle(uint16_t style) { mStyle = style; }
    uint16_t GetStyle() const { return mStyle; }
    void SetMark(bool mark);
    bool GetMark() const;
    QAbstractButton* Button() const;

private:
    uint16_t mStyle;
};
