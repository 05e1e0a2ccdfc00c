#include "client/tracker/CInfoWindow.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <string>

#include "client/core/TrackerRecords.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"

namespace
{
constexpr int32_t kSide = 250;
constexpr uint16_t kTextSize = 10;

const uint8_t* AsBytes(const char* text)
{
    return reinterpret_cast<const uint8_t*>(text);
}
} // namespace

CInfoWindow::CInfoWindow() : CWindow(SRect{0, 0, kSide, kSide}, kWindowDocument2, kWindowCloseBox)
{
    SetTitle("Server Info", 11);
    mText = MakeTextBoxView(this, SRect{-3, -3, kSide + 3, kSide + 3}, kScrollFrame, &mScr, kTextMultiLine);
    mText->SetReadOnly(true);
    mText->SetTextSize(kTextSize);
}

void CInfoWindow::AddText(const uint8_t* label, const void* text, uint32_t length)
{
    if (!text || length == 0) return;
    const std::string labelText(reinterpret_cast<const char*>(label + 1), label[0]);
    std::string added = labelText;
    for (const char* c = static_cast<const char*>(text); c < static_cast<const char*>(text) + length; ++c)
        if (*c == '\r')
            added += labelText;
        else
            added.push_back(*c);
    if (mText->GetTextSize() == 0 && !added.empty() && added[0] == '\r') added.erase(0, 1);
    mText->AppendText(added.data(), uint32_t(added.size()));
    if (QPlainTextEdit* edit = mText->TextEdit())
        edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum());
}

void CInfoWindow::ShowServer(const STrackInfo& s)
{
    AddText(AsBytes("\x0E\r       Name: "), s.Name.data(), uint32_t(s.Name.size()));
    char text[32];
    const uint8_t* a = s.Address;
    uint32_t n = UText::Format(text, sizeof text, "%lu.%lu.%lu.%lu", uint32_t(a[0]), uint32_t(a[1]),
                               uint32_t(a[2]), uint32_t(a[3]));
    AddText(AsBytes("\x0E\r    Address: "), text, n);
    n = UText::Format(text, sizeof text, "%lu", uint32_t(s.Port));
    AddText(AsBytes("\x01:"), text, n);
    AddText(AsBytes("\x01\r"), "Description: ", 13);
    AddText(AsBytes("\x00"), s.Desc.data(), uint32_t(s.Desc.size()));
    SetTitle(s.Name.data(), uint32_t(s.Name.size()));
}
