#include "client/news/CMyTextEntryWin.h"

#include "client/boxes/USound.h"
#include "client/boxes/UnencodableBox.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/UModalLoop.h"

namespace
{
constexpr uint16_t kOptionsMessageText = 10;
} // namespace

CMyTextEntryWin::CMyTextEntryWin(const SRect& bounds, const SRect& textBox, const SRect& sendButton,
                                 const SRect& cancelButton)
    : CMySessionWin(bounds, kWindowModal)
{
    CScrollerView* scroller = nullptr;
    mText = MakeTextBoxView(this, textBox, kOptionsMessageText, &scroller, kTextMultiLine);
    auto* send = new CButtonView(this, sendButton, "Send");
    send->SetID(kHitSend);
    send->SetDefault(true);
    auto* cancel = new CButtonView(this, cancelButton, "Cancel");
    cancel->SetID(kHitCancel);
    cancel->SetCancel(true);
    // A long text gets room: the box grows with the window, the buttons keep to its corner.
    if (scroller) scroller->SetSizing(kSizeGrow);
    send->SetSizing(kSizeStickBottomRight);
    cancel->SetSizing(kSizeStickBottomRight);
    MakeResizable();
    mText->SetFocus();
}

std::string CMyTextEntryWin::GetText() const
{
    return mText->GetText();
}

bool CMyTextEntryWin::Run(std::string& outText)
{
    Place(kPlaceCenterScreen);
    Show();
    BringToFront();
    const SModalResult result = UModalLoop::RunWindow(*this,
                                                      [this](uint32_t hit)
                                                      {
                                                          if (hit == kHitCancel || hit == kHitCloseBox)
                                                              return true;
                                                          if (hit != kHitSend) return false;
                                                          // The loop ran the connection: the session may
                                                          // have ended, or another begun.
                                                          if (!IsSessionCurrent()) return true;
                                                          if (!GetText().empty())
                                                              return AskToUseQuestionMarks("Send", mText);
                                                          USound::Beep();
                                                          return false;
                                                      });
    if (!result.Is(kHitSend) || !IsSessionCurrent()) return false;
    outText = GetText();
    return true;
}
