// Commands whose part of the client is not built yet, grouped by the feature folder they will move to
// (with their behaviour) when that part arrives. Until then the tables can reach them and nothing
// happens. This file is gone when the last feature lands.
#include "client/app/CMyApplication.h"
#include "client/files/CMyFileListView.h"
#include "client/files/CMyFolderWin.h"
#include "framework/files/StFileSysRef.h"
#include "framework/runtime/KeyCommands.h"

// ---- tasks: only transfers can be started by hand; they arrive with file transfers.
void CMyApplication::DoStartTask() {}

// ---- transfers: until file downloads arrive, the download button takes folder rows only, into the
// download folder.
void CMyApplication::DoFileDownload(CWindow* window, uint16_t mods)
{
    auto* folder = dynamic_cast<CMyFolderWin*>(window);
    uint8_t name[256];
    if (!folder || !mIsConnected || !folder->View()->GetSelectedFileName(name) || !name[0]) return;
    static const uint8_t kDownloads[] = "\x09"
                                        "Downloads";
    uint32_t kind = kFSKindMissing;
    StFileSysRef downloads(
        UFileSys::New(kFSProgramFolder, nullptr, kDownloads, kFSFailIfNotFolder | kFSResolveAlias, &kind));
    if (kind == kFSKindMissing) UFileSys::CreateFolder(downloads.Get());
    DoDownloadFolder(folder->GetPathData(), folder->GetPathSize(), name, downloads.Get(),
                     mQueueTransfers || (mods & kModShift));
}
void CMyApplication::DoFileUpload(CWindow*, uint16_t) {}
void CMyApplication::DoFileUploadFromDrop(CWindow*, const SHitMsgData&) {}
