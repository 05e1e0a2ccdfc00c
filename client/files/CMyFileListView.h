// The contents of a server folder: one row per file or folder, sorted by name, with its icon and size.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "framework/ui/CListView.h"

struct TFieldDataObj;
struct TFileSysRefObj;
class QMimeData;

struct SMyFileListItem
{
    int16_t icon;
    uint32_t type;     // four-character code as received, first byte most significant
    uint32_t creator;  // likewise
    uint32_t fileSize; // bytes; the item count of a folder
    uint8_t name[256]; // length-prefixed
};

class CMyFileListView : public CListView
{
public:
    static constexpr int32_t kRowHeight = 19;

    CMyFileListView(SViewParent parent, const SRect& bounds);
    ~CMyFileListView() override;

    // One row per file entry field of a folder listing reply; the whole list is sorted again after.
    void AddListFromFields(TFieldDataObj* fields);
    // The listing of a folder fetched again: the rows are replaced, and what was selected stays selected
    // where its name is still there. A command chosen just before the new listing came still finds its
    // item.
    void ReplaceListFromFields(TFieldDataObj* fields);
    void AddItem(uint32_t type, uint32_t creator, uint32_t size, const uint8_t* name);
    void DeleteAll();

    const SMyFileListItem* GetItem(uint32_t row) const;
    // outName holds 256 bytes; it is empty and the type 0 without a selection. True for a folder whose
    // creator is zero.
    bool GetSelectedFileName(uint8_t* outName, uint32_t* outType = nullptr) const;
    bool IsSelectedFolder() const;
    // A partly uploaded copy of exactly that name is on the server.
    bool HasPartialFile(const uint8_t* name) const;
    // A file or folder of exactly that name, a partial upload aside.
    bool HasItem(const uint8_t* name) const;
    // The first row whose name contains the text, ignoring case; 0 when none.
    uint32_t SearchNames(const uint8_t* text) const;

    // Local files dropped on the list wait here until the folder window takes them; the caller owns what
    // it takes (null when none is left).
    TFileSysRefObj* GetItemToUpload();
    uint32_t GetUploadCount() const { return uint32_t(mUploadList.size()); }
    // The drop rules of the list; true when at least one dropped item was used.
    bool Drop(const QMimeData& mime, uint16_t mods);
    static bool CanAcceptDrop(const QMimeData& mime);

    // The rows in the order of the column headers: by name (CompareNames) or by size, folders before
    // files; new rows take their place in that order.
    enum : int
    {
        kSortByName = 0,
        kSortBySize = 1,
    };
    void SetSortOrder(int column, bool ascending);
    int GetSortColumn() const { return mSortColumn; }
    bool IsSortAscending() const { return mSortAscending; }
    // Every selected row, top to bottom.
    std::vector<const SMyFileListItem*> GetSelectedItems() const;

    // The folder window re-evaluates its buttons on every change of the selection.
    void SetSelectionProc(std::function<void()> proc) { mSelectionProc = std::move(proc); }
    // The folder window starts the drag of the selected row.
    void SetDragProc(std::function<void(uint32_t row)> proc) { mDragProc = std::move(proc); }

    // Names compare ignoring case; with an equal common part the shorter name comes first. Names equal
    // but for case compare equal: such rows stay in the order they arrived in.
    static int CompareNames(const uint8_t* name1, const uint8_t* name2);
    static int16_t IconForEntry(uint32_t type, const uint8_t* name);
    // The size column: "-" for an alias, "(n)" for a folder, else the size as text.
    static QString SizeColumnText(const SMyFileListItem& item);
    static QColor NameColor(const SMyFileListItem& item, bool selectedAndActive, const QPalette& palette);

    // Row texts for a screen reader.
    QString GetItemDescription(uint32_t row) const override;

protected:
    void DrawItem(QPainter& painter, const QRect& rowRect, uint32_t row, bool selected, bool active) override;
    void SelectionChanged() override;
    void HandleDrag(uint32_t row) override;

private:
    static bool NameLess(const SMyFileListItem& a, const SMyFileListItem& b);
    bool RowLess(const SMyFileListItem& a, const SMyFileListItem& b) const;
    // Row i + 1 becomes what mFileList[order[i]] was; indexes from oldCount on are new rows.
    void ApplyOrder(const std::vector<uint32_t>& order, uint32_t oldCount);

    std::vector<SMyFileListItem> mFileList;
    std::deque<TFileSysRefObj*> mUploadList;
    std::function<void()> mSelectionProc;
    std::function<void(uint32_t)> mDragProc;
    int mSortColumn = kSortByName;
    bool mSortAscending = true;
};
