// A server file's or folder's information: its icon and name, kind, creator, size and dates, and its
// comment. The name and the comment can be edited; Save (usable once either was edited) sends the
// change for the item as it was named when the window opened. The window belongs to its session.
#pragma once

#include <cstdint>
#include <vector>

#include "client/app/CMySessionWin.h"

class CButtonView;
class CIconView;
class CLabelView;
class CTextView;

class CMyFileInfoWin : public CMySessionWin
{
public:
    static constexpr uint32_t kValueCount = 5; // kind, creator, size, created, modified

    CMyFileInfoWin();

    // `info` holds the five values separated by carriage returns (Part of the reply turned into text by
    // the information request); the name and comment are length-prefixed. Nothing counts as edited after.
    void SetInfo(const uint8_t* name, const uint8_t* comment, const uint8_t* info, int16_t icon);
    // The fields as they are now: outName and outComment hold 256 bytes each.
    void GetInfo(uint8_t* outName, uint8_t* outComment) const;
    bool IsNameEdited() const { return mNameEdited; }
    bool IsCommentEdited() const { return mCommentEdited; }
    // Editing either field makes Save usable.
    void SetSaveEnabled(bool enabled);
    bool IsSaveEnabled() const;

    // The folder holding the item (empty for the root) and the item's name when the window opened.
    void SetPath(const void* path, uint32_t size);
    const uint8_t* GetPathData() const { return mPath.empty() ? nullptr : mPath.data(); }
    uint32_t GetPathSize() const { return uint32_t(mPath.size()); }
    void SetOrigName(const uint8_t* name);
    const uint8_t* GetOrigName() const { return mOrigName; }

    CTextView* GetNameField() const { return mName; }
    CTextView* GetCommentField() const { return mComment; }
    // The shown value of row `index` (0 kind … 4 modified), in the program's byte text.
    std::string GetValueText(uint32_t index) const;
    int16_t GetIconID() const { return mIconID; }

private:
    void Edited(bool name);

    CIconView* mIcon = nullptr;
    CTextView* mName = nullptr;
    CTextView* mComment = nullptr;
    CLabelView* mValues[kValueCount] = {};
    CButtonView* mSaveBtn = nullptr;
    std::vector<uint8_t> mPath;
    uint8_t mOrigName[256] = {};
    int16_t mIconID = 0;
    bool mFilling = false;
    bool mNameEdited = false;
    bool mCommentEdited = false;
};
