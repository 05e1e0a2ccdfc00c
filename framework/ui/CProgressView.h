// A progress bar over 32-bit values (transfers count bytes).
#pragma once

#include "framework/ui/CView.h"

class CProgressView : public CView
{
public:
    CProgressView(SViewParent parent, const SRect& bounds);
    void SetValue(uint32_t value);
    void SetMaxValue(uint32_t maxValue);
    uint32_t GetValue() const { return mValue; }
    uint32_t GetMaxValue() const { return mMax; }

private:
    void Update();
    uint32_t mValue = 0;
    uint32_t mMax = 0;
};
