// A static text, wrapped to its width.
#pragma once

#include "framework/ui/CView.h"

class QLabel;

class CLabelView : public CView
{
public:
    CLabelView(SViewParent parent, const SRect& bounds, const char* text = nullptr);
    void SetText(const uint8_t* pstring);
    void SetText(const void* text, uint32_t length);
    void SetBold(bool bold);
    QLabel* Label() const;
};
