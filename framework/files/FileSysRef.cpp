#include "framework/files/FileSysRef.h"

#include <cerrno>

#include "framework/files/FlattenState.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/MacRoman.h"
#include "framework/runtime/SError.h"
#include "platform/FileHandle.h"
#include "platform/FileSystem.h"
#include "platform/Folders.h"

TFileSysRefObj::TFileSysRefObj() = default;
TFileSysRefObj::~TFileSysRefObj()
{
    platform::CloseFile(fd);
}

namespace filesys
{
std::string ParentPath(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return std::string();
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string LastComponent(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

bool IsSpecialFolder(const TFileSysRefObj* base)
{
    return base == kFSRootFolder || base == kFSProgramFolder || base == kFSTempFolder ||
           base == kFSProgramFolderAlt;
}

std::string BasePath(TFileSysRefObj* base)
{
    if (base == kFSRootFolder) return "/";
    if (base == kFSTempFolder) return platform::TempFolder();
    if (base == kFSProgramFolder || base == kFSProgramFolderAlt)
    {
        std::string path;
        if (int err = platform::UserDataFolder(path)) FailOSError(err);
        return path;
    }
    RequireObject(base);
    return base->path;
}

bool IsInside(const std::string& path, const std::string& folder)
{
    if (path.size() < folder.size() || path.compare(0, folder.size(), folder) != 0) return false;
    if (path.size() == folder.size()) return true;
    return folder.back() == '/' || path[folder.size()] == '/';
}

StItemPlace::StItemPlace(const std::string& path, const std::string& confinedTo)
    : mFolderFD(platform::kNoFolderFD), mName(path)
{
    if (confinedTo.empty() || path == confinedTo) return;
    if (!IsInside(path, confinedTo))
    {
        mError = EACCES;
        return;
    }
    std::string relative = path.substr(confinedTo.size() + (confinedTo.back() == '/' ? 0 : 1));
    std::string parent = ParentPath(relative);
    mName = LastComponent(relative);
    int fd = -1;
    mError = platform::OpenFolderBeneath(confinedTo, parent, fd);
    if (mError == 0) mFolderFD = fd;
}

StItemPlace::~StItemPlace()
{
    if (mFolderFD != platform::kNoFolderFD) platform::CloseFile(mFolderFD);
}

int StItemPlace::TakeFolder()
{
    if (mError) return -1;
    int fd = mFolderFD;
    mFolderFD = platform::kNoFolderFD;
    if (fd != platform::kNoFolderFD) return fd;
    const std::string folder = ParentPath(mName);
    mError = platform::OpenItemAt(platform::kNoFolderFD, folder.empty() ? "." : folder,
                                  platform::kOpenRead | platform::kOpenFolder, fd);
    if (mError) return -1;
    mName = LastComponent(mName);
    return fd;
}

namespace
{
// A link met where a confined reference allows none means the tree was changed to lead elsewhere.
[[noreturn]] void FailPlace(int err, bool confined)
{
    if (confined && (err == ELOOP || err == EACCES)) Fail(kErrTypeFileSys, 119);
    FailOSError(err);
}
} // namespace

int OpenItem(const TFileSysRefObj* ref, uint32_t flags)
{
    const bool confined = !ref->confinedTo.empty();
    StItemPlace place(ref);
    if (place.Error()) FailPlace(place.Error(), confined);
    if (confined) flags |= platform::kOpenNoFollow;
    int fd = -1;
    if (int err = platform::OpenItemAt(place.Folder(), place.Name(), flags, fd)) FailPlace(err, confined);
    return fd;
}

uint32_t FindKind(const std::string& path, const std::string& confinedTo, std::string* outTarget,
                  bool tellNoParent)
{
    platform::SItemInfo info;
    int err = platform::GetItemInfo(platform::kNoFolderFD, path, false, info);
    if ((err == ENOENT || err == ENOTDIR) && !tellNoParent) return kFSKindMissing;
    if (err == ENOENT || err == ENOTDIR)
    {
        platform::SItemInfo parent;
        std::string parentPath = ParentPath(path);
        if (!parentPath.empty() &&
            platform::GetItemInfo(platform::kNoFolderFD, parentPath, true, parent) == 0 &&
            parent.kind == platform::ItemKind::Folder)
            return kFSKindMissing;
        return kFSKindNoParent;
    }
    if (err) FailOSError(err);
    if (info.kind == platform::ItemKind::Folder) return kFSKindFolder;
    if (info.kind != platform::ItemKind::Link) return kFSKindFile;

    std::string target;
    if (platform::ResolvePath(path, target) != 0) return kFSKindBrokenAlias;
    if (!confinedTo.empty() && !IsInside(target, confinedTo)) return kFSKindBrokenAlias;
    platform::SItemInfo targetInfo;
    if (platform::GetItemInfo(platform::kNoFolderFD, target, true, targetInfo) != 0)
        return kFSKindBrokenAlias;
    if (outTarget) *outTarget = target;
    return targetInfo.kind == platform::ItemKind::Folder ? kFSKindAliasToFolder : kFSKindAliasToFile;
}

namespace
{
// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}

int64_t YearOfDays(int64_t z)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return int64_t(yoe) + era * 400 + (m <= 2);
}
} // namespace

SDateTimeStamp StampFromUnixTime(int64_t seconds, uint32_t nanos)
{
    int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    int64_t year = YearOfDays(days);
    if (year < 1)
    {
        year = 1;
        seconds = DaysFromCivil(1, 1, 1) * 86400;
        nanos = 0;
    }
    else if (year > 65535)
    {
        year = 65535;
        seconds = DaysFromCivil(65535, 1, 1) * 86400;
        nanos = 0;
    }
    SDateTimeStamp stamp;
    stamp.year = uint16_t(year);
    stamp.seconds = uint32_t(seconds - DaysFromCivil(year, 1, 1) * 86400);
    stamp.msecs = uint16_t(nanos / 1000000);
    return stamp;
}

std::string NameToNative(const uint8_t* bytes, uint32_t length)
{
    return MacRomanToUtf8(bytes, length);
}

std::string NameFromNative(const std::string& native)
{
    return Utf8ToMacRoman(native);
}

void MapControlCharacters(uint8_t* bytes, uint32_t length)
{
    for (uint32_t i = 0; i < length; ++i)
        if (bytes[i] < 0x20 || bytes[i] == 0x7F) bytes[i] = '-';
}

uint32_t FittingLength(const uint8_t* bytes, uint32_t length, uint32_t reserve)
{
    // A name on the disk is UTF-8 and holds at most 255 bytes: a Mac OS Roman character outside ASCII
    // takes two or three of them.
    constexpr uint32_t kMaxNativeName = 255;
    if (reserve >= kMaxNativeName) return 0;
    uint32_t native = 0;
    for (uint32_t i = 0; i < length; ++i)
    {
        const uint32_t c = MacRomanToUnicode(bytes[i]);
        native += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (native + reserve > kMaxNativeName) return i;
    }
    return length;
}

void CloseAndClearStates(TFileSysRefObj* ref)
{
    platform::CloseFile(ref->fd);
    ref->fd = -1;
    ref->flatten.reset();
    ref->unflatten.reset();
}
} // namespace filesys
