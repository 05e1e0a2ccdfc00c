#include "client/files/UMyDragOut.h"

#include "client/app/CMyApplication.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/UPString.h"
#include "framework/ui/UFileDialogs.h"

namespace
{
UMyDragOut::FolderChooser gFolderChooser = nullptr;

// The name the download will have on disk, as the files layer maps it.
std::string LocalName(const uint8_t* name)
{
    uint8_t valid[256];
    UPString::Copy(valid, name);
    valid[0] = uint8_t(UFileSys::ValidateFileName(valid + 1, valid[0]));
    if (!valid[0]) return {};
    StFileSysRef root(UFileSys::NewFromNativePath("/", 1));
    StFileSysRef ref(UFileSys::New(root.Get(), nullptr, valid));
    const std::string path = UFileSys::GetNativePath(ref.Get());
    return path.substr(path.rfind('/') + 1);
}
} // namespace

SDragPromise UMyDragOut::MakePromise(const std::vector<uint8_t>& path, const uint8_t* name, bool isFolder)
{
    SDragPromise promise;
    try
    {
        promise.suggestedName = LocalName(name);
    }
    catch (...)
    {
        return {};
    }
    if (promise.suggestedName.empty()) return {};
    std::vector<uint8_t> serverName(name, name + name[0] + 1);
    const uint32_t session = gApp->Features().Session().Serial();
    promise.proc = [path, serverName, isFolder, session](const std::string& folder,
                                                         const std::string&) -> char {
        return DownloadInto(path, serverName.data(), isFolder, folder, session) ? kPromiseSaved
                                                                                : kPromiseError;
    };
    return promise;
}

bool UMyDragOut::DownloadInto(const std::vector<uint8_t>& path, const uint8_t* name, bool isFolder,
                              const std::string& folder, uint32_t session)
{
    if (!gApp || !gApp->Features().Session().IsCurrent(session) || !gApp->Features().Session().IsConnected())
        return false;
    // A drag target's request arrives inside the toolkit's drag: nothing may be thrown through it.
    try
    {
        StFileSysRef local(UFileSys::NewFromNativePath(folder.data(), uint32_t(folder.size())));
        const void* pathData = path.empty() ? nullptr : path.data();
        return gApp->Features().FolderWins().DownloadDraggedOut(pathData, uint32_t(path.size()), name,
                                                                local.Get(), isFolder);
    }
    catch (...)
    {
        return false;
    }
}

void UMyDragOut::DownloadTo(const std::vector<uint8_t>& path, const std::vector<SItem>& items)
{
    if (!gApp || items.empty()) return;
    // The question runs a loop of its own: the session may end and the folder window close meanwhile,
    // so everything needed afterwards was copied, and the downloads go only to the session that asked.
    const uint32_t session = gApp->Features().Session().Serial();
    std::string folder;
    const bool chosen = gFolderChooser ? gFolderChooser(folder) : UFileDialogs::SelectFolder(folder);
    if (!chosen || folder.empty()) return;
    for (const SItem& item : items)
        DownloadInto(path, item.name.data(), item.isFolder, folder, session);
}

void UMyDragOut::SetFolderChooser(FolderChooser chooser)
{
    gFolderChooser = chooser;
}
