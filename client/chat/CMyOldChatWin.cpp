#include "client/chat/CMyOldChatWin.h"

#include "client/app/AppNumbers.h"
#include "client/chat/CMyChatEntry.h"
#include "client/chat/MyChatViews.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"

namespace
{
constexpr uint16_t kStyleChatWin = 5;
} // namespace

CMyOldChatWin::CMyOldChatWin(const SMyColorInfo& colors)
    : CWindow(SRect{0, 0, 360, 193}, kWindowDocument2, kStyleChatWin)
{
    SetTitle("Chat", 4);
    SetLimits(300, 130, 0x7FFF, 0x7FFF);
    mAllText = MakeChatTextBox(this, SRect{5, 5, 355, 140}, &mAllScroll);
    mSendText = MakeChatSendBox(this, SRect{5, 145, 355, 188}, kHitChatSend, &mSendScroll);
    SetTextColor(colors);
    mEntry = std::make_unique<CMyChatEntry>(mSendText);
    mEntry->SetBlocked(CMyChatEntry::kBlockNoConnection, true);
}

CMyOldChatWin::~CMyOldChatWin() = default;

void CMyOldChatWin::AppendChat(const void* text, uint32_t length)
{
    AppendChatLine(mAllText, text, length);
}

void CMyOldChatWin::AppendChat(const void* text, uint32_t length, const std::vector<STextRun>& runs)
{
    AppendChatLine(mAllText, text, length, runs);
}

void CMyOldChatWin::AppendNote(const void* text, uint32_t length)
{
    AppendChatNote(mAllText, text, length);
}

void CMyOldChatWin::ClearChat()
{
    mAllText->SetText(nullptr, 0);
}

std::string CMyOldChatWin::GetSendText() const
{
    return mSendText->GetText();
}

void CMyOldChatWin::ClearSendText()
{
    mSendText->SetText(nullptr, 0);
}

void CMyOldChatWin::SetTextColor(const SMyColorInfo& colors)
{
    ApplyChatColors(colors, {mAllText, mSendText}, {mAllScroll, mSendScroll});
}

void CMyOldChatWin::SetScrollback(uint32_t lines)
{
    mAllText->SetLineLimit(lines);
}

void CMyOldChatWin::SetAccess(const SMyUserAccess& access)
{
    mEntry->SetBlocked(CMyChatEntry::kBlockNoRight, !access.Has(kAccessCanSendChat));
}

void CMyOldChatWin::SetConnected(bool connected)
{
    mEntry->SetBlocked(CMyChatEntry::kBlockNoConnection, !connected);
}

bool CMyOldChatWin::KeyDown(const SKeyMsgData& key)
{
    if (key.keyCode == kKeyEscape)
    {
        ClearSendText();
        return true;
    }
    return false;
}
