// A plain message with an OK button, for texts that need no reply.
#pragma once

#include "framework/ui/CWindow.h"

class CLabelView;
class CButtonView;

class CMyMsgWin : public CWindow
{
public:
    CMyMsgWin();
    void SetAndShowMsg(const void* text, uint32_t length);
    void SetAndShowMsg(const uint8_t* pstring);
    CLabelView* GetLabel() const { return mMsg; }

private:
    CLabelView* mMsg = nullptr;
    CButtonView* mBtnOK = nullptr;
};
