// The public chat window: what everyone says above, what the user types below (Enter sends).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "client/core/SMyColorInfo.h"
#include "client/core/SMyUserAccess.h"
#include "framework/ui/CWindow.h"

class CTextView;
class CMyChatEntry;
struct STextRun;
class CScrollerView;

class CMyOldChatWin : public CWindow
{
public:
    explicit CMyOldChatWin(const SMyColorInfo& colors = kDefaultColorInfo);
    ~CMyOldChatWin() override;

    CTextView* GetChatView() const { return mAllText; }
    CTextView* GetSendView() const { return mSendText; }
    // By the line rule of every conversation (AppendChatLine).
    void AppendChat(const void* text, uint32_t length);
    void AppendChat(const void* text, uint32_t length, const std::vector<STextRun>& runs);
    // A line of the client's own between the conversation's lines, greyed ("— connected to ... —").
    void AppendNote(const void* text, uint32_t length);
    void ClearChat();
    // What the user typed, line breaks as carriage returns.
    std::string GetSendText() const;
    void ClearSendText();
    // Text colour on both texts, background on both scrollers, and the size of both.
    void SetTextColor(const SMyColorInfo& colors);
    // The conversation keeps at most this many lines (CTextView::SetLineLimit).
    void SetScrollback(uint32_t lines);
    // Typing into the chat needs the right to send chat, and a connection.
    void SetAccess(const SMyUserAccess& access);
    void SetConnected(bool connected);
    // Up, Down and Tab in the box typed into, and why it is off.
    CMyChatEntry& Entry() const { return *mEntry; }

    bool KeyDown(const SKeyMsgData& key) override;

private:
    CTextView* mAllText = nullptr;
    CTextView* mSendText = nullptr;
    CScrollerView* mAllScroll = nullptr;
    CScrollerView* mSendScroll = nullptr;
    std::unique_ptr<CMyChatEntry> mEntry;
};
