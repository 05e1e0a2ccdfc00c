// The dialog that asks for the name of a new server folder, or for a new name of a server file or folder
// (the same dialog with the old name filled in). Its button is usable exactly when a name was typed. It
// belongs to its session: when the session ends, its loop ends as if cancelled.
#pragma once

#include <cstdint>

#include "client/app/CMySessionWin.h"

class CButtonView;
class CTextView;

class CMyNewFolderWin : public CMySessionWin
{
public:
    enum : uint32_t
    {
        kHitCreate = 1,
        kHitCancel = 2,
        kHitNameChanged = 3,
    };

    // With a name, the dialog renames the item of that name.
    explicit CMyNewFolderWin(const uint8_t* renaming = nullptr);

    void UpdateCreateButton();
    // outName holds 256 bytes.
    void GetName(uint8_t* outName) const;
    CTextView* GetNameField() const { return mName; }
    CButtonView* GetCreateButton() const { return mCreateBtn; }

    // Runs the dialog; true with the name when the user chose Create while the session went on.
    static bool Run(uint8_t* outName);
    // Asks for a new name of `oldName`; true with a name that differs from it.
    static bool RunRename(const uint8_t* oldName, uint8_t* outName);

private:
    static bool RunLoop(CMyNewFolderWin& win, uint8_t* outName);

    CTextView* mName = nullptr;
    CButtonView* mCreateBtn = nullptr;
};
