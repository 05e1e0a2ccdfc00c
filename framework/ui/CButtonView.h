// A push button; as the default button Return presses it, as the cancel button Escape does.
#pragma once

#include "framework/ui/CView.h"

class QPushButton;

class CButtonView : public CView
{
public:
    CButtonView(SViewParent parent, const SRect& bounds, const char* title = nullptr);
    void SetTitle(const uint8_t* pstring);
    void SetTitle(const void* text, uint32_t length);
    // The window's default hit becomes this button's id (set the id first).
    void SetDefault(bool isDefault);
    void SetCancel(bool isCancel);
    QPushButton* Button() const;
};
