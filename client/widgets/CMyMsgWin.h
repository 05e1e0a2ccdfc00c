// A plain message with an OK button, for texts that need no reply.
#pragma once

#include "framework/ui/CWindow.h"

class CLabelView;
class CButtonView;

class CMyMsgWin : public CWindow
{
public:
    // OK reports `dismissHit`, which the owner answers by destroying the window.
    explicit CMyMsgWin(uint32_t dismissHit);
    void SetAndShowMsg(const void* text, uint32_t length);
    void SetAndShowMsg(const uint8_t* pstring);
    CLabelView* GetLabel() const { return mMsg; }

private:
    CLabelView* mMsg = nullptr;
    CButtonView* mBtnOK = nullptr;
};
