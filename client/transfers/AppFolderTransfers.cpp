// Folder downloads: a server folder, with everything in it, into a local folder.
#include <cstring>

#include "client/app/CMyApplication.h"
#include "client/transfers/CMyDownloadFldrTask.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"

CMyDownloadFldrTask* CMyApplication::DoDownloadFolder(const void* path, uint32_t pathSize,
                                                      const uint8_t* name, TFileSysRefObj* parentFolder,
                                                      bool queued)
{
    if (!mSession.IsConnected() || !name || !name[0] || !parentFolder) return nullptr;
    // The server's name becomes one local name inside the parent, whatever it holds.
    uint8_t localName[256];
    std::memcpy(localName, name, size_t(name[0]) + 1);
    localName[0] = uint8_t(UFileSys::ValidateFileName(localName + 1, localName[0]));
    if (!localName[0]) Fail(kErrTypeFileSys, 119);
    StFileSysRef target(UFileSys::New(parentFolder, nullptr, localName));
    return new CMyDownloadFldrTask(path, pathSize, name, target.Get(), queued);
}
