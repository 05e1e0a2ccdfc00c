// The dialog that asks for the login of the account to open. Run modally; it belongs to its session.
#pragma once

#include <cstdint>

#include "client/app/CMySessionWin.h"

class CTextView;
class CButtonView;

class CMyOpenUserWin : public CMySessionWin
{
public:
    enum : uint32_t
    {
        kHitOpen = 1,
        kHitCancel = 2,
        kHitLoginEdited = 3,
    };
    static constexpr uint8_t kMaxLogin = 31;

    CMyOpenUserWin();

    // "Open" is usable exactly when there is a login.
    void UpdateOpenButton();
    // outLogin holds 32 bytes.
    void GetLogin(uint8_t* outLogin) const;

    CTextView* GetLoginField() const { return mLogin; }
    CButtonView* GetOpenButton() const { return mOpenBtn; }

    // Runs the dialog until Open or Cancel; true with the login when the user chose Open.
    bool Run(uint8_t* outLogin);

private:
    CTextView* mLogin = nullptr;
    CButtonView* mOpenBtn = nullptr;
    CButtonView* mCancelBtn = nullptr;
};
