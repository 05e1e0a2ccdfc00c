// Folder windows: the list of open ones, and filling them as listings and information arrive.
#include "client/app/CMyApplication.h"
#include "client/files/CMyFileListView.h"
#include "client/files/CMyFolderWin.h"
#include "framework/runtime/UMemory.h"

void CMyApplication::ShowFileInfo(const uint8_t*, const uint8_t*, const uint8_t*, int16_t, void* pathData,
                                  uint32_t)
{
    UMemory::Dispose(pathData);
}

bool CMyApplication::FillFolderList(const void* path, uint32_t pathSize, TFieldDataObj* fields)
{
    // A window closed while its listing was on the way is simply not filled.
    for (CMyFolderWin* folder : mFolderWinList)
    {
        if (!folder->IsPathEqual(path, pathSize)) continue;
        folder->View()->DeleteAll();
        folder->View()->AddListFromFields(fields);
        return true;
    }
    return false;
}

void CMyApplication::DoCloseAllFileWindows()
{
    while (CMyFolderWin* folder = mFolderWinList.GetItem(1))
    {
        mFolderWinList.RemoveItem(folder);
        delete folder;
    }
}
