#include "client/chat/CMyConversationWin.h"

#include <QPushButton>
#include <algorithm>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/app/UMyLinks.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/UDateTime.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CFindBar.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"

namespace
{
constexpr uint16_t kStyleConversation = kWindowCloseBox | kWindowResizable;
constexpr uint16_t kConversationTextBox = 10;
constexpr int32_t kConversationWidth = 380, kConversationHeight = 280;

std::vector<CMyConversationWin*> gAll;
} // namespace

CMyConversationWin::CMyConversationWin(uint32_t session, uint16_t userID, const uint8_t* userName)
    : CWindow(SRect{0, 0, kConversationWidth, kConversationHeight}, kWindowDocument2, kStyleConversation),
      mSession(session), mUserID(userID)
{
    UPString::Copy(mUserName, userName);
    SetLimits(250, 150, 0x7FFF, 0x7FFF);
    uint8_t title[128];
    title[0] = uint8_t(UText::Format(title + 1, 127, "Messages: %#s", mUserName));
    SetTitle(title);
    mTextView = MakeTextBoxView(this, SRect{6, 6, kConversationWidth - 6, kConversationHeight - 40},
                                kConversationTextBox, &mTextScroll, kTextMultiLine);
    mTextScroll->SetSizing(kSizeGrow);
    mTextView->SetReadOnly(true);
    UMyLinks::Attach(mTextView);
    CFindBar::Attach(mTextView);
    mReplyBtn = new CButtonView(this,
                                SRect{kConversationWidth - 96, kConversationHeight - 32,
                                      kConversationWidth - 6, kConversationHeight - 8},
                                "Reply...");
    mReplyBtn->SetID(kHitReplyPrivMsg);
    mReplyBtn->SetSizing(kSizeStickBottomRight);
    mReplyBtn->SetDefault(true);
    gAll.push_back(this);
}

CMyConversationWin::~CMyConversationWin()
{
    gAll.erase(std::remove(gAll.begin(), gAll.end(), this), gAll.end());
}

CMyConversationWin* CMyConversationWin::Find(uint32_t session, uint16_t userID)
{
    for (CMyConversationWin* w : gAll)
        if (w->mSession == session && w->mUserID == userID) return w;
    return nullptr;
}

CMyConversationWin* CMyConversationWin::Latest()
{
    return gAll.empty() ? nullptr : gAll.back();
}

uint32_t CMyConversationWin::CountOpen()
{
    return uint32_t(gAll.size());
}

void CMyConversationWin::Append(const std::string& header, const std::string& text)
{
    std::string entry;
    if (!mTextView->IsEmpty()) entry += "\r\r";
    entry += header;
    entry += '\r';
    entry += text;
    // The header reads as the start of a message; the message itself keeps its links.
    const std::vector<STextRun> runs{
        STextRun{mTextView->IsEmpty() ? 0u : 2u, uint32_t(header.size()), ETextMark::Bold}};
    mTextView->AppendText(entry.data(), uint32_t(entry.size()), runs);
}

void CMyConversationWin::AddMessage(const std::string& text, const std::string& quote, bool isAutomatic)
{
    uint8_t date[64];
    const uint32_t n = UDateTime::DateToText(date, 57, UDateTime::kShortDate | UDateTime::kTimeWithSeconds);
    std::string header(reinterpret_cast<const char*>(mUserName + 1), mUserName[0]);
    header += isAutomatic ? " (automatic response) \xD1 Sent: " : " \xD1 Sent: ";
    header.append(reinterpret_cast<const char*>(date), n);
    std::string body;
    if (!quote.empty())
    {
        body = "Reply to your message: \xD2";
        body += quote;
        body += "\xD3\r";
    }
    body += text;
    Append(header, body);
    // An automatic response is not answered, as its message window has no Reply: two absent users
    // would answer each other for ever.
    if (!isAutomatic) mLastMessage = text;
    mReplyBtn->SetEnable(!isAutomatic);
}

void CMyConversationWin::AddOwnMessage(const std::string& text)
{
    uint8_t date[64];
    const uint32_t n = UDateTime::DateToText(date, 57, UDateTime::kShortDate | UDateTime::kTimeWithSeconds);
    std::string header = "You \xD1 Sent: ";
    header.append(reinterpret_cast<const char*>(date), n);
    Append(header, text);
}

void CMyConversationWin::SetScrollback(uint32_t lines)
{
    mTextView->SetLineLimit(lines);
}

bool CMyConversationWin::KeyDown(const SKeyMsgData& key)
{
    if ((key.keyChar == 'r' || key.keyChar == 'R') && !(key.mods & (kModCtrl | kModAlt)) &&
        mReplyBtn->IsEnabled())
    {
        mReplyBtn->Button()->animateClick();
        return true;
    }
    return false;
}
