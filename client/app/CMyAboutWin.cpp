#include "client/app/CMyAboutWin.h"

#include <QFont>
#include <QWidget>
#include <cstring>

#include "client/app/CMyApplication.h"
#include "client/core/SMyStatistics.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CIconView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/UModalLoop.h"

namespace
{
constexpr char kName[] = "Quenvol";
constexpr char kVersion[] = "Version " QUENVOL_VERSION;
constexpr char kAbout[] =
    "The desktop client of the Quenvol service.\r\r"
    "Connect to a Quenvol server to chat with the people there, exchange private messages, read and post "
    "the news, browse the shared folders and download and upload files.  Trackers list the public "
    "servers; bookmarks keep the ones you return to.";

CLabelView* MakeAboutLabel(CWindow* win, const SRect& r, const char* text, int points)
{
    auto* label = new CLabelView(win, r, text);
    QFont f = label->Widget()->font();
    f.setPointSize(points);
    label->Widget()->setFont(f);
    return label;
}
} // namespace

CMyAboutWin::CMyAboutWin() : CWindow(SRect{0, 0, 570, 272}, kWindowModal)
{
    SetTitle("About Quenvol", 13);
    new CPictureView(this, SRect{10, 10, 230, 230}, kPicture);
    MakeAboutLabel(this, SRect{245, 14, 560, 46}, kName, 18)->SetBold(true);
    MakeAboutLabel(this, SRect{245, 50, 560, 68}, kVersion, 9);
    MakeAboutLabel(this, SRect{245, 82, 560, 226}, kAbout, 10);
    mStatus = MakeAboutLabel(this, SRect{10, 237, 415, 261}, nullptr, 9);
    mOK = new CButtonView(this, SRect{496, 237, 562, 263}, "OK");
    mOK->SetID(kHitOK);
    mOK->SetDefault(true);
    mOK->SetCancel(true);
}

void CMyAboutWin::SetStatus(const void* text, uint32_t length)
{
    mStatus->SetText(text, length);
}

uint32_t CMyAboutWin::FormatUsageLine(const SMyStatistics& totals, uint8_t* outText, uint32_t maxSize)
{
    uint8_t down[32], up[32], chat[32], online[32];
    down[0] = uint8_t(UText::SizeToText(totals.totalBytesDownloaded, down + 1, 31, UText::kSizeLessThan1K));
    up[0] = uint8_t(UText::SizeToText(totals.totalBytesUploaded, up + 1, 31, UText::kSizeLessThan1K));
    chat[0] = uint8_t(UText::SizeToText(totals.totalChatBytes, chat + 1, 31, UText::kSizeTenthBelow10K));
    online[0] = uint8_t(UText::SecondsToText(totals.totalSecsOnline, online + 1, 31));
    const uint8_t* word = totals.isLeechMode ? reinterpret_cast<const uint8_t*>("\x07leeched")
                                             : reinterpret_cast<const uint8_t*>("\x0A"
                                                                                "downloaded");
    return UText::Format(outText, maxSize, "%#s %#s, %#s uploaded, %#s chat, %#s online", down, word, up,
                         chat, online);
}

void CMyAboutWin::Run(const SMyStatistics& totals)
{
    uint8_t usage[256];
    const uint32_t n = FormatUsageLine(totals, usage, sizeof(usage));
    CMyAboutWin win;
    win.SetStatus(usage, n);
    win.Place(kPlaceCenterScreen);
    win.Show();
    win.BringToFront();
    UModalLoop::RunWindow(win, [](uint32_t hit) { return hit == kHitOK || hit == kHitCloseBox; });
}
