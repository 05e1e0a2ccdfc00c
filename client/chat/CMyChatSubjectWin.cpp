#include "client/chat/CMyChatSubjectWin.h"

#include <algorithm>

#include "framework/ui/CButtonView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CTextView.h"

CMyChatSubjectWin::CMyChatSubjectWin() : CMySessionWin(SRect{0, 0, 320, 136}, kWindowModal)
{
    SetTitle("Chat Subject", 12);
    new CLabelView(this, SRect{10, 10, 310, 30}, "Enter a subject for this chat:");
    mField = new CTextView(this, SRect{10, 40, 310, 66}, kTextSingleLine);
    mField->SetMaxLength(kMaxSubject);
    auto* set = new CButtonView(this, SRect{234, 100, 310, 126}, "Set");
    set->SetID(kHitSet);
    set->SetDefault(true);
    auto* cancel = new CButtonView(this, SRect{154, 103, 224, 123}, "Cancel");
    cancel->SetID(kHitCancel);
    cancel->SetCancel(true);
    mField->SetFocus();
}

void CMyChatSubjectWin::SetInfo(const void* subject, uint32_t length)
{
    mField->SetText(subject, std::min<uint32_t>(length, kMaxSubject));
    mField->SelectAll();
}

void CMyChatSubjectWin::GetInfo(uint8_t* outSubject) const
{
    mField->GetText(outSubject, kMaxSubject);
}
