#include "client/connection/CMyAgreementWin.h"

#include <QLabel>
#include <algorithm>

#include "framework/runtime/UMemory.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/UModalLoop.h"

namespace
{
// The curly quotes are the client's character set's 0xD2 and 0xD3.
constexpr char kAgreementLabel[] =
    "Please read this agreement carefully.  By clicking on the \xD2"
    "Agree\xD3 button, you are agreeing to be bound by the terms of this agreement.";
constexpr uint16_t kOptionsAgreementText = 10;
} // namespace

CMyAgreementWin::CMyAgreementWin() : CMySessionWin(SRect{0, 0, 420, 330}, kWindowModal)
{
    SetTitle("Agreement", 9);
    // The header takes the lines its text needs in the system font (three in some), and the agreement
    // text starts below it.
    auto* header = new CLabelView(this, SRect{10, 10, 410, 46}, kAgreementLabel);
    const int32_t headerBottom = 10 + std::max(36, header->Label()->heightForWidth(400));
    header->SetBounds(SRect{10, 10, 410, headerBottom});
    header->SetSizing(kSizeRight);
    CScrollerView* scroll = nullptr;
    mText = MakeTextBoxView(this, SRect{10, headerBottom + 4, 410, 284}, kOptionsAgreementText, &scroll,
                            kTextMultiLine);
    scroll->SetSizing(kSizeGrow);
    mText->SetReadOnly(true);
    auto* disagree = new CButtonView(this, SRect{236, 297, 316, 319}, "Disagree");
    disagree->SetID(kHitDisagree);
    disagree->SetCancel(true);
    disagree->SetSizing(kSizeStickBottomRight);
    auto* agree = new CButtonView(this, SRect{326, 294, 410, 320}, "Agree");
    agree->SetID(kHitAgree);
    agree->SetDefault(true);
    agree->SetSizing(kSizeStickBottomRight);
    // A long agreement reads better in a larger window.
    MakeResizable();
}

void CMyAgreementWin::SetTextHdl(THdlObj* text)
{
    if (!text) return SetText(nullptr, 0);
    StHandleLocker lock(text);
    SetText(lock.Data(), UMemory::GetSize(text));
}

void CMyAgreementWin::SetText(const void* text, uint32_t length)
{
    mText->SetText(text, length);
}

bool CMyAgreementWin::Run(THdlObj* text, bool* outSessionEnded)
{
    CMyAgreementWin win;
    win.SetCancelHit(kHitDisagree);
    win.SetTextHdl(text);
    win.Place(kPlaceCenterScreen);
    win.Show();
    win.BringToFront();
    const SModalResult result = UModalLoop::RunWindow(
        win, [](uint32_t hit) { return hit == kHitAgree || hit == kHitDisagree || hit == kHitCloseBox; });
    if (outSessionEnded) *outSessionEnded = !win.IsSessionCurrent();
    return result.Is(kHitAgree);
}
