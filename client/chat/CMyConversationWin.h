// The private messages one user sent in this session, one after the other, in a tab of the main window:
// each with the time it came and the message of the user's own it answers. Reply answers the latest one
// as a message window's Reply does.
#pragma once

#include <cstdint>
#include <string>

#include "framework/ui/CWindow.h"

class CTextView;
class CScrollerView;
class CButtonView;

class CMyConversationWin final : public CWindow
{
public:
    // `userName` is length-prefixed.
    CMyConversationWin(uint32_t session, uint16_t userID, const uint8_t* userName);
    ~CMyConversationWin() override;

    // The conversation with that user in that session, or null.
    static CMyConversationWin* Find(uint32_t session, uint16_t userID);
    static uint32_t CountOpen();
    // The conversation opened last, or null.
    static CMyConversationWin* Latest();

    // A message that came: "Sent:" and the time now, what it answers (may be empty) and the message.
    void AddMessage(const std::string& text, const std::string& quote, bool isAutomatic);
    // A message of the user's own that went to this user.
    void AddOwnMessage(const std::string& text);
    // The latest message that came, for quoting it in a reply.
    const std::string& GetMessage() const { return mLastMessage; }
    // The conversation keeps at most this many lines.
    void SetScrollback(uint32_t lines);

    bool KeyDown(const SKeyMsgData& key) override;

    CTextView* GetTextView() const { return mTextView; }
    CButtonView* GetReplyButton() const { return mReplyBtn; }
    uint32_t Session() const { return mSession; }
    uint16_t UserID() const { return mUserID; }
    const uint8_t* UserName() const { return mUserName; }

private:
    void Append(const std::string& header, const std::string& text);

    CTextView* mTextView = nullptr;
    CScrollerView* mTextScroll = nullptr;
    CButtonView* mReplyBtn = nullptr;
    uint32_t mSession;
    uint16_t mUserID;
    uint8_t mUserName[64] = {};
    std::string mLastMessage;
};
