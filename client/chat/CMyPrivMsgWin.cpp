#include "client/chat/CMyPrivMsgWin.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <algorithm>
#include <cstring>

#include "client/app/AppNumbers.h"
#include "client/app/UMyLinks.h"
#include "client/widgets/MyWindowSizing.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/UDateTime.h"
#include "framework/runtime/UMemory.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CFindBar.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"

namespace
{
constexpr uint16_t kStylePrivMsgWin = 5;
constexpr uint16_t kOptionsMsgBox = 10;
// Wide enough for the time it was sent beside the buttons.
constexpr int32_t kPrivMsgWidth = 400, kPrivMsgHeight = 170;
constexpr int32_t kQuoteHeight = 110;
constexpr int32_t kMaxTextHeight = 250;
constexpr int32_t kChromeAroundText = 74;

// The height the text takes at the view's width, in the view's font.
// The scroller's width is used because a window not shown yet has not laid out its text views.
int32_t TextHeight(CTextView* view, int32_t boxWidth)
{
    QPlainTextEdit* edit = view->TextEdit();
    if (!edit) return 0;
    QTextDocument doc;
    doc.setDefaultFont(edit->font());
    doc.setDocumentMargin(edit->document()->documentMargin());
    doc.setPlainText(edit->toPlainText());
    // Less the frame and a vertical scroll bar.
    doc.setTextWidth(std::max(20, boxWidth - 20));
    return int32_t(doc.size().height()) + 2 * edit->frameWidth();
}
} // namespace

CMyPrivMsgWin::CMyPrivMsgWin(bool noReplyButton)
    : CWindow(SRect{0, 0, kPrivMsgWidth, kPrivMsgHeight}, kWindowDocument2, kStylePrivMsgWin)
{
    SetLimits(250, 120, 0x7FFF, 0x7FFF);
    mQuotLabel = new CLabelView(this, SRect{10, 5, kPrivMsgWidth - 10, 21}, "Your message:");
    mQuotLabel->SetSizing(kSizeRight);
    mQuotView = MakeTextBoxView(this, SRect{10, 22, kPrivMsgWidth - 10, 98}, kOptionsMsgBox, &mQuotScroll,
                                kTextMultiLine);
    mQuotScroll->SetSizing(kSizeRight);
    mQuotView->SetReadOnly(true);
    UMyLinks::Attach(mQuotView);
    mQuotView->SetTextSize(9);
    mMsgLabel = new CLabelView(this, SRect{10, 102, kPrivMsgWidth - 10, 118}, "Reply to your message:");
    mMsgLabel->SetSizing(kSizeRight);
    mQuotLabel->Hide();
    mQuotScroll->Hide();
    mMsgLabel->Hide();

    mTextView = MakeTextBoxView(this, SRect{10, 10, kPrivMsgWidth - 10, 130}, kOptionsMsgBox, &mTextScroll,
                                kTextMultiLine);
    mTextScroll->SetSizing(kSizeGrow);
    mTextView->SetReadOnly(true);
    UMyLinks::Attach(mTextView);
    CFindBar::Attach(mTextView);

    uint8_t date[64];
    const uint32_t n = UDateTime::DateToText(date, 57, UDateTime::kShortDate | UDateTime::kTimeWithSeconds);
    std::string sent = "Sent: ";
    sent.append(reinterpret_cast<const char*>(date), n);
    mDateTimeLabel = new CLabelView(this, SRect{10, 144, kPrivMsgWidth - 206, 164}, sent.c_str());
    QFont small = mDateTimeLabel->Widget()->font();
    small.setPointSize(9);
    mDateTimeLabel->Widget()->setFont(small);
    mDateTimeLabel->SetSizing(kSizeTop | kSizeBottom);
    mDateTimeLabel->Hide();

    mOKBtn = new CButtonView(this, SRect{kPrivMsgWidth - 96, 138, kPrivMsgWidth - 10, 162}, "OK");
    mOKBtn->SetID(kHitDismissMsg);
    mOKBtn->SetSizing(kSizeStickBottomRight);
    mOKBtn->SetDefault(true);
    if (!noReplyButton)
    {
        mReplyBtn =
            new CButtonView(this, SRect{kPrivMsgWidth - 200, 141, kPrivMsgWidth - 120, 161}, "Reply...");
        mReplyBtn->SetID(kHitReplyPrivMsg);
        mReplyBtn->SetSizing(kSizeStickBottomRight);
    }
}

void CMyPrivMsgWin::SetTextHandle(THdlObj* text)
{
    if (!text) return SetText(nullptr, 0);
    StHandleLocker lock(text);
    SetText(lock.Data(), UMemory::GetSize(text));
}

void CMyPrivMsgWin::SetText(const void* text, uint32_t length)
{
    mMessage.assign(static_cast<const char*>(text), text ? length : 0);
    mTextView->SetText(text, length);
    SRect box;
    mTextScroll->GetBounds(box);
    const int32_t needed = std::min(TextHeight(mTextView, box.Width()), kMaxTextHeight);
    if (needed <= box.Height()) return;
    SRect bounds;
    GetBounds(bounds);
    const int32_t quote = IsQuoteShown() ? kQuoteHeight : 0;
    bounds.bottom = bounds.top + needed + kChromeAroundText + quote;
    SetWindowBounds(this, bounds);
}

void CMyPrivMsgWin::SetQuotHandle(THdlObj* text)
{
    if (!text) return SetQuotText(nullptr, 0);
    StHandleLocker lock(text);
    SetQuotText(lock.Data(), UMemory::GetSize(text));
}

void CMyPrivMsgWin::SetQuotText(const void* text, uint32_t length)
{
    mQuotView->SetText(text, length);
    if (IsQuoteShown()) return;
    // The message box's top moves down first; the window's growth then takes its bottom down as far.
    SRect box;
    mTextScroll->GetBounds(box);
    box.top += kQuoteHeight;
    mTextScroll->SetBounds(box);
    SRect bounds;
    GetBounds(bounds);
    bounds.bottom += kQuoteHeight;
    SetWindowBounds(this, bounds);
    mQuotLabel->Show();
    mQuotScroll->Show();
    mMsgLabel->Show();
    SetLimits(250, 230, 0x7FFF, 0x7FFF);
}

bool CMyPrivMsgWin::IsQuoteShown() const
{
    return mQuotScroll->IsVisible();
}

void CMyPrivMsgWin::ShowDateAndTime()
{
    mDateTimeLabel->Show();
}

bool CMyPrivMsgWin::KeyDown(const SKeyMsgData& key)
{
    if (key.keyCode == kKeyEscape)
    {
        CloseBoxClicked();
        return true;
    }
    if ((key.keyChar == 'r' || key.keyChar == 'R') && !(key.mods & (kModCtrl | kModAlt)) && mReplyBtn)
    {
        mReplyBtn->Button()->animateClick();
        return true;
    }
    return false;
}
