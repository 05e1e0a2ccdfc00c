// The inside of a file reference and the helpers the UFileSys sources share. Not for other layers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/runtime/UDateTime.h"

struct SFlattenState;
struct SUnflattenState;

struct TFileSysRefObj
{
    int fd = -1; // the open file, or -1
    std::string path;
    // Set for references made from a server path record: the real path of the base folder, which
    // everything done through the reference must stay inside. Empty otherwise.
    std::string confinedTo;
    // For a folder that server path records are resolved against: the real path found for `path` the
    // first time. A folder download resolves every item against the same folder, and finding the real
    // path is a system call per level of it.
    std::string realPathOf, realPath;
    std::unique_ptr<SFlattenState> flatten;
    std::unique_ptr<SUnflattenState> unflatten;

    TFileSysRefObj();
    ~TFileSysRefObj();
    TFileSysRefObj(const TFileSysRefObj&) = delete;
    TFileSysRefObj& operator=(const TFileSysRefObj&) = delete;
};

namespace filesys
{
// The folder part and the last component of a path.
std::string ParentPath(const std::string& path);
std::string LastComponent(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);
bool IsSpecialFolder(const TFileSysRefObj* base);
// The path of a folder reference or special folder.
std::string BasePath(TFileSysRefObj* base);

// A folder descriptor and the name within it by which an item of the reference is reached. For a
// confined reference the folder was reached without following any link below the confining folder.
class StItemPlace
{
public:
    explicit StItemPlace(const TFileSysRefObj* ref) : StItemPlace(ref->path, ref->confinedTo) {}
    StItemPlace(const std::string& path, const std::string& confinedTo);
    ~StItemPlace();
    StItemPlace(const StItemPlace&) = delete;
    StItemPlace& operator=(const StItemPlace&) = delete;
    int Folder() const { return mFolderFD; }
    const std::string& Name() const { return mName; }
    // 0, or the errno met while reaching the folder.
    int Error() const { return mError; }
    // The folder descriptor, which the caller now closes; for an unconfined reference the folder is opened
    // here. -1 with Error() set when it cannot be.
    int TakeFolder();

private:
    int mFolderFD;
    std::string mName;
    int mError = 0;
};

// Opens the reference's file (platform::kOpen… flags); a confined reference never follows a link as its
// last component. Raises the translated OS error.
int OpenItem(const TFileSysRefObj* ref, uint32_t flags);
// True when path lies inside (or is) folder; both are real paths.
bool IsInside(const std::string& path, const std::string& folder);

// Kinds of items as the resolving step and listings see them: a link counts as broken when its target is
// missing or, for a confined reference, lies outside the confining folder. Without `tellNoParent` a
// missing item is kFSKindMissing whether or not its folder is there, and that folder is not looked at.
uint32_t FindKind(const std::string& path, const std::string& confinedTo, std::string* outTarget,
                  bool tellNoParent = true);

SDateTimeStamp StampFromUnixTime(int64_t seconds, uint32_t nanos);

// Mac OS Roman names from and to the UTF-8 of the disk.
std::string NameToNative(const uint8_t* bytes, uint32_t length);
std::string NameFromNative(const std::string& native);
// The one rule for characters a local name never holds, whoever gave the name: control characters
// (a terminal listing the folder would act on them) become "-" like the other unsafe characters.
void MapControlCharacters(uint8_t* bytes, uint32_t length);
// How many of the name's first bytes fit one name on the disk with `reserve` bytes to spare.
uint32_t FittingLength(const uint8_t* bytes, uint32_t length, uint32_t reserve);

void CloseAndClearStates(TFileSysRefObj* ref);
} // namespace filesys
