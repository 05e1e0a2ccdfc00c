// The dialog that asks for a private chat's new subject. The chat belongs to one session, and so does
// the dialog.
#pragma once

#include "client/app/CMySessionWin.h"

class CTextView;

class CMyChatSubjectWin : public CMySessionWin
{
public:
    enum : uint32_t
    {
        kHitSet = 1,
        kHitCancel = 2,
    };
    static constexpr uint8_t kMaxSubject = 255;

    CMyChatSubjectWin();

    // Puts the subject in, all of it selected so that typing replaces it.
    void SetInfo(const void* subject, uint32_t length);
    // outSubject holds 256 bytes (length-prefixed).
    void GetInfo(uint8_t* outSubject) const;
    CTextView* GetField() const { return mField; }

private:
    CTextView* mField = nullptr;
};
