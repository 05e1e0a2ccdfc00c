// The server's agreement, shown before the user may stay connected: Agree or Disagree.
#pragma once

#include "framework/ui/CWindow.h"

struct THdlObj;
class CTextView;

class CMyAgreementWin : public CWindow
{
public:
    enum : uint32_t
    {
        kHitAgree = 1,
        kHitDisagree = 2,
    };

    CMyAgreementWin();
    // Copies the block's bytes; the caller keeps the block.
    void SetTextHdl(THdlObj* text);
    void SetText(const void* text, uint32_t length);
    CTextView* GetTextView() const { return mText; }

    // Runs the window until the user answers; true when the user agreed. Closing the window or the
    // program quitting counts as not agreeing.
    static bool Run(THdlObj* text);

private:
    CTextView* mText = nullptr;
};
