// Folder windows and the file commands given in them: opening folders and their parents, refreshing,
// information, new folders, deleting, moving and aliasing by drops between windows.
#include <cstring>
#include <span>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/boxes/MsgBox.h"
#include "client/boxes/USound.h"
#include "client/core/UMyFileDrop.h"
#include "client/files/CMyFileInfoWin.h"
#include "client/files/CMyFileListView.h"
#include "client/files/CMyFileTasks.h"
#include "client/files/CMyFolderWin.h"
#include "client/files/CMyFolderWinList.h"
#include "client/files/CMyNewFolderWin.h"
#include "client/widgets/UMyServerNames.h"
#include "framework/net/UServerPath.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"
#include "framework/ui/SHitMsgData.h"

namespace
{
// The command key of other systems: the keyboard never sets it, a drop's modifier word may.
constexpr uint16_t kModCommand = 0x0010;
constexpr int16_t kBoxDeleteFile = 140;
constexpr int16_t kBoxDeleteFolder = 147;
constexpr uint32_t kTypeFolder = FourCC("fldr");

std::vector<uint8_t> CopyPath(const CMyFolderWin* folder)
{
    const uint8_t* p = folder->GetPathData();
    return p ? std::vector<uint8_t>(p, p + folder->GetPathSize()) : std::vector<uint8_t>();
}

const uint8_t* DataOrNull(const std::vector<uint8_t>& bytes)
{
    return bytes.empty() ? nullptr : bytes.data();
}

uint16_t LevelCount(const std::vector<uint8_t>& path)
{
    return UServerPath::GetLevelCount(DataOrNull(path), uint32_t(path.size()));
}

// The path without its last level; the count is lowered with it.
std::vector<uint8_t> ParentPath(const std::vector<uint8_t>& path)
{
    const uint16_t count = LevelCount(path);
    const uint32_t keep = UServerPath::GetSize(path.data(), uint32_t(path.size()), count - 1u);
    std::vector<uint8_t> parent(path.begin(), path.begin() + keep);
    parent[0] = uint8_t((count - 1) >> 8);
    parent[1] = uint8_t(count - 1);
    return parent;
}

// Shows the folder of that path: its open window comes forward; otherwise `from` is sent there
// (retarget) or a new window opens, and its listing is asked for.
void ShowFolder(CMyFolderWinList& folders, const SMyUserAccess& access, CMyFolderWin* from, const void* path,
                uint32_t pathSize, const uint8_t* title, bool retarget)
{
    if (CMyFolderWin* open = folders.GetByPath(path, pathSize))
    {
        open->BringToFront();
        return;
    }
    CMyFolderWin* target = from;
    if (retarget)
        folders.Retarget(from, path, pathSize, title, access);
    else
        target = folders.Open(path, pathSize, title, access);
    new CMyGetFileListTask(target->GetPathData(), target->GetPathSize());
}

const uint8_t kFilesTitle[] = "\x05"
                              "Files";
const uint8_t kNoText[] = {0};
const uint8_t kClearComment[] = {1, 0};
} // namespace

CMyFolderWin* CMyApplication::GetFolderWinByPath(const void* data, uint32_t size, uint32_t checksum)
{
    return mFolderWins.GetByPath(data, size, checksum);
}

CMyFolderWin* CMyApplication::GetRootFolderWin()
{
    return mFolderWins.GetRoot();
}

void CMyApplication::DoShowPublicFiles()
{
    if (!mSession.IsConnected()) return;
    if (CMyFolderWin* root = GetRootFolderWin())
    {
        root->BringToFront();
        return;
    }
    mFolderWins.Open(nullptr, 0, kFilesTitle, mSession.Access());
    new CMyGetFileListTask(nullptr, 0);
}

void CMyApplication::DoFileDoubleClick(CWindow* window, uint16_t mods)
{
    auto* folder = dynamic_cast<CMyFolderWin*>(window);
    if (!folder || !mSession.IsConnected()) return;
    uint8_t name[256];
    const bool isFolder = folder->View()->GetSelectedFileName(name);
    if (!name[0]) return;
    if (!isFolder)
    {
        DoFileDownload(folder, 0);
        return;
    }
    // One level: two reserved bytes, then the name with its length byte.
    const std::span<const uint8_t> bytes = UPString::Bytes(name);
    std::vector<uint8_t> level{0, 0, uint8_t(bytes.size())};
    level.insert(level.end(), bytes.begin(), bytes.end());
    const std::vector<uint8_t> path = CMyFolderWin::MakePath(folder->GetPathData(), folder->GetPathSize(),
                                                             level.data(), uint32_t(level.size()), 1);
    ShowFolder(mFolderWins, mSession.Access(), folder, path.data(), uint32_t(path.size()), name,
               (mods & kModAlt) != 0);
}

void CMyApplication::DoFileOpenParent(CWindow* window, uint16_t mods)
{
    // The key command reaches here with whatever window is in front; only a folder window has a parent.
    auto* folder = dynamic_cast<CMyFolderWin*>(window);
    if (!folder || !mSession.IsConnected()) return;
    const std::vector<uint8_t> path = CopyPath(folder);
    const uint16_t count = LevelCount(path);
    if (count == 0) return;
    const bool retarget = (mods & kModAlt) != 0;
    if (count > 1)
    {
        const std::vector<uint8_t> parent = ParentPath(path);
        uint8_t name[256];
        UServerPath::GetTargetName(parent.data(), uint32_t(parent.size()), name, sizeof(name));
        ShowFolder(mFolderWins, mSession.Access(), folder, parent.data(), uint32_t(parent.size()), name,
                   retarget);
        return;
    }
    if (!retarget)
    {
        DoShowPublicFiles();
        return;
    }
    ShowFolder(mFolderWins, mSession.Access(), folder, nullptr, 0, kFilesTitle, true);
}

void CMyApplication::DoFileRefresh(CWindow* window)
{
    auto* folder = dynamic_cast<CMyFolderWin*>(window);
    if (!folder || !mSession.IsConnected()) return;
    new CMyGetFileListTask(folder->GetPathData(), folder->GetPathSize());
}

void CMyApplication::DoCloseAllFileWindows()
{
    mFolderWins.CloseAll();
}

void CMyApplication::DoFileNewFolder(CWindow* window)
{
    auto* folder = dynamic_cast<CMyFolderWin*>(window);
    if (!folder || !mSession.IsConnected() || !mSession.Access().Has(kAccessCanCreateFolders)) return;
    // The dialog keeps the connection running: the window may be gone when it ends, its folder is not.
    const std::vector<uint8_t> path = CopyPath(folder);
    uint8_t name[256];
    if (!CMyNewFolderWin::Run(name)) return;
    new CMyNewFolderTask(DataOrNull(path), uint32_t(path.size()), name);
}

void CMyApplication::DoFileDelete(CWindow* window)
{
    auto* folder = dynamic_cast<CMyFolderWin*>(window);
    if (!folder || !mSession.IsConnected()) return;
    uint8_t name[256];
    uint32_t type = 0;
    folder->View()->GetSelectedFileName(name, &type);
    if (!name[0]) return;
    const bool isFolder = type == kTypeFolder;
    // The same rule as the window's delete button: files and folders have rights of their own.
    if (!mSession.Access().Has(isFolder ? kAccessCanDeleteFolders : kAccessCanDeleteFiles)) return;
    const std::vector<uint8_t> path = CopyPath(folder);
    const uint32_t session = mSession.Serial();
    if (MsgBox(isFolder ? kBoxDeleteFolder : kBoxDeleteFile, name) != 1) return;
    if (!mSession.IsCurrent(session)) return;
    new CMyDeleteFileTask(DataOrNull(path), uint32_t(path.size()), name, isFolder);
}

void CMyApplication::DoFileGetInfo(CWindow* window)
{
    auto* folder = dynamic_cast<CMyFolderWin*>(window);
    if (!folder || !mSession.IsConnected()) return;
    uint8_t name[256];
    folder->View()->GetSelectedFileName(name);
    if (!name[0]) return;
    new CMyGetFileInfoTask(folder->GetPathData(), folder->GetPathSize(), name);
}

void CMyApplication::DoFileSaveInfo(CWindow* window)
{
    auto* info = dynamic_cast<CMyFileInfoWin*>(window);
    if (!info || !info->IsSaveEnabled() || !mSession.IsConnected()) return;
    uint8_t name[256], comment[256];
    info->GetInfo(name, comment);
    if (!name[0])
    {
        USound::Beep();
        return;
    }
    // What the user left alone goes empty, which the server reads as "no change"; a comment the user
    // emptied goes as one 0 byte, which clears it.
    const uint8_t* newName = info->IsNameEdited() ? name : kNoText;
    const uint8_t* newComment = kNoText;
    if (info->IsCommentEdited()) newComment = comment[0] ? comment : kClearComment;
    new CMySetFileInfoTask(info->GetPathData(), info->GetPathSize(), info->GetOrigName(), newName,
                           newComment);
    delete info;
}

void CMyApplication::DoFileMove(CWindow* window, uint16_t mods, const uint8_t* name, const void* path,
                                uint32_t pathSize)
{
    auto* folder = dynamic_cast<CMyFolderWin*>(window);
    if (!folder || !mSession.IsConnected() || !name || !name[0]) return;
    const bool alias = (mods & kModAlt) && (mods & (kModCtrl | kModCommand));
    if (alias)
        new CMyMakeFileAliasTask(name, path, pathSize, folder->GetPathData(), folder->GetPathSize());
    else
        new CMyMoveFileTask(name, path, pathSize, folder->GetPathData(), folder->GetPathSize());
}
