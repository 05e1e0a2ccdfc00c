// A private message (or broadcast) received: the message, optionally the user's own message it answers,
// when it arrived, and OK and Reply buttons.
#pragma once

#include <string>

#include "framework/ui/CWindow.h"

struct THdlObj;
class CTextView;
class CScrollerView;
class CLabelView;
class CButtonView;

class CMyPrivMsgWin : public CWindow
{
public:
    explicit CMyPrivMsgWin(bool noReplyButton = false);

    // Shows the message; the window grows to show up to 250 pixels of it.
    void SetTextHandle(THdlObj* text);
    void SetText(const void* text, uint32_t length);
    // Shows the quoted message above the answer; the window grows by 110 pixels.
    void SetQuotHandle(THdlObj* text);
    void SetQuotText(const void* text, uint32_t length);
    void ShowDateAndTime();

    bool KeyDown(const SKeyMsgData& key) override;

    CTextView* GetTextView() const { return mTextView; }
    CTextView* GetQuotView() const { return mQuotView; }
    CButtonView* GetReplyButton() const { return mReplyBtn; }
    bool IsQuoteShown() const;
    // The message's bytes as they arrived, for quoting them in a reply.
    const std::string& GetMessage() const { return mMessage; }

    uint16_t mUserID = 0;
    uint8_t mUserName[64] = {}; // length-prefixed
    // The session the message came in: user ids mean nothing in another.
    uint32_t mSession = 0;

private:
    CTextView* mTextView = nullptr;
    CTextView* mQuotView = nullptr;
    CScrollerView* mTextScroll = nullptr;
    CScrollerView* mQuotScroll = nullptr;
    CButtonView* mReplyBtn = nullptr;
    CButtonView* mOKBtn = nullptr;
    CLabelView* mQuotLabel = nullptr;
    CLabelView* mMsgLabel = nullptr;
    CLabelView* mDateTimeLabel = nullptr;
    std::string mMessage;
};
