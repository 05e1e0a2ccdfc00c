// The hidden command window: one line for a command word and its argument, and an Execute button.
#pragma once

#include "framework/ui/CWindow.h"

class CTextView;

class CMySecretWin : public CWindow
{
public:
    enum : uint32_t
    {
        kHitExecute = 1,
    };

    CMySecretWin();

    // outText holds 256 bytes (length-prefixed).
    void GetInfo(uint8_t* outText) const;
    CTextView* GetField() const { return mField; }

private:
    CTextView* mField = nullptr;
};
