// The server's agreement, shown before the user may stay connected: Agree or Disagree. It belongs to the
// session that sent it: when that session ends while the agreement is up, it closes unanswered.
#pragma once

#include "client/app/CMySessionWin.h"

struct THdlObj;
class CTextView;

class CMyAgreementWin : public CMySessionWin
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
    // program quitting counts as not agreeing. `outSessionEnded` tells that the session the agreement
    // came with ended meanwhile: its answer is for no session.
    static bool Run(THdlObj* text, bool* outSessionEnded = nullptr);

private:
    CTextView* mText = nullptr;
};
