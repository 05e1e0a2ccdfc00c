// Commands whose part of the client is not built yet, grouped by the feature folder they will move to
// (with their behaviour) when that part arrives. Until then the tables can reach them and nothing
// happens. This file is gone when the last feature lands.
#include <cstring>

#include "client/app/CMyApplication.h"

// ---- tasks: only transfers can be started by hand; they arrive with file transfers.
void CMyApplication::DoStartTask() {}

// ---- files
void CMyApplication::DoShowPublicFiles() {}
void CMyApplication::DoFileOpenParent(CWindow*, uint16_t) {}
void CMyApplication::DoFileDoubleClick(CWindow*, uint16_t) {}
void CMyApplication::DoFileRefresh(CWindow*) {}
void CMyApplication::DoFileNewFolder(CWindow*) {}
void CMyApplication::DoFileDelete(CWindow*) {}
void CMyApplication::DoFileGetInfo(CWindow*) {}
void CMyApplication::DoFileSaveInfo(CWindow*) {}
void CMyApplication::DoFileInfoEdited(CWindow*) {}
void CMyApplication::DoFileMoveFromDrop(CWindow*, const SHitMsgData&) {}

// ---- transfers
void CMyApplication::DoFilePreview(CWindow*) {}
void CMyApplication::DoFileDownload(CWindow*, uint16_t) {}
void CMyApplication::DoFileUpload(CWindow*, uint16_t) {}
void CMyApplication::DoFileUploadFromDrop(CWindow*, const SHitMsgData&) {}
