// The dialog in which the user writes a private message to one user: who it goes to, the message, Send
// and Cancel. It belongs to the session in which it opened: the recipient's id means nothing in another.
#pragma once

#include <string>

#include "client/app/CMySessionWin.h"

class CTextView;
class CLabelView;

class CMySendPrivMsgWin : public CMySessionWin
{
public:
    enum : uint32_t
    {
        kHitSend = 1,
        kHitCancel = 2,
    };

    // `userName` is length-prefixed.
    explicit CMySendPrivMsgWin(const uint8_t* userName);

    // What the user wrote, line breaks as carriage returns.
    std::string GetText() const;
    void SetText(const void* text, uint32_t length);
    CTextView* GetTextView() const { return mText; }
    std::string GetRecipient() const;

private:
    CLabelView* mName = nullptr;
    CTextView* mText = nullptr;
};
