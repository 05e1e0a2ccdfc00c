// Names of references and items, renaming and moving, and the name rules of local and server names.
#include <cstring>

#include "framework/files/FileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UPString.h"
#include "platform/FileSystem.h"

using namespace filesys;

namespace
{
// A new name for an existing item: one level, never "." or "..".
std::string NewItemName(const uint8_t* name)
{
    if (!name || name[0] == 0) Fail(kErrTypeGeneral, 2);
    if (std::memchr(name + 1, '/', name[0]) || std::memchr(name + 1, 0, name[0])) Fail(kErrTypeFileSys, 119);
    std::string native = NameToNative(name + 1, name[0]);
    if (native == "." || native == "..") Fail(kErrTypeFileSys, 119);
    return native;
}
} // namespace

void UFileSys::GetName(TFileSysRefObj* ref, uint8_t* outName)
{
    RequireObject(ref);
    RequireObject(outName);
    const std::string name = NameFromNative(LastComponent(ref->path));
    UPString::SetBytes(outName, 256, name.data(), uint32_t(name.size()));
}

void UFileSys::SetRefName(TFileSysRefObj* ref, const uint8_t* name)
{
    RequireObject(ref);
    std::string native = NewItemName(name);
    std::string path = JoinPath(ParentPath(ref->path), native);
    if (path.size() > kFSMaxPathSize) Fail(kErrTypeFileSys, 104);
    ref->path = std::move(path);
}

void UFileSys::SetName(TFileSysRefObj* ref, const uint8_t* name)
{
    RequireObject(ref);
    std::string native = NewItemName(name);
    std::string path = JoinPath(ParentPath(ref->path), native);
    if (path.size() > kFSMaxPathSize) Fail(kErrTypeFileSys, 104);
    StItemPlace place(ref);
    if (place.Error()) FailOSError(place.Error());
    // Renaming over an existing item would silently destroy it.
    const std::string to = place.Folder() == platform::kNoFolderFD ? path : native;
    if (int err = platform::RenameAt(place.Folder(), place.Name(), place.Folder(), to, false))
        FailOSError(err);
    ref->path = std::move(path);
}

void UFileSys::MoveAndRename(TFileSysRefObj* ref, TFileSysRefObj* folder, const uint8_t* name)
{
    RequireObject(ref);
    if (!IsSpecialFolder(folder)) RequireObject(folder);
    std::string native = name && name[0] ? NewItemName(name) : LastComponent(ref->path);
    std::string path = JoinPath(BasePath(folder), native);
    if (path.size() > kFSMaxPathSize) Fail(kErrTypeFileSys, 104);
    std::string confinedTo = IsSpecialFolder(folder) ? std::string() : folder->confinedTo;
    StItemPlace from(ref);
    if (from.Error()) FailOSError(from.Error());
    StItemPlace to(path, confinedTo);
    if (to.Error()) FailOSError(to.Error());
    if (int err = platform::RenameAt(from.Folder(), from.Name(), to.Folder(), to.Name(), false))
        FailOSError(err);
    ref->path = std::move(path);
    ref->confinedTo = std::move(confinedTo);
}

void UFileSys::Replace(TFileSysRefObj* ref, TFileSysRefObj* target)
{
    RequireObject(ref);
    RequireObject(target);
    StItemPlace from(ref);
    if (from.Error()) FailOSError(from.Error());
    StItemPlace to(target);
    if (to.Error()) FailOSError(to.Error());
    if (int err = platform::RenameAt(from.Folder(), from.Name(), to.Folder(), to.Name(), true))
        FailOSError(err);
    ref->path = target->path;
    ref->confinedTo = target->confinedTo;
}

bool UFileSys::Exists(TFileSysRefObj* ref, bool* outIsFolder)
{
    if (outIsFolder) *outIsFolder = false;
    if (!ref) return false;
    // Whether the item is there is all that is asked: the folder of a missing one need not be looked at.
    const uint32_t kind = FindKind(ref->path, ref->confinedTo, nullptr, false);
    if (outIsFolder) *outIsFolder = kind == kFSKindFolder || kind == kFSKindAliasToFolder;
    return kind >= kFSKindFile;
}

bool UFileSys::IsPlainFile(TFileSysRefObj* ref)
{
    if (!ref) return false;
    platform::SItemInfo info;
    // Followed: a link to a file stands for the file.
    return platform::GetItemInfo(platform::kNoFolderFD, ref->path, true, info) == 0 &&
           info.kind == platform::ItemKind::File;
}

uint32_t UFileSys::ValidateFileName(void* name, uint32_t length, uint32_t /*options*/)
{
    if (!name) return 0;
    if (length > 255) length = 255;
    auto* bytes = static_cast<uint8_t*>(name);
    if (length && bytes[0] == '.') bytes[0] = '-';
    // A NUL, like every control character, goes the way of the characters below.
    MapControlCharacters(bytes, length);
    for (uint32_t i = 0; i < length; ++i)
    {
        switch (bytes[i])
        {
        case '"':
        case '*':
        case '/':
        case ':':
        case '<':
        case '>':
        case '?':
        case '\\':
        case '|':
            bytes[i] = '-';
            break;
        default:
            break;
        }
    }
    return FittingLength(bytes, length, 0);
}

bool UFileSys::FitFileName(uint8_t* name, uint32_t reserve)
{
    RequireObject(name);
    const uint32_t fits = FittingLength(name + 1, name[0], reserve);
    if (fits == name[0]) return false;
    name[0] = uint8_t(fits);
    return true;
}

bool UFileSys::GetPathTargetName(const void* path, uint32_t pathSize, uint8_t* outName, uint32_t capacity)
{
    if (outName && capacity) outName[0] = 0;
    if (!path || pathSize <= 5 || !outName || capacity == 0) return false;
    const auto* bytes = static_cast<const uint8_t*>(path);
    const uint32_t count = uint32_t(bytes[0] << 8 | bytes[1]);
    if (count == 0) return false;
    uint32_t pos = 2;
    const uint8_t* last = nullptr;
    uint32_t lastLength = 0;
    for (uint32_t i = 0; i < count; ++i)
    {
        if (pathSize - pos < 3) return false;
        lastLength = bytes[pos + 2];
        pos += 3;
        if (pathSize - pos < lastLength) return false;
        last = bytes + pos;
        pos += lastLength;
    }
    UPString::SetBytes(outName, capacity, last, lastLength);
    return true;
}

uint32_t UFileSys::GetPathSize(const void* path, uint32_t pathSize, uint32_t levelCount)
{
    if (!path || pathSize < 2) return 0;
    const auto* bytes = static_cast<const uint8_t*>(path);
    uint32_t count = uint32_t(bytes[0] << 8 | bytes[1]);
    if (levelCount < count) count = levelCount;
    uint32_t pos = 2;
    for (uint32_t i = 0; i < count; ++i)
    {
        if (pathSize - pos < 3) break;
        const uint32_t length = bytes[pos + 2];
        if (pathSize - pos - 3 < length) break;
        pos += 3 + length;
    }
    return pos;
}
