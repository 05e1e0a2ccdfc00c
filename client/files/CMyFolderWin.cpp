#include "client/files/CMyFolderWin.h"

#include <algorithm>
#include <cstring>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/files/CMyFileListView.h"
#include "client/files/UMyDragOut.h"
#include "client/widgets/CMyTypeSearch.h"
#include "client/widgets/MyZoomToList.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/UMemory.h"
#include "framework/ui/CContainerView.h"
#include "framework/ui/CIconButtonView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CListHeaderView.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/UClipboard.h"
#include "framework/ui/UDragAndDrop.h"
#include "framework/ui/UPopupMenu.h"

namespace
{
// The command key of other systems; the keyboard layer never sets it, so its shortcut stays unused.
constexpr uint16_t kFolderModCommand = 0x0010;
constexpr uint16_t kStyleFolderWin = 7;
// The column titles sit between the button bar and the list.
constexpr int32_t kListTop = 30 + CListHeaderView::kHeight;
constexpr int32_t kSizeColumnWidth = 70;
constexpr uint32_t kTypeFolderCode = FourCC("fldr");
} // namespace

CMyFolderWin::CMyFolderWin() : CWindow(SRect{0, 0, kWidth, kHeight}, kWindowDocument2, kStyleFolderWin)
{
    SetTitle("Files", 5);
    SetLimits(230, 150, 0x7FFF, 0x7FFF);
    constexpr int32_t R = kWidth;
    (new CBoxView(this, SRect{0, 0, R, 30}))->SetSizing(kSizeRight);
    mDownloadBtn = CIconButtonView::Make(this, {3, 3, 27, 27}, 210, kHitFileDownload);
    mUploadBtn = CIconButtonView::Make(this, {30, 3, 54, 27}, 211, kHitFileUpload);
    mNewFolderBtn = CIconButtonView::Make(this, {57, 3, 81, 27}, 401, kHitFileNewFolder);
    mInfoBtn = CIconButtonView::Make(this, {84, 3, 108, 27}, 215, kHitFileGetInfo);
    mRefreshBtn = CIconButtonView::Make(this, {111, 3, 135, 27}, 205, kHitFileRefresh);
    // A page under a lens: the information icon on this button too left two buttons alike.
    mPreviewBtn = CIconButtonView::Make(this, {138, 3, 162, 27}, 217, kHitFilePreview);
    mDeleteBtn = CIconButtonView::Make(this, {R - 27, 3, R - 3, 27}, 212, kHitFileDelete, kSizeFollowRight);
    mSearchText = new CLabelView(this, SRect{167, 10, R - 32, 24});
    mSearchText->SetSizing(kSizeRight);
    mDownloadBtn->SetToolTip("Download");
    mUploadBtn->SetToolTip("Upload");
    mNewFolderBtn->SetToolTip("New Folder");
    mInfoBtn->SetToolTip("Get Info");
    mRefreshBtn->SetToolTip("Refresh");
    mPreviewBtn->SetToolTip("Preview");
    mDeleteBtn->SetToolTip("Delete");
    mHeader = new CListHeaderView(this, SRect{0, 30, R, kListTop},
                                  {{"Name", 0, false}, {"Size", kSizeColumnWidth, true}});
    mHeader->SetSizing(kSizeRight);
    mListScroll = new CScrollerView(this, SRect{-1, kListTop, R + 1, kHeight + 1},
                                    kScrollVertical | kScrollAsNeeded | kScrollFrame);
    mListScroll->SetSizing(kSizeGrow);
    mList = new CMyFileListView(mListScroll, SRect{0, 0, R + 2, kHeight + 1 - kListTop});
    mList->SetID(kHitFileList);
    mList->SetMultipleSelect(true);
    mListScroll->ContentAdded();
    mHeader->SetSortProc([this](int column, bool ascending) { mList->SetSortOrder(column, ascending); });
    mList->SetContextMenuProc([this](const QPoint& at)
                              { UPopupMenu::Run(mList->Widget(), at, ContextMenuEntries()); });
    mList->SetSelectionProc([this] { SetAccess(); });
    mList->SetDragProc([this](uint32_t row) { StartRowDrag(row); });
    mSearch = std::make_unique<CMyTypeSearch>(
        mSearchText, mList, [this](const uint8_t* text) { return mList->SearchNames(text); });
    mAccess.SetAll();
    SetAccess();
}

CMyFolderWin::~CMyFolderWin()
{
    // The list's widget goes a moment after the window object: nothing may call back into it.
    mList->SetSelectionProc(nullptr);
    mList->SetDragProc(nullptr);
    mList->SetContextMenuProc(nullptr);
    mHeader->SetSortProc(nullptr);
}

void CMyFolderWin::SetPath(const void* path, uint32_t size)
{
    SetPath(path, size, (path && size) ? UMemory::Checksum(path, size) : 0);
}

void CMyFolderWin::SetPath(const void* path, uint32_t size, uint32_t checksum)
{
    if (!path) size = 0;
    const auto* p = static_cast<const uint8_t*>(path);
    mPathData.assign(p, p + size);
    mPathSum = checksum;
}

bool CMyFolderWin::IsPathEqual(const void* path, uint32_t size) const
{
    if (size != mPathData.size()) return false;
    return size == 0 || std::memcmp(path, mPathData.data(), size) == 0;
}

std::vector<uint8_t> CMyFolderWin::MakePath(const void* parentPath, uint32_t parentSize, const void* items,
                                            uint32_t itemsSize, uint16_t addCount)
{
    std::vector<uint8_t> path;
    if (parentPath && parentSize >= 2)
    {
        const auto* p = static_cast<const uint8_t*>(parentPath);
        path.assign(p, p + parentSize);
    }
    else
        path.assign(2, 0);
    if (items && itemsSize)
    {
        const auto* i = static_cast<const uint8_t*>(items);
        path.insert(path.end(), i, i + itemsSize);
    }
    const uint16_t count = uint16_t(((path[0] << 8) | path[1]) + addCount);
    path[0] = uint8_t(count >> 8);
    path[1] = uint8_t(count);
    return path;
}

void CMyFolderWin::SetAccess(const SMyUserAccess& access)
{
    mAccess = access;
    mDownloadBtn->SetEnable(access.Has(kAccessCanDownloadFiles));
    mUploadBtn->SetEnable(access.Has(kAccessCanUploadFiles));
    mNewFolderBtn->SetEnable(access.Has(kAccessCanCreateFolders));
    mInfoBtn->SetEnable(true);
    if (mList->IsSelectedFolder())
    {
        mDeleteBtn->SetEnable(access.Has(kAccessCanDeleteFolders));
        mPreviewBtn->SetEnable(false);
    }
    else
    {
        mDeleteBtn->SetEnable(access.Has(kAccessCanDeleteFiles));
        mPreviewBtn->SetEnable(true);
    }
}

void CMyFolderWin::SetAccess()
{
    SetAccess(gApp ? gApp->Features().Session().Access() : mAccess);
}

CIconButtonView* CMyFolderWin::GetButton(uint32_t viewID) const
{
    for (CIconButtonView* b :
         {mDownloadBtn, mUploadBtn, mNewFolderBtn, mInfoBtn, mRefreshBtn, mPreviewBtn, mDeleteBtn})
        if (b->GetID() == viewID) return b;
    return nullptr;
}

bool CMyFolderWin::CanRenameSelection() const
{
    const SMyFileListItem* item = mList->GetItem(mList->GetFirstSelected());
    return item &&
           mAccess.Has(item->type == kTypeFolderCode ? kAccessCanRenameFolders : kAccessCanRenameFiles);
}

std::vector<SMenuEntry> CMyFolderWin::ContextMenuEntries() const
{
    const bool any = mList->GetSelectedCount() != 0;
    const bool one = mList->GetSelectedCount() == 1;
    auto press = [](CIconButtonView* button) { return [button] { button->Hit(0, 0); }; };
    CMyFolderWin* self = const_cast<CMyFolderWin*>(this);
    std::vector<SMenuEntry> entries;
    entries.push_back({"Download", "", any && mDownloadBtn->IsEnabled(), press(mDownloadBtn)});
    entries.push_back({"Download To...", "", any && mDownloadBtn->IsEnabled(),
                       [self]
                       {
                           std::vector<UMyDragOut::SItem> items;
                           for (const SMyFileListItem* item : self->mList->GetSelectedItems())
                               items.push_back(
                                   {std::vector<uint8_t>(item->name, item->name + item->name[0] + 1),
                                    item->type == kTypeFolderCode});
                           UMyDragOut::DownloadTo(self->mPathData, items);
                       }});
    entries.push_back({"Preview", "", one && mPreviewBtn->IsEnabled(), press(mPreviewBtn)});
    entries.push_back({"Get Info", "", one, press(mInfoBtn)});
    entries.push_back({"Rename", "F2", one && CanRenameSelection(), [self] { self->Hit(kHitFileRename); }});
    entries.push_back({"Delete", "Del", one && mDeleteBtn->IsEnabled(), press(mDeleteBtn)});
    entries.push_back({});
    // The upload button takes a folder with the Alt key held, which many window managers keep for
    // themselves: the folder has an entry of its own here.
    const bool upload = mUploadBtn->IsEnabled();
    entries.push_back({"Upload Files...", "", upload, press(mUploadBtn)});
    entries.push_back({"Upload Folder...", "", upload, [self] { self->mUploadBtn->Hit(0, kModAlt); }});
    entries.push_back({"New Folder", "", mNewFolderBtn->IsEnabled(), press(mNewFolderBtn)});
    entries.push_back({"Copy Name", "", any,
                       [self]
                       {
                           // Several names go one per line (the client's line break; the clipboard
                           // gives the desktop its own).
                           std::string text;
                           for (const SMyFileListItem* item : self->mList->GetSelectedItems())
                           {
                               if (!text.empty()) text += '\r';
                               text.append(reinterpret_cast<const char*>(item->name + 1), item->name[0]);
                           }
                           UClipboard::SetText(text.data(), uint32_t(text.size()));
                       }});
    return entries;
}

bool CMyFolderWin::KeyDown(const SKeyMsgData& key)
{
    // Delete and F2 act on one selected row, as the buttons and the menu do.
    if (key.keyCode == kKeyDelete && !key.mods)
    {
        if (mList->GetSelectedCount() == 1 && mDeleteBtn->IsEnabled()) mDeleteBtn->Hit(0, 0);
        return true;
    }
    if (key.keyCode == kKeyF1 + 1 && !key.mods)
    {
        if (mList->GetSelectedCount() == 1 && CanRenameSelection()) Hit(kHitFileRename);
        return true;
    }
    if ((key.keyChar == 'i' || key.keyCode == 'I') && (key.mods & kFolderModCommand))
    {
        mInfoBtn->Hit(0, key.mods);
        return true;
    }
    return mSearch->KeyDown(key);
}

void CMyFolderWin::SearchTimer()
{
    mSearch->SearchNow();
}

void CMyFolderWin::UserZoom()
{
    ZoomToList(this, mList, 150, kListTop);
}

void CMyFolderWin::StartRowDrag(uint32_t row)
{
    const SMyFileListItem* item = mList->GetItem(row);
    if (!item) return;
    const bool isFolder = item->type == FourCC("fldr");
    std::vector<SDragFlavor> flavors;
    flavors.push_back(
        {FourCC("QVFN"), std::string(reinterpret_cast<const char*>(item->name + 1), item->name[0])});
    flavors.push_back({FourCC("ISDR"), std::string(1, isFolder ? '\1' : '\0')});
    if (!mPathData.empty())
        flavors.push_back(
            {FourCC("QVFP"), std::string(reinterpret_cast<const char*>(mPathData.data()), mPathData.size())});
    // The same drag goes to another folder window (the flavours) or out to a local folder (the promise).
    const SDragPromise promise = UMyDragOut::MakePromise(mPathData, item->name, isFolder);
    UDragAndDrop::StartDrag(mList, flavors, promise.proc ? &promise : nullptr);
}
