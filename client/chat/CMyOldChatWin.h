// The public chat window: what everyone says above, what the user types below (Enter sends).
#pragma once

#include <string>

#include "client/core/SMyColorInfo.h"
#include "client/core/SMyUserAccess.h"
#include "framework/ui/CWindow.h"

class CTextView;
class CScrollerView;

class CMyOldChatWin : public CWindow
{
public:
    explicit CMyOldChatWin(const SMyColorInfo& colors = kDefaultColorInfo);

    CTextView* GetChatView() const { return mAllText; }
    CTextView* GetSendView() const { return mSendText; }
    // By the line rule of every conversation (AppendChatLine).
    void AppendChat(const void* text, uint32_t length);
    void ClearChat();
    // What the user typed, line breaks as carriage returns.
    std::string GetSendText() const;
    void ClearSendText();
    // Text colour on both texts, background on both scrollers, and the size of both.
    void SetTextColor(const SMyColorInfo& colors);
    // The conversation keeps at most this many lines (CTextView::SetLineLimit).
    void SetScrollback(uint32_t lines);
    // Typing into the chat needs the right to send chat.
    void SetAccess(const SMyUserAccess& access);

    bool KeyDown(const SKeyMsgData& key) override;

private:
    CTextView* mAllText = nullptr;
    CTextView* mSendText = nullptr;
    CScrollerView* mAllScroll = nullptr;
    CScrollerView* mSendScroll = nullptr;
};
