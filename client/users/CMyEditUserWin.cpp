#include "client/users/CMyEditUserWin.h"

#include <QLineEdit>

#include "client/app/AppNumbers.h"
#include "client/widgets/MyDialogLabel.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CCheckBoxView.h"
#include "framework/ui/CContainerView.h"
#include "framework/ui/CTextView.h"

namespace
{
constexpr int32_t kEditUserWidth = 420;
constexpr int32_t kEditUserRowHeight = 18;
constexpr int32_t kBoxTop = 116;
constexpr int32_t kFirstRowTop = kBoxTop + 8;
// The first column ends with the file system rows; the user, broadcast, news, chat and miscellaneous
// sections fill the second.
constexpr uint32_t kFirstColumnRows = 15;
constexpr uint32_t kSecondColumnRows = CMyEditUserWin::kRowCount - kFirstColumnRows;
constexpr int32_t kBoxBottom = kFirstRowTop + int32_t(kSecondColumnRows) * kEditUserRowHeight + 8;
constexpr int32_t kEditUserHeight = kBoxBottom + 44;
constexpr uint16_t kStyleEditUser = 0;
constexpr uint32_t kMaxText = 63;
// Shown in the empty password field of an account whose password the server keeps.
constexpr char kKeptPasswordHint[] = "(unchanged)";
} // namespace

const SMyAccessRow CMyEditUserWin::kAccessRows[kRowCount] = {
    {"File System Maintenance", -1},
    {"Can Download Files", 2},
    {"Can Upload Files", 1},
    {"Can Upload Anywhere", 25},
    {"Can Delete Files", 0},
    {"Can Rename Files", 3},
    {"Can Move Files", 4},
    {"Can Comment Files", 28},
    {"Can Create Folders", 5},
    {"Can Delete Folders", 6},
    {"Can Rename Folders", 7},
    {"Can Move Folders", 8},
    {"Can Comment Folders", 29},
    {"Can View Drop Boxes", 30},
    {"Can Make Aliases", 31},
    {"User Maintenance", -1},
    {"Can Create Users", 14},
    {"Can Delete Users", 15},
    {"Can Read Users", 16},
    {"Can Modify Users", 17},
    {"Can Get User Info", 24},
    {"Can Disconnect Users", 22},
    {"Cannot be Disconnected", 23},
    {"Broadcast", -1},
    {"Can Broadcast", 32},
    {"News", -1},
    {"Can Read News", 20},
    {"Can Post News", 21},
    {"Chat", -1},
    {"Can Read Chat", 9},
    {"Can Send Chat", 10},
    {"Miscellaneous", -1},
    {"Can Use Any Name", 26},
    {"Don't Show Agreement", 27},
};

const SMyUserAccess CMyEditUserWin::kNewAccountAccess = {{0x60, 0x60, 0x0C, 0x20, 0, 0, 0, 0}};

SMyUserAccess CMyEditUserWin::EditableBits()
{
    SMyUserAccess bits{};
    for (const SMyAccessRow& row : kAccessRows)
        if (row.bit >= 0) bits.Set(uint32_t(row.bit), true);
    return bits;
}

CMyEditUserWin::CMyEditUserWin(bool isNewAccount)
    : CMySessionWin(SRect{0, 0, kEditUserWidth, kEditUserHeight}, kWindowDocument2, kStyleEditUser),
      mIsNew(isNewAccount)
{
    SetTitle("Edit User", 9);
    MakeDialogLabel(this, SRect{10, 13, 80, 29}, "Name:");
    MakeDialogLabel(this, SRect{10, 41, 80, 57}, "Login:");
    MakeDialogLabel(this, SRect{10, 69, 80, 85}, "Password:");
    mName = new CTextView(this, SRect{85, 10, kEditUserWidth - 10, 32});
    mLogin = new CTextView(this, SRect{85, 38, kEditUserWidth - 10, 60});
    // Visible on purpose: whoever makes an account has to pass its password on. A password the server
    // keeps is never sent to the window at all.
    mPassword = new CTextView(this, SRect{85, 66, kEditUserWidth - 10, 88});
    for (CTextView* field : {mName, mLogin, mPassword})
    {
        field->SetMaxLength(kMaxText);
        field->SetSizing(kSizeRight);
    }
    mLogin->SetReadOnly(!isNewAccount);
    QObject::connect(mPassword->LineEdit(), &QLineEdit::textEdited,
                     [this]
                     {
                         mPasswordKept = false;
                         mPassword->SetPlaceholder(nullptr);
                     });

    MakeDialogLabel(this, SRect{10, kBoxTop - 18, 200, kBoxTop - 2}, "Access:", true);
    (new CBoxView(this, SRect{10, kBoxTop, kEditUserWidth - 10, kBoxBottom}))->SetSizing(kSizeGrow);
    for (uint32_t i = 0; i < kRowCount; ++i)
    {
        const bool second = i >= kFirstColumnRows;
        const int32_t left = second ? kEditUserWidth / 2 + 5 : 20;
        const int32_t top = kFirstRowTop + int32_t(second ? i - kFirstColumnRows : i) * kEditUserRowHeight;
        const SMyAccessRow& row = kAccessRows[i];
        if (row.bit < 0)
            MakeDialogLabel(this, SRect{left, top + 1, left + 185, top + kEditUserRowHeight}, row.label,
                            true);
        else
            mBoxes[i] = new CCheckBoxView(this, SRect{left + 10, top, left + 190, top + kEditUserRowHeight},
                                          row.label);
    }

    const int32_t bottom = kEditUserHeight - 10;
    mDeleteBtn = new CButtonView(this, SRect{10, bottom - 22, 90, bottom - 2}, "Delete");
    mDeleteBtn->SetID(kHitDeleteEditUser);
    mDeleteBtn->SetEnable(!isNewAccount);
    mDeleteBtn->SetSizing(kSizeTop | kSizeBottom);
    mCancelBtn = new CButtonView(
        this, SRect{kEditUserWidth - 170, bottom - 22, kEditUserWidth - 100, bottom - 2}, "Cancel");
    mCancelBtn->SetID(kHitCancelEditUser);
    mCancelBtn->SetCancel(true);
    mCancelBtn->SetSizing(kSizeStickBottomRight);
    mSaveBtn =
        new CButtonView(this, SRect{kEditUserWidth - 90, bottom - 26, kEditUserWidth - 10, bottom}, "Save");
    mSaveBtn->SetID(kHitSaveEditUser);
    mSaveBtn->SetDefault(true);
    mSaveBtn->SetSizing(kSizeStickBottomRight);
    // Long names and logins read better in a wider window.
    MakeResizable();
    (isNewAccount ? mLogin : mName)->SetFocus();
}

void CMyEditUserWin::SetInfo(const uint8_t* name, const uint8_t* login, const uint8_t* password)
{
    if (name) mName->SetText(name);
    if (login) mLogin->SetText(login);
    if (password)
    {
        mPassword->SetText(password);
        mPasswordKept = false;
        mPassword->SetPlaceholder(nullptr);
    }
}

void CMyEditUserWin::SetPasswordKept()
{
    mPassword->SetText(nullptr, 0);
    mPassword->SetPlaceholder(kKeptPasswordHint);
    mPasswordKept = true;
}

void CMyEditUserWin::GetInfo(uint8_t* outName, uint8_t* outLogin, uint8_t* outPassword) const
{
    if (outName) mName->GetText(outName, kMaxText);
    if (outLogin) mLogin->GetText(outLogin, kMaxText);
    if (outPassword) mPassword->GetText(outPassword, kMaxText);
}

void CMyEditUserWin::SetAccess(const SMyUserAccess& access)
{
    for (uint32_t i = 0; i < kRowCount; ++i)
        if (mBoxes[i]) mBoxes[i]->SetMark(access.Has(uint32_t(kAccessRows[i].bit)));
}

void CMyEditUserWin::GetAccess(SMyUserAccess& outAccess) const
{
    outAccess = SMyUserAccess{};
    for (uint32_t i = 0; i < kRowCount; ++i)
        if (mBoxes[i] && mBoxes[i]->GetMark()) outAccess.Set(uint32_t(kAccessRows[i].bit), true);
}

CCheckBoxView* CMyEditUserWin::GetAccessBox(uint32_t bit) const
{
    for (uint32_t i = 0; i < kRowCount; ++i)
        if (mBoxes[i] && kAccessRows[i].bit == int8_t(bit)) return mBoxes[i];
    return nullptr;
}
