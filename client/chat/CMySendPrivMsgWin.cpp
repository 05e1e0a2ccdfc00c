#include "client/chat/CMySendPrivMsgWin.h"

#include <QLabel>

#include "framework/ui/CButtonView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/UiText.h"

namespace
{
constexpr uint16_t kOptionsMsgText = 10;
constexpr int32_t kSendPrivMsgWidth = 340, kSendPrivMsgHeight = 210;
} // namespace

CMySendPrivMsgWin::CMySendPrivMsgWin(const uint8_t* userName)
    : CMySessionWin(SRect{0, 0, kSendPrivMsgWidth, kSendPrivMsgHeight}, kWindowModal)
{
    SetTitle("Send Message", 12);
    auto* label = new CLabelView(this, SRect{10, 8, kSendPrivMsgWidth - 10, 40},
                                 "Type a message and click the 'Send' button to send it privately to:");
    label->SetSizing(kSizeRight);
    mName = new CLabelView(this, SRect{20, 42, kSendPrivMsgWidth - 10, 60});
    mName->SetText(userName);
    mName->SetBold(true);
    mName->SetSizing(kSizeRight);
    CScrollerView* scroller = nullptr;
    mText = MakeTextBoxView(this, SRect{10, 64, kSendPrivMsgWidth - 10, kSendPrivMsgHeight - 42},
                            kOptionsMsgText, &scroller, kTextMultiLine);
    auto* send = new CButtonView(this,
                                 SRect{kSendPrivMsgWidth - 86, kSendPrivMsgHeight - 34,
                                       kSendPrivMsgWidth - 10, kSendPrivMsgHeight - 8},
                                 "Send");
    send->SetID(kHitSend);
    send->SetDefault(true);
    auto* cancel = new CButtonView(this,
                                   SRect{kSendPrivMsgWidth - 166, kSendPrivMsgHeight - 31,
                                         kSendPrivMsgWidth - 96, kSendPrivMsgHeight - 11},
                                   "Cancel");
    cancel->SetID(kHitCancel);
    cancel->SetCancel(true);
    // A long message gets room: the box grows with the window, the buttons keep to its corner.
    if (scroller) scroller->SetSizing(kSizeGrow);
    send->SetSizing(kSizeStickBottomRight);
    cancel->SetSizing(kSizeStickBottomRight);
    MakeResizable();
    mText->SetFocus();
}

std::string CMySendPrivMsgWin::GetText() const
{
    return mText->GetText();
}

void CMySendPrivMsgWin::SetText(const void* text, uint32_t length)
{
    mText->SetText(text, length);
}

std::string CMySendPrivMsgWin::GetRecipient() const
{
    return FromQString(mName->Label()->text());
}
