#include "client/widgets/CMyTextWin.h"

#include "framework/runtime/UMemory.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"

namespace
{
constexpr uint16_t kStyleTextWin = 21;
constexpr uint16_t kOptionsTextBox = 22;
} // namespace

CMyTextWin::CMyTextWin() : CWindow(SRect{0, 0, 370, 300}, kWindowDocument2, kStyleTextWin)
{
    mTextView = MakeTextBoxView(this, SRect{-2, -2, 372, 302}, kOptionsTextBox, &mScrollView, kTextMultiLine);
    mScrollView->SetSizing(kSizeGrow);
    mTextView->SetReadOnly(true);
}

void CMyTextWin::SetTextHandle(THdlObj* text)
{
    if (!text)
    {
        SetText(nullptr, 0);
        return;
    }
    StHandleLocker lock(text);
    SetText(lock.Data(), UMemory::GetSize(text));
}

void CMyTextWin::SetText(const void* text, uint32_t length)
{
    mTextView->SetText(text, length);
}

void CMyTextWin::AppendText(const void* text, uint32_t length)
{
    mTextView->AppendText(text, length);
}

void CMyTextWin::InsertTextAtStart(const void* text, uint32_t length)
{
    mTextView->InsertTextAtStart(text, length);
}

uint32_t CMyTextWin::GetTextSize() const
{
    return mTextView->GetTextSize();
}

void CMyTextWin::SetTextColor(const SMyColorInfo& colors)
{
    mTextView->SetTextColor(colors.textColor.red, colors.textColor.green, colors.textColor.blue);
    mTextView->SetTextSize(colors.textSize);
    mScrollView->SetBackColor(colors.backColor.red, colors.backColor.green, colors.backColor.blue);
}
