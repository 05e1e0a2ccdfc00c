// Creating and removing items, and reading and writing the contents of files.
#include <cerrno>

#include "framework/files/FileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"
#include "platform/FileHandle.h"
#include "platform/FileSystem.h"

using namespace filesys;

namespace
{
void RequireOpen(TFileSysRefObj* ref)
{
    RequireObject(ref);
    if (ref->fd < 0) Fail(kErrTypeGeneral, 3);
}

// Where a name cannot exist there is nothing to delete.
bool NothingThere(int err)
{
    return err == ENOENT || err == ENOTDIR || err == ENAMETOOLONG || err == EINVAL || err == ELOOP;
}
} // namespace

void UFileSys::CreateFile(TFileSysRefObj* ref, uint32_t /*type*/, uint32_t /*creator*/)
{
    RequireObject(ref);
    // The codes of a local file always come from its name, so there is nowhere to keep them.
    int fd = OpenItem(ref, platform::kOpenRead | platform::kOpenWrite | platform::kOpenCreate |
                               platform::kOpenExclusive);
    platform::CloseFile(fd);
}

void UFileSys::CreateFolder(TFileSysRefObj* ref)
{
    RequireObject(ref);
    StItemPlace place(ref);
    if (place.Error()) FailOSError(place.Error());
    if (int err = platform::MakeFolderAt(place.Folder(), place.Name())) FailOSError(err);
}

void UFileSys::DeleteFile(TFileSysRefObj* ref)
{
    RequireObject(ref);
    if (ref->fd >= 0) Fail(kErrTypeFileSys, 116);
    StItemPlace place(ref);
    if (place.Error())
    {
        if (NothingThere(place.Error())) return;
        FailOSError(place.Error());
    }
    int err = platform::RemoveFileAt(place.Folder(), place.Name());
    if (err && !NothingThere(err)) FailOSError(err);
}

void UFileSys::DeleteFolder(TFileSysRefObj* ref)
{
    RequireObject(ref);
    StItemPlace place(ref);
    if (place.Error())
    {
        if (place.Error() == ENOENT) return;
        FailOSError(place.Error());
    }
    int err = platform::RemoveFolderAt(place.Folder(), place.Name());
    if (err && err != ENOENT) FailOSError(err);
}

void UFileSys::Open(TFileSysRefObj* ref, uint32_t permission)
{
    RequireObject(ref);
    if (ref->fd >= 0) Fail(kErrTypeGeneral, 3);
    uint32_t flags = platform::kOpenRead;
    if (permission & kFSPermWrite)
        flags = (permission & kFSPermRead) ? flags | platform::kOpenWrite : platform::kOpenWrite;
    ref->fd = OpenItem(ref, flags);
}

void UFileSys::Close(TFileSysRefObj* ref)
{
    RequireObject(ref);
    CloseAndClearStates(ref);
}

bool UFileSys::IsOpen(TFileSysRefObj* ref)
{
    RequireObject(ref);
    return ref->fd >= 0;
}

uint32_t UFileSys::Read(TFileSysRefObj* ref, uint64_t offset, void* buffer, uint32_t size)
{
    RequireOpen(ref);
    if (size == 0) return 0;
    RequireObject(buffer);
    uint32_t count = 0;
    if (int err = platform::ReadAt(ref->fd, offset, buffer, size, count)) FailOSError(err);
    return count;
}

uint32_t UFileSys::Write(TFileSysRefObj* ref, uint64_t offset, const void* bytes, uint32_t size)
{
    RequireOpen(ref);
    if (size == 0) return 0;
    RequireObject(bytes);
    if (int err = platform::WriteAt(ref->fd, offset, bytes, size)) FailOSError(err);
    return size;
}

uint64_t UFileSys::GetSize(TFileSysRefObj* ref, uint32_t /*fork*/)
{
    RequireObject(ref);
    uint64_t size = 0;
    if (ref->fd >= 0)
    {
        if (int err = platform::FileSize(ref->fd, size)) FailOSError(err);
        return size;
    }
    int fd = OpenItem(ref, platform::kOpenRead);
    int err = platform::FileSize(fd, size);
    platform::CloseFile(fd);
    if (err) FailOSError(err);
    return size;
}

void UFileSys::SetSize(TFileSysRefObj* ref, uint64_t size)
{
    RequireOpen(ref);
    if (int err = platform::SetFileSize(ref->fd, size)) FailOSError(err);
}

void UFileSys::Flush(TFileSysRefObj* ref)
{
    RequireOpen(ref);
    if (int err = platform::SyncFile(ref->fd)) FailOSError(err);
}

void UFileSys::SetComment(TFileSysRefObj* ref, const void* /*text*/, uint32_t /*size*/, uint32_t /*options*/)
{
    // Local files have no comments to keep.
    RequireObject(ref);
}

void UFileSys::GetTypeAndCreatorCode(TFileSysRefObj* ref, uint32_t& outType, uint32_t& outCreator)
{
    RequireObject(ref);
    std::string name = NameFromNative(LastComponent(ref->path));
    GetTypeAndCreatorFromName(name.data(), uint32_t(name.size()), outType, outCreator);
}
