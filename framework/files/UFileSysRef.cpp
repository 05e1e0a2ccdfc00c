// Making references: names and server paths to local paths, and the resolving step that checks what is there.
#include <cstring>
#include <memory>
#include <vector>

#include "framework/files/FileSysRef.h"
#include "framework/files/FlattenState.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"
#include "platform/FileSystem.h"

using namespace filesys;

namespace
{
using StRef = std::unique_ptr<TFileSysRefObj>;

// A name from the program's own texts: separators cannot split it into levels and a leading dot cannot
// hide it.
std::string LocalName(const uint8_t* bytes, uint32_t length, bool isLastName)
{
    std::string name(reinterpret_cast<const char*>(bytes), length);
    for (char& c : name)
        if (c == '\\' || c == '/' || c == 0) c = '-';
    if (isLastName && !name.empty() && name[0] == '.') name[0] = '-';
    if (name == "." || name == "..") Fail(kErrTypeFileSys, 119);
    return NameToNative(reinterpret_cast<const uint8_t*>(name.data()), uint32_t(name.size()));
}

bool MappingMayBeNull(uint32_t options)
{
    return (options & (kFSNullIfNoParent | kFSNullIfMissing)) != 0;
}

// The resolving step: finds the kind and applies the options. Null where an option asks for it.
TFileSysRefObj* Resolve(StRef ref, uint32_t options, uint32_t* outKind)
{
    if (options == 0 && !outKind) return ref.release();
    std::string target;
    const bool follow = (options & kFSResolveAlias) != 0;
    uint32_t kind = FindKind(ref->path, ref->confinedTo, follow ? &target : nullptr);
    if (follow)
    {
        if (kind == kFSKindAliasToFile || kind == kFSKindAliasToFolder)
        {
            ref->path = target;
            kind = kind == kFSKindAliasToFile ? kFSKindFile : kFSKindFolder;
        }
        else if (kind == kFSKindBrokenAlias)
        {
            if (outKind) *outKind = kind;
            if (options & kFSNullIfMissing) return nullptr;
            Fail(kErrTypeFileSys, 128);
        }
    }
    if (outKind) *outKind = kind;

    if (kind == kFSKindNoParent && (options & kFSNullIfNoParent)) return nullptr;
    if (kind == kFSKindNoParent || kind == kFSKindMissing)
    {
        if (options & kFSNullIfMissing) return nullptr;
        if (options & kFSFailIfMissing)
        {
            if (options & (kFSNullIfNotFile | kFSFailIfNotFile)) Fail(kErrTypeFileSys, 103);
            if (options & (kFSNullIfNotFolder | kFSFailIfNotFolder)) Fail(kErrTypeFileSys, 104);
            Fail(kErrTypeFileSys, 102);
        }
        return ref.release();
    }

    if (options & kFSNullIfExists) return nullptr;
    if (options & kFSFailIfExists) Fail(kErrTypeFileSys, 115);
    if (options & kFSNullIfNotFile) return kind == kFSKindFile ? ref.release() : nullptr;
    if (options & kFSFailIfNotFile)
    {
        if (kind != kFSKindFile) Fail(kErrTypeFileSys, 124);
        return ref.release();
    }
    if (options & kFSNullIfNotFolder) return kind == kFSKindFolder ? ref.release() : nullptr;
    if ((options & kFSFailIfNotFolder) && kind != kFSKindFolder) Fail(kErrTypeFileSys, 125);
    return ref.release();
}

struct SLevel
{
    const uint8_t* name;
    uint32_t length;
};

// Levels of a server path record: a 16-bit count, then per level two bytes, a length byte and the name.
// A record that runs short is refused rather than guessed at.
std::vector<SLevel> ReadLevels(const void* record, uint32_t size)
{
    std::vector<SLevel> levels;
    if (!record || size == 0) return levels;
    const auto* bytes = static_cast<const uint8_t*>(record);
    if (size < 2) Fail(kErrTypeFileSys, 119);
    const uint32_t count = uint32_t(bytes[0] << 8 | bytes[1]);
    uint32_t pos = 2;
    for (uint32_t i = 0; i < count; ++i)
    {
        if (size - pos < 3) Fail(kErrTypeFileSys, 119);
        const uint32_t length = bytes[pos + 2];
        pos += 3;
        if (size - pos < length) Fail(kErrTypeFileSys, 119);
        levels.push_back({bytes + pos, length});
        pos += length;
    }
    return levels;
}

bool Contains(const SLevel& level, const char* text)
{
    const std::string_view name(reinterpret_cast<const char*>(level.name), level.length);
    return name.find(text) != std::string_view::npos;
}

// A folder level from a server may not lead anywhere but one level down. Two dots anywhere in it are
// refused outright: dropping such a level would put the item in another folder than the one meant.
void CheckServerFolderLevel(const SLevel& level)
{
    if (level.length == 0 || level.name[level.length - 1] == '.' || Contains(level, "..") ||
        std::memchr(level.name, '/', level.length) || std::memchr(level.name, 0, level.length))
        Fail(kErrTypeFileSys, 119);
}

// A server's name as the disk may hold it: control characters mapped by the rule every local name
// follows, and cut where its form on the disk would be too long.
std::string ServerNameToNative(std::string name)
{
    auto* bytes = reinterpret_cast<uint8_t*>(name.data());
    MapControlCharacters(bytes, uint32_t(name.size()));
    name.resize(FittingLength(bytes, uint32_t(name.size()), 0));
    return NameToNative(bytes, uint32_t(name.size()));
}

std::string ServerItemName(const SLevel& level)
{
    if (level.length == 0 || level.name[level.length - 1] == '.' ||
        (level.length == 2 && level.name[0] == '.' && level.name[1] == '.'))
        Fail(kErrTypeFileSys, 119);
    for (uint32_t i = 0; i < level.length; ++i)
    {
        const uint8_t c = level.name[i];
        if (c == '\\' || c == '/' || c == ':' || c == 0) Fail(kErrTypeFileSys, 119);
    }
    std::string name(reinterpret_cast<const char*>(level.name), level.length);
    if (name[0] == '.') name[0] = '-';
    return ServerNameToNative(std::move(name));
}

std::string ServerFolderName(const SLevel& level)
{
    CheckServerFolderLevel(level);
    std::string name(reinterpret_cast<const char*>(level.name), level.length);
    for (char& c : name)
        if (c == '\\') c = '-';
    // The folder was made from the item that announced it, whose leading dot became "-": the levels
    // below it must lead to that folder.
    if (name[0] == '.') name[0] = '-';
    return ServerNameToNative(std::move(name));
}
} // namespace

TFileSysRefObj* UFileSys::New(TFileSysRefObj* base, const uint8_t* relativePath, const uint8_t* name,
                              uint32_t options, uint32_t* outKind)
{
    if (!IsSpecialFolder(base)) RequireObject(base);
    StRef ref(new TFileSysRefObj);
    ref->path = BasePath(base);
    if (!IsSpecialFolder(base)) ref->confinedTo = base->confinedTo;

    if (relativePath && relativePath[0])
    {
        const uint8_t* text = relativePath + 1;
        uint32_t length = relativePath[0];
        if (length && text[0] == '\r') ++text, --length;
        if (length && text[length - 1] == '\r') --length;
        uint32_t start = 0;
        while (start <= length)
        {
            const uint8_t* end = static_cast<const uint8_t*>(std::memchr(text + start, '\r', length - start));
            const uint32_t stop = end ? uint32_t(end - text) : length;
            if (stop > start) ref->path = JoinPath(ref->path, LocalName(text + start, stop - start, false));
            start = stop + 1;
        }
    }
    if (name && name[0]) ref->path = JoinPath(ref->path, LocalName(name + 1, name[0], true));

    if (ref->path.size() > kFSMaxPathSize)
    {
        if (MappingMayBeNull(options)) return nullptr;
        Fail(kErrTypeFileSys, 104);
    }
    return Resolve(std::move(ref), options, outKind);
}

TFileSysRefObj* UFileSys::New(TFileSysRefObj* base, const void* pathRecord, uint32_t pathSize,
                              const uint8_t* name, uint32_t options, uint32_t* outKind)
{
    if (!IsSpecialFolder(base)) RequireObject(base);
    std::vector<SLevel> levels = ReadLevels(pathRecord, pathSize);
    SLevel itemName{};
    if (name && name[0])
        itemName = {name + 1, name[0]};
    else if (!levels.empty())
    {
        itemName = levels.back();
        levels.pop_back();
    }
    else
        Fail(kErrTypeFileSys, 119);
    // Every name is checked before anything on disk is looked at.
    for (const SLevel& level : levels)
        CheckServerFolderLevel(level);
    const std::string leaf = ServerItemName(itemName);

    auto mappingFailed = [&]() -> TFileSysRefObj*
    {
        if (MappingMayBeNull(options)) return nullptr;
        Fail(kErrTypeFileSys, 104);
    };

    StRef ref(new TFileSysRefObj);
    const bool special = IsSpecialFolder(base);
    const std::string basePath = BasePath(base);
    if (!special && !base->realPath.empty() && base->realPathOf == basePath)
        ref->confinedTo = base->realPath;
    else
    {
        if (platform::ResolvePath(basePath, ref->confinedTo) != 0) return mappingFailed();
        if (!special)
        {
            base->realPathOf = basePath;
            base->realPath = ref->confinedTo;
        }
    }
    ref->path = ref->confinedTo;
    if (ref->path.size() > kFSMaxPathSize) return mappingFailed();
    for (const SLevel& level : levels)
    {
        ref->path = JoinPath(ref->path, ServerFolderName(level));
        if (ref->path.size() > kFSMaxPathSize) return mappingFailed();
        platform::SItemInfo info;
        if (platform::GetItemInfo(platform::kNoFolderFD, ref->path, false, info) != 0) return mappingFailed();
        if (info.kind == platform::ItemKind::Link)
        {
            // A link to a folder stands for that folder, but only while it stays inside the tree.
            std::string target;
            if (platform::ResolvePath(ref->path, target) != 0 || !IsInside(target, ref->confinedTo))
                return mappingFailed();
            if (platform::GetItemInfo(platform::kNoFolderFD, target, true, info) != 0) return mappingFailed();
            ref->path = target;
        }
        if (info.kind != platform::ItemKind::Folder) return mappingFailed();
    }
    ref->path = JoinPath(ref->path, leaf);
    if (ref->path.size() > kFSMaxPathSize) return mappingFailed();
    return Resolve(std::move(ref), options, outKind);
}

TFileSysRefObj* UFileSys::NewFromNativePath(const char* path, uint32_t size)
{
    if (!path || size == 0) Fail(kErrTypeGeneral, 2);
    std::string native(path, size);
    if (native.find('\0') != std::string::npos) Fail(kErrTypeFileSys, 119);
    if (native[0] != '/')
    {
        std::string folder;
        if (int err = platform::WorkingFolder(folder)) FailOSError(err);
        native = JoinPath(folder, native);
    }
    while (native.size() > 1 && native.back() == '/')
        native.pop_back();
    if (native.size() > kFSMaxPathSize) Fail(kErrTypeFileSys, 104);
    auto* ref = new TFileSysRefObj;
    ref->path = std::move(native);
    return ref;
}

TFileSysRefObj* UFileSys::NewTemp()
{
    Fail(kErrTypeGeneral, 4);
}

TFileSysRefObj* UFileSys::Clone(TFileSysRefObj* ref)
{
    RequireObject(ref);
    auto* copy = new TFileSysRefObj;
    copy->path = ref->path;
    copy->confinedTo = ref->confinedTo;
    return copy;
}

void UFileSys::SetRef(TFileSysRefObj* ref, TFileSysRefObj* other)
{
    RequireObject(ref);
    RequireObject(other);
    if (ref == other) return;
    ref->path = other->path;
    ref->confinedTo = other->confinedTo;
}

void UFileSys::Dispose(TFileSysRefObj* ref)
{
    delete ref;
}

std::string UFileSys::GetNativePath(TFileSysRefObj* ref)
{
    RequireObject(ref);
    return ref->path;
}
