#include "client/chat/CMySecretWin.h"

#include "framework/ui/CButtonView.h"
#include "framework/ui/CTextView.h"

CMySecretWin::CMySecretWin() : CWindow(SRect{0, 0, 180, 116}, kWindowModal)
{
    SetTitle("Secret", 6);
    mField = new CTextView(this, SRect{10, 20, 170, 46}, kTextSingleLine);
    mField->SetMaxLength(255);
    auto* execute = new CButtonView(this, SRect{90, 80, 170, 106}, "Execute");
    execute->SetID(kHitExecute);
    execute->SetDefault(true);
    // No Cancel button: Escape closes it as its close box does.
    SetCancelHit(kHitCloseBox);
    mField->SetFocus();
}

void CMySecretWin::GetInfo(uint8_t* outText) const
{
    mField->GetText(outText, 255);
}
