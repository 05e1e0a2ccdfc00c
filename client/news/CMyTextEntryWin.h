// A dialog in which the user writes a text to send (a news article, a broadcast): a text box with Send
// and Cancel. Run modally; it belongs to its session.
#pragma once

#include <string>

#include "client/app/CMySessionWin.h"

class CTextView;

class CMyTextEntryWin : public CMySessionWin
{
public:
    enum : uint32_t
    {
        kHitSend = 1,
        kHitCancel = 2,
    };

    CTextView* GetTextView() const { return mText; }
    // The whole text in the client's character set, lines ending in carriage returns.
    std::string GetText() const;

    // Shows the dialog and runs it until the user sends a text or cancels. Sending nothing beeps and
    // keeps the dialog. False when cancelled, and when the dialog's session ended meanwhile: a text
    // written for one session never goes to another.
    bool Run(std::string& outText);

protected:
    // The subclass makes the text box (in `textBox`) and the two buttons at the given places.
    CMyTextEntryWin(const SRect& bounds, const SRect& textBox, const SRect& sendButton,
                    const SRect& cancelButton);

private:
    CTextView* mText = nullptr;
};
