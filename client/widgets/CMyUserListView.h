// The users online (or in a private chat): one row per user in the server's order, the name coloured by
// the user's flags.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "framework/ui/CListView.h"

struct TFieldDataObj;

struct SMyUserListItem
{
    int16_t icon;
    uint16_t id;
    uint16_t flags;
    uint8_t name[64]; // length-prefixed, at most 63 characters
};

class CMyUserListView : public CListView
{
public:
    static constexpr int32_t kRowHeight = 19;
    static constexpr int16_t kDefaultUserIcon = 414;

    CMyUserListView(SViewParent parent, const SRect& bounds);
    ~CMyUserListView() override;

    // One row per user entry field; an icon id of 0 in an entry shows the default user icon.
    void AddListFromFields(TFieldDataObj* fields);
    // The whole list again from a reply, as when the list of the server arrives.
    void SetUsersFromFields(TFieldDataObj* fields);
    // The icon id is used as given. Names are cut to 63 characters.
    void AddUser(uint16_t id, int16_t iconID, uint16_t flags, const void* name, uint32_t length);
    // outOldName (optional) gets the former name whole, as the row kept it: comparing it with the new
    // name cut the same way tells a rename from a change of icon or flags. False if no row has the id.
    bool UpdateUser(uint16_t id, int16_t iconID, uint16_t flags, const void* name, uint32_t length,
                    uint8_t (*outOldName)[64] = nullptr);
    // outName (optional) holds 64 bytes.
    bool DeleteUserByID(uint16_t id, uint8_t* outName = nullptr);
    void DeleteAll();

    const SMyUserListItem* GetItem(uint32_t row) const;
    uint32_t FindUser(uint16_t id) const;
    // 0 without a selection; outName (optional) holds 32 bytes and gets the name cut to 31.
    uint16_t GetSelectedUserID(uint8_t* outName = nullptr) const;
    uint32_t SearchNames(const uint8_t* text) const;

    void SetSelectionProc(std::function<void()> proc) { mSelectionProc = std::move(proc); }

    // Both flag bits: pink; bit 0: grey; bit 1: red; neither: the theme's text colours.
    static QColor NameColor(uint16_t flags, bool selectedAndActive, const QPalette& palette);

    // Row texts for a screen reader.
    QString GetItemDescription(uint32_t row) const override;

protected:
    void DrawItem(QPainter& painter, const QRect& rowRect, uint32_t row, bool selected, bool active) override;
    void SelectionChanged() override;
    void HandleDrag(uint32_t row) override;

private:
    static SMyUserListItem MakeItem(uint16_t id, int16_t iconID, uint16_t flags, const void* name,
                                    uint32_t length);
    void Append(const SMyUserListItem& item);

    // Rows are owned through plain pointers and their ids kept beside them: a user who leaves a long
    // list moves one pointer per row behind it (a plain move, even in a debug build), and finding a
    // user scans a compact array of ids.
    std::vector<std::unique_ptr<SMyUserListItem>> mUserList;
    std::vector<uint16_t> mIDs;
    std::function<void()> mSelectionProc;
};
