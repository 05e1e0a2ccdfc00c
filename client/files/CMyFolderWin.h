// A window showing one server folder: its buttons (download, upload, new folder, information, refresh,
// preview, delete), its typed-name search, the column titles that sort it and its file list, in which
// several rows may be selected and a right click offers the commands for them. The application titles it
// after the folder and keeps it in its folder window list.
#pragma once

#include <memory>
#include <vector>

#include "client/core/SMyUserAccess.h"
#include "framework/ui/CWindow.h"

class CListHeaderView;
class CMyFileListView;
struct SMenuEntry;
class CMyTypeSearch;
class CIconButtonView;
class CLabelView;
class CScrollerView;

class CMyFolderWin : public CWindow
{
public:
    static constexpr int32_t kWidth = 250;
    static constexpr int32_t kHeight = 222;

    CMyFolderWin();
    ~CMyFolderWin() override;

    CMyFileListView* View() const { return mList; }

    // The folder's path on the server in the field form (16-bit level count, then the levels); the
    // checksum finds a window quickly and is computed when not given.
    void SetPath(const void* path, uint32_t size);
    void SetPath(const void* path, uint32_t size, uint32_t checksum);
    const uint8_t* GetPathData() const { return mPathData.empty() ? nullptr : mPathData.data(); }
    uint32_t GetPathSize() const { return uint32_t(mPathData.size()); }
    uint32_t GetPathSum() const { return mPathSum; }
    bool IsPathEqual(const void* path, uint32_t size) const;
    // The parent's path with `items` (levels in their field form) appended and `addCount` added to the
    // level count; without a parent it starts from a count of 0.
    static std::vector<uint8_t> MakePath(const void* parentPath, uint32_t parentSize, const void* items,
                                         uint32_t itemsSize, uint16_t addCount);

    // The buttons by the access bytes and the selected row. Without arguments it uses the application's
    // bytes (or the last ones given).
    void SetAccess(const SMyUserAccess& access);
    void SetAccess();

    bool KeyDown(const SKeyMsgData& key) override;
    // Keeps the width and takes the height that shows every row.
    void UserZoom() override;
    void SearchTimer();

    CIconButtonView* GetButton(uint32_t viewID) const;
    CListHeaderView* Header() const { return mHeader; }
    // What a right click on the list offers for the selection now; each entry presses the window's own
    // button or gives its hit, and is disabled where the button is or the access bytes do not allow it.
    std::vector<SMenuEntry> ContextMenuEntries() const;
    // Renaming needs the right of the selected kind (file or folder).
    bool CanRenameSelection() const;

private:
    void StartRowDrag(uint32_t row);

    CMyFileListView* mList = nullptr;
    CScrollerView* mListScroll = nullptr;
    CIconButtonView* mDownloadBtn = nullptr;
    CIconButtonView* mUploadBtn = nullptr;
    CIconButtonView* mNewFolderBtn = nullptr;
    CIconButtonView* mInfoBtn = nullptr;
    CIconButtonView* mRefreshBtn = nullptr;
    CIconButtonView* mPreviewBtn = nullptr;
    CIconButtonView* mDeleteBtn = nullptr;
    CLabelView* mSearchText = nullptr;
    CListHeaderView* mHeader = nullptr;
    std::vector<uint8_t> mPathData;
    uint32_t mPathSum = 0;
    SMyUserAccess mAccess{};
    std::unique_ptr<CMyTypeSearch> mSearch;
};
