// The open folder windows, each showing one server folder, in the order they were opened. They belong
// to the session: its end closes them all.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "client/core/CMySession.h"

class CWindow;
class CMyFolderWin;
struct SMyUserAccess;
struct TFileSysRefObj;

// What a folder window offers the transfer commands: its path and its selected item (an empty name
// without a selection).
struct SMyFolderSelection
{
    std::vector<uint8_t> path;
    uint8_t name[256] = {};
    uint32_t type = 0;
    bool isFolder = false;
};

class CMyFolderWinList final : public CMySessionListener
{
public:
    // The session says whether a listing can be asked for.
    explicit CMyFolderWinList(const CMySession& session);
    ~CMyFolderWinList();
    CMyFolderWinList(const CMyFolderWinList&) = delete;
    CMyFolderWinList& operator=(const CMyFolderWinList&) = delete;

    // The window of that path (null and 0 for the root), found by its checksum first (0: computed
    // here); null when none.
    CMyFolderWin* GetByPath(const void* data, uint32_t size, uint32_t checksum = 0) const;
    CMyFolderWin* GetRoot() const;
    uint32_t GetItemCount() const { return uint32_t(mFolderWinList.size()); }
    // The list's window that `window` is; null for any other window, or one closed meanwhile.
    CMyFolderWin* Find(const CWindow* window) const;
    // False when `window` is not one of the list's.
    bool GetSelectedItem(const CWindow* window, SMyFolderSelection& outItem) const;
    // Every selected item of the window, top to bottom (none without a selection); false as above.
    bool GetSelectedItems(const CWindow* window, std::vector<SMyFolderSelection>& outItems) const;
    // The window's listing shows a partly uploaded copy of that name.
    bool HasPartialUpload(const CWindow* window, const uint8_t* name) const;
    // The window's listing shows an item of that name (a partial upload aside).
    bool HasItem(const CWindow* window, const uint8_t* name) const;
    // The next local file dropped on the window; the caller owns it. Null when none is left, or when the
    // window is gone (what remained of the drop went with it).
    TFileSysRefObj* TakeDroppedFile(const CWindow* window) const;
    // 1-based, oldest first; null past the end.
    CMyFolderWin* GetItem(uint32_t index) const
    {
        return index && index <= mFolderWinList.size() ? mFolderWinList[index - 1].get() : nullptr;
    }
    // A new window for that path (its title the folder's name, as it can be shown), listed, shown and in
    // front; its listing is not asked for.
    CMyFolderWin* Open(const void* path, uint32_t pathSize, const uint8_t* title,
                       const SMyUserAccess& access);
    // Sends `folder` to another path, where it keeps its place in the list; a listing still on its way
    // for the old folder finds no window of that path any more and is dropped.
    void Retarget(CMyFolderWin* folder, const void* path, uint32_t pathSize, const uint8_t* title,
                  const SMyUserAccess& access);
    // Destroys the window when it is one of the list's; false otherwise.
    bool Close(CWindow* window);
    void CloseAll();
    void SetAccess(const SMyUserAccess& access);

    // Asks again for the listing of the window showing that path (null and 0 for the root), when one is
    // open and the session can ask, so that a change made there (a finished upload, a move) shows at once.
    void Refresh(const void* path, uint32_t pathSize);

    // Where a row dragged out of a folder window goes: the server item `name` in `path` (null and 0 for
    // the root) downloaded into the local folder `into`. The transfers do it (the front sets the
    // procedure, as no feature includes another); false when nothing started.
    using DownloadProc = std::function<bool(const void* path, uint32_t pathSize, const uint8_t* name,
                                            TFileSysRefObj* into, bool isFolder)>;
    void SetDownloadProc(DownloadProc proc) { mDownload = std::move(proc); }
    bool DownloadDraggedOut(const void* path, uint32_t pathSize, const uint8_t* name, TFileSysRefObj* into,
                            bool isFolder)
    {
        return mDownload && mDownload(path, pathSize, name, into, isFolder);
    }
    // The rename command on the window's selected item: asks for the new name, then tells the server.
    void Rename(CWindow* window);

    void SessionEnded() override { CloseAll(); }
    // The windows stay over a lost connection (SessionPaused does nothing); once it is back each asks
    // for its listing again, and a folder that is gone closes its window.
    void ListAgain();

private:
    DownloadProc mDownload;
    const CMySession& mSession;
    std::vector<std::unique_ptr<CMyFolderWin>> mFolderWinList;
};
