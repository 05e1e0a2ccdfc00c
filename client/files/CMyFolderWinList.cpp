#include "client/files/CMyFolderWinList.h"

#include <algorithm>

#include "client/files/CMyFileListView.h"
#include "client/files/CMyFileTasks.h"
#include "client/files/CMyFolderWin.h"
#include "client/files/CMyNewFolderWin.h"
#include "client/widgets/UMyServerNames.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"

namespace
{
constexpr int16_t kIconFolderWin = 401;

void SetFolderTitle(CMyFolderWin* folder, const uint8_t* name)
{
    uint8_t shown[256];
    UMyServerNames::MakeShowable(name, shown, sizeof(shown));
    folder->SetTitle(shown);
}
} // namespace

CMyFolderWinList::CMyFolderWinList(const CMySession& session) : mSession(session) {}

CMyFolderWinList::~CMyFolderWinList()
{
    CloseAll();
}

CMyFolderWin* CMyFolderWinList::GetByPath(const void* data, uint32_t size, uint32_t checksum) const
{
    if (!data) size = 0;
    if (checksum == 0 && size) checksum = UMemory::Checksum(data, size);
    for (const auto& folder : mFolderWinList)
        if (folder->GetPathSum() == checksum && folder->IsPathEqual(data, size)) return folder.get();
    return nullptr;
}

CMyFolderWin* CMyFolderWinList::GetRoot() const
{
    for (const auto& folder : mFolderWinList)
        if (folder->GetPathSize() == 0) return folder.get();
    return nullptr;
}

CMyFolderWin* CMyFolderWinList::Find(const CWindow* window) const
{
    for (const auto& folder : mFolderWinList)
        if (folder.get() == window) return folder.get();
    return nullptr;
}

bool CMyFolderWinList::GetSelectedItem(const CWindow* window, SMyFolderSelection& outItem) const
{
    CMyFolderWin* folder = Find(window);
    if (!folder) return false;
    const uint8_t* path = folder->GetPathData();
    outItem.path = path ? std::vector<uint8_t>(path, path + folder->GetPathSize()) : std::vector<uint8_t>();
    outItem.isFolder = folder->View()->GetSelectedFileName(outItem.name, &outItem.type);
    if (outItem.type == FourCC("fldr")) outItem.isFolder = true;
    return true;
}

bool CMyFolderWinList::GetSelectedItems(const CWindow* window,
                                        std::vector<SMyFolderSelection>& outItems) const
{
    outItems.clear();
    CMyFolderWin* folder = Find(window);
    if (!folder) return false;
    const uint8_t* path = folder->GetPathData();
    for (const SMyFileListItem* row : folder->View()->GetSelectedItems())
    {
        SMyFolderSelection& item = outItems.emplace_back();
        if (path) item.path.assign(path, path + folder->GetPathSize());
        UPString::Copy(item.name, sizeof(item.name), row->name);
        item.type = row->type;
        item.isFolder = row->type == FourCC("fldr");
    }
    return true;
}

bool CMyFolderWinList::HasPartialUpload(const CWindow* window, const uint8_t* name) const
{
    CMyFolderWin* folder = Find(window);
    return folder && folder->View()->HasPartialFile(name);
}

bool CMyFolderWinList::HasItem(const CWindow* window, const uint8_t* name) const
{
    CMyFolderWin* folder = Find(window);
    return folder && folder->View()->HasItem(name);
}

TFileSysRefObj* CMyFolderWinList::TakeDroppedFile(const CWindow* window) const
{
    CMyFolderWin* folder = Find(window);
    return folder ? folder->View()->GetItemToUpload() : nullptr;
}

CMyFolderWin* CMyFolderWinList::Open(const void* path, uint32_t pathSize, const uint8_t* title,
                                     const SMyUserAccess& access)
{
    auto folder = std::make_unique<CMyFolderWin>();
    folder->SetPath(path, pathSize);
    SetFolderTitle(folder.get(), title);
    folder->SetIcon(kIconFolderWin);
    folder->SetAccess(access);
    mFolderWinList.push_back(std::move(folder));
    CMyFolderWin* opened = mFolderWinList.back().get();
    opened->SetAutoBounds(kPlaceTopLeft, kPlaceMainScreen);
    opened->Show();
    opened->BringToFront();
    return opened;
}

void CMyFolderWinList::Retarget(CMyFolderWin* folder, const void* path, uint32_t pathSize,
                                const uint8_t* title, const SMyUserAccess& access)
{
    folder->SetPath(path, pathSize);
    SetFolderTitle(folder, title);
    folder->View()->DeleteAll();
    folder->SetAccess(access);
}

bool CMyFolderWinList::Close(CWindow* window)
{
    const auto found = std::find_if(mFolderWinList.begin(), mFolderWinList.end(),
                                    [window](const auto& folder) { return folder.get() == window; });
    if (found == mFolderWinList.end()) return false;
    // Out of the list before it goes: its destruction may run code that looks at the list.
    std::unique_ptr<CMyFolderWin> closing = std::move(*found);
    mFolderWinList.erase(found);
    return true;
}

void CMyFolderWinList::CloseAll()
{
    while (!mFolderWinList.empty())
    {
        std::unique_ptr<CMyFolderWin> closing = std::move(mFolderWinList.front());
        mFolderWinList.erase(mFolderWinList.begin());
    }
}

void CMyFolderWinList::ListAgain()
{
    for (const auto& folder : mFolderWinList)
        new CMyRelistFolderTask(folder->GetPathData(), folder->GetPathSize());
}

void CMyFolderWinList::Refresh(const void* path, uint32_t pathSize)
{
    if (!mSession.IsConnected()) return;
    if (CMyFolderWin* folder = GetByPath(path, pathSize))
        new CMyGetFileListTask(folder->GetPathData(), folder->GetPathSize());
}

void CMyFolderWinList::SetAccess(const SMyUserAccess& access)
{
    for (const auto& folder : mFolderWinList)
        folder->SetAccess(access);
}

void CMyFolderWinList::Rename(CWindow* window)
{
    auto* folder = dynamic_cast<CMyFolderWin*>(window);
    if (!folder || !mSession.IsConnected() || !folder->CanRenameSelection()) return;
    uint8_t oldName[256], newName[256];
    folder->View()->GetSelectedFileName(oldName);
    if (!oldName[0]) return;
    // The dialog keeps the connection running: the window may be gone when it ends, its folder is not.
    const uint8_t* at = folder->GetPathData();
    const std::vector<uint8_t> path =
        at ? std::vector<uint8_t>(at, at + folder->GetPathSize()) : std::vector<uint8_t>();
    if (!CMyNewFolderWin::RunRename(oldName, newName)) return;
    // A rename is the information change with a new name and the comment left alone.
    static const uint8_t kNoComment[] = {0};
    new CMySetFileInfoTask(path.empty() ? nullptr : path.data(), uint32_t(path.size()), oldName, newName,
                           kNoComment);
}
