#include "client/widgets/CMyMsgWin.h"

#include "framework/ui/CButtonView.h"
#include "framework/ui/CContainerView.h"
#include "framework/ui/CIconView.h"
#include "framework/ui/CLabelView.h"

namespace
{
constexpr uint16_t kStyleMsgWin = 0;
}

CMyMsgWin::CMyMsgWin(uint32_t dismissHit) : CWindow(SRect{0, 0, 270, 120}, kWindowDocument2, kStyleMsgWin)
{
    new CIconView(this, SRect{5, 5, 37, 37}, 1001);
    auto* box = new CBoxView(this, SRect{45, 5, 265, 85});
    // Inside the box, in the box's own coordinates: (55, 15, 255, 75) of the window.
    mMsg = new CLabelView(box, SRect{10, 10, 210, 70});
    mBtnOK = new CButtonView(this, SRect{120, 92, 190, 114}, "OK");
    mBtnOK->SetID(dismissHit);
    mBtnOK->SetDefault(true);
    // With one button to press, Escape presses it too, as in any box that only tells.
    SetCancelHit(dismissHit);
}

void CMyMsgWin::SetAndShowMsg(const void* text, uint32_t length)
{
    mMsg->SetText(text, length);
    Show();
}

void CMyMsgWin::SetAndShowMsg(const uint8_t* pstring)
{
    if (pstring)
        SetAndShowMsg(pstring + 1, pstring[0]);
    else
        SetAndShowMsg(nullptr, 0);
}
