// File-system primitives beyond plain reading and writing: item information, folder listings, creating,
// renaming and removing items, and walking below a folder without following links. Results are 0 or an
// errno; EINTR is retried here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform
{
// Stands for "no folder": names are then taken as paths from the working folder.
inline constexpr int kNoFolderFD = -100;

enum class ItemKind
{
    File,
    Folder,
    Link,
    Other, // devices, pipes, sockets
};

struct SItemInfo
{
    ItemKind kind = ItemKind::Other;
    uint64_t size = 0;
    // Seconds and nanoseconds since 1970 in universal time. Where the file system keeps no birth time the
    // creation time is the modification time.
    int64_t createdSeconds = 0;
    uint32_t createdNanos = 0;
    int64_t modifiedSeconds = 0;
    uint32_t modifiedNanos = 0;
};

// Information about dirFD/name (or the path name when dirFD is kNoFolderFD). Without followLinks a link
// reports itself.
int GetItemInfo(int dirFD, const std::string& name, bool followLinks, SItemInfo& outInfo);
// True when a local socket (a server's rendezvous: the session bus, the sound server) is at `path`.
bool IsSocket(const std::string& path);

enum : uint32_t
{
    kOpenRead = 0x01,
    kOpenWrite = 0x02,
    kOpenCreate = 0x04,    // create when missing
    kOpenExclusive = 0x08, // with kOpenCreate: fail with EEXIST when it exists (a link counts as existing)
    kOpenNoFollow = 0x10,  // a link as the last component fails with ELOOP
    kOpenFolder = 0x20,    // only a folder opens
};
int OpenItemAt(int dirFD, const std::string& name, uint32_t flags, int& outFD);

// A file that appears under its name only once it is whole: it is made without a name in the folder
// (where its bytes will live) and named when it is complete, so that nobody ever sees it half written and
// a program stopped meanwhile leaves nothing behind. EOPNOTSUPP (or EISDIR, EINVAL on old systems) where
// the file system makes no such files.
int OpenUnnamedFileAt(int dirFD, int& outFD);
// Gives such a file its name in the folder; EEXIST when the name is taken, which stays as it was.
int NameUnnamedFileAt(int fd, int dirFD, const std::string& name);

// Opens the folder root/relative for use with the *At calls, following no link below root: a level
// that is a link fails with ELOOP (or ENOTDIR). An empty relative path opens root itself.
int OpenFolderBeneath(const std::string& root, const std::string& relative, int& outFD);

int MakeFolderAt(int dirFD, const std::string& name);
int RemoveFileAt(int dirFD, const std::string& name);
int RemoveFolderAt(int dirFD, const std::string& name);
// Without replace an existing destination fails with EEXIST instead of being overwritten.
int RenameAt(int fromDirFD, const std::string& fromName, int toDirFD, const std::string& toName,
             bool replace);

// The entries of the folder, without "." and "..", in the order the system gives them.
int ListFolderAt(int folderFD, std::vector<std::string>& outNames);
int CountFolderEntriesAt(int dirFD, const std::string& name, uint32_t& outCount);

// The absolute path with every link resolved; the item must exist.
int ResolvePath(const std::string& path, std::string& outPath);
int WorkingFolder(std::string& outPath);
// $TMPDIR when it names an absolute path, else /tmp; without a trailing slash.
std::string TempFolder();

// Tells the system the file will be read once from start to end.
void AdviseSequential(int fd);
} // namespace platform
