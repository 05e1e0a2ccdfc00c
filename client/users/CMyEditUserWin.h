// The window that edits one account of the server: name, login, password and the 28 access check
// boxes under their section headings. It belongs to its session and reports Save, Cancel and Delete
// as the application's hits.
#pragma once

#include <cstdint>

#include "client/app/CMySessionWin.h"
#include "client/core/SMyUserAccess.h"

class CTextView;
class CCheckBoxView;
class CButtonView;

// One row of the access table: a section heading (bit < 0) or a check box tied to an access bit.
struct SMyAccessRow
{
    const char* label;
    int8_t bit;
};

class CMyEditUserWin : public CMySessionWin
{
public:
    static constexpr uint32_t kRowCount = 34;
    static constexpr uint32_t kCheckBoxCount = 28;
    // The rows in the order the window shows them.
    static const SMyAccessRow kAccessRows[kRowCount];
    // The access a new account starts with: download, upload, read and send chat, read and post news,
    // use any name.
    static const SMyUserAccess kNewAccountAccess;
    // The bits that have a check box; no other bit is ever sent set.
    static SMyUserAccess EditableBits();

    // A new account has an editable login and no Delete; an existing one shows its login read-only.
    explicit CMyEditUserWin(bool isNewAccount);

    bool IsNewAccount() const { return mIsNew; }
    // Length-prefixed texts, null leaves a field as it is.
    void SetInfo(const uint8_t* name, const uint8_t* login, const uint8_t* password);
    // The account has a password that the window does not know: the field stays empty with a hint, and
    // the password counts as kept until the user types in the field.
    void SetPasswordKept();
    bool IsPasswordKept() const { return mPasswordKept; }
    // Each output holds 64 bytes (63 characters).
    void GetInfo(uint8_t* outName, uint8_t* outLogin, uint8_t* outPassword) const;
    // The check boxes from the bytes; bits without a box are not shown and not kept.
    void SetAccess(const SMyUserAccess& access);
    // Only the boxed bits, as marked.
    void GetAccess(SMyUserAccess& outAccess) const;

    CTextView* GetNameField() const { return mName; }
    CTextView* GetLoginField() const { return mLogin; }
    CTextView* GetPasswordField() const { return mPassword; }
    // The check box of an access bit, null for a bit without one.
    CCheckBoxView* GetAccessBox(uint32_t bit) const;
    CButtonView* GetDeleteButton() const { return mDeleteBtn; }

private:
    bool mIsNew;
    bool mPasswordKept = false;
    CTextView* mName = nullptr;
    CTextView* mLogin = nullptr;
    CTextView* mPassword = nullptr;
    CCheckBoxView* mBoxes[kRowCount] = {};
    CButtonView* mSaveBtn = nullptr;
    CButtonView* mCancelBtn = nullptr;
    CButtonView* mDeleteBtn = nullptr;
};
