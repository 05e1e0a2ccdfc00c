#include "client/chat/MyChatViews.h"

#include <string>

#include "client/app/UMyLinks.h"
#include "framework/ui/CFindBar.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/CWindow.h"

namespace
{
constexpr uint16_t kOptionsChatText = 10;
constexpr uint16_t kOptionsSendText = 8;
constexpr uint16_t kChatTextSize = 9;
} // namespace

CTextView* MakeChatTextBox(CWindow* window, const SRect& bounds, CScrollerView** outScroller)
{
    CScrollerView* scroller = nullptr;
    CTextView* text = MakeTextBoxView(window, bounds, kOptionsChatText, &scroller, kTextMultiLine);
    scroller->SetSizing(kSizeGrow);
    text->SetReadOnly(true);
    text->SetTextSize(kChatTextSize);
    UMyLinks::Attach(text);
    CFindBar::Attach(text);
    if (outScroller) *outScroller = scroller;
    return text;
}

CTextView* MakeChatSendBox(CWindow* window, const SRect& bounds, uint32_t viewID, CScrollerView** outScroller)
{
    CScrollerView* scroller = nullptr;
    CTextView* text = MakeTextBoxView(window, bounds, kOptionsSendText, &scroller, kTextMultiLine);
    scroller->SetSizing(kSizeTop | kSizeRight | kSizeBottom);
    text->SetTextSize(kChatTextSize);
    text->SetEnterKeyAction(true);
    // The hit comes from the text view itself: Enter and Enter with a modifier are parts 1 and 2.
    text->SetID(viewID);
    if (outScroller) *outScroller = scroller;
    return text;
}

void AppendChatLine(CTextView* view, const void* text, uint32_t length, const std::vector<STextRun>& runs)
{
    const auto* bytes = static_cast<const uint8_t*>(text);
    if (!bytes || !length) return;
    if (bytes[0] == '\r' && view->IsEmpty())
    {
        ++bytes;
        if (--length == 0) return;
        std::vector<STextRun> shifted;
        for (STextRun run : runs)
        {
            if (run.start == 0 && run.length-- == 0) continue;
            if (run.start > 0) --run.start;
            shifted.push_back(run);
        }
        view->AppendText(bytes, length, shifted);
    }
    else
        view->AppendText(bytes, length, runs);
    if (!view->IsFocus()) view->ScrollToEnd();
}

void AppendChatNote(CTextView* view, const void* text, uint32_t length)
{
    if (!text || !length) return;
    std::string line = "\r";
    line.append(static_cast<const char*>(text), length);
    AppendChatLine(view, line.data(), uint32_t(line.size()), {STextRun{1, length, ETextMark::Dim}});
}

void ApplyChatColors(const SMyColorInfo& colors, std::initializer_list<CTextView*> texts,
                     std::initializer_list<CScrollerView*> scrollers)
{
    for (CTextView* t : texts)
    {
        t->SetTextColor(colors.textColor.red, colors.textColor.green, colors.textColor.blue);
        t->SetTextSize(colors.textSize);
    }
    for (CScrollerView* s : scrollers)
        s->SetBackColor(colors.backColor.red, colors.backColor.green, colors.backColor.blue);
}
