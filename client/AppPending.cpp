// Commands whose part of the client is not built yet, grouped by the feature folder they will move to
// (with their behaviour) when that part arrives. Until then the tables can reach them and nothing
// happens. This file is gone when the last feature lands.
#include "client/app/CMyApplication.h"

// ---- tasks: only transfers can be started by hand; they arrive with file transfers.
void CMyApplication::DoStartTask() {}

// ---- transfers
void CMyApplication::DoFileDownload(CWindow*, uint16_t) {}
void CMyApplication::DoFileUpload(CWindow*, uint16_t) {}
void CMyApplication::DoFileUploadFromDrop(CWindow*, const SHitMsgData&) {}
