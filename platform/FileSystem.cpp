#include "platform/FileSystem.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static_assert(platform::kNoFolderFD == AT_FDCWD, "the *At calls take kNoFolderFD as the working folder");

namespace platform
{
namespace
{
// Retries a call that returns -1 with errno EINTR; gives 0 or the errno.
template <class F>
int Retry(F call)
{
    for (;;)
    {
        if (call() != -1) return 0;
        if (errno != EINTR) return errno;
    }
}

class StDir
{
public:
    explicit StDir(DIR* dir) : mDir(dir) {}
    ~StDir()
    {
        if (mDir) closedir(mDir);
    }
    StDir(const StDir&) = delete;
    StDir& operator=(const StDir&) = delete;
    DIR* Get() const { return mDir; }

private:
    DIR* mDir;
};

int ListOpenFolder(int ownedFD, std::vector<std::string>* outNames, uint32_t* outCount)
{
    DIR* dir = fdopendir(ownedFD);
    if (!dir)
    {
        int err = errno;
        close(ownedFD);
        return err;
    }
    StDir guard(dir);
    uint32_t count = 0;
    for (;;)
    {
        errno = 0;
        dirent* entry = readdir(dir);
        if (!entry)
        {
            if (errno != 0) return errno;
            break;
        }
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
        if (outNames) outNames->emplace_back(name);
        if (count != UINT32_MAX) ++count;
    }
    if (outCount) *outCount = count;
    return 0;
}
} // namespace

bool IsSocket(const std::string& path)
{
    struct stat st
    {
    };
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

int GetItemInfo(int dirFD, const std::string& name, bool followLinks, SItemInfo& outInfo)
{
    struct statx sx
    {
    };
    const int flags = followLinks ? 0 : AT_SYMLINK_NOFOLLOW;
    const unsigned mask = STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_BTIME;
    if (int err = Retry([&] { return statx(dirFD, name.c_str(), flags, mask, &sx); })) return err;
    if (S_ISREG(sx.stx_mode))
        outInfo.kind = ItemKind::File;
    else if (S_ISDIR(sx.stx_mode))
        outInfo.kind = ItemKind::Folder;
    else if (S_ISLNK(sx.stx_mode))
        outInfo.kind = ItemKind::Link;
    else
        outInfo.kind = ItemKind::Other;
    outInfo.size = sx.stx_size;
    outInfo.modifiedSeconds = sx.stx_mtime.tv_sec;
    outInfo.modifiedNanos = sx.stx_mtime.tv_nsec;
    if (sx.stx_mask & STATX_BTIME)
    {
        outInfo.createdSeconds = sx.stx_btime.tv_sec;
        outInfo.createdNanos = sx.stx_btime.tv_nsec;
    }
    else
    {
        outInfo.createdSeconds = outInfo.modifiedSeconds;
        outInfo.createdNanos = outInfo.modifiedNanos;
    }
    return 0;
}

int OpenItemAt(int dirFD, const std::string& name, uint32_t flags, int& outFD)
{
    int oflags = O_CLOEXEC;
    if ((flags & kOpenRead) && (flags & kOpenWrite))
        oflags |= O_RDWR;
    else if (flags & kOpenWrite)
        oflags |= O_WRONLY;
    else
        oflags |= O_RDONLY;
    if (flags & kOpenCreate) oflags |= O_CREAT;
    if (flags & kOpenExclusive) oflags |= O_EXCL;
    if (flags & kOpenNoFollow) oflags |= O_NOFOLLOW;
    if (flags & kOpenFolder) oflags |= O_DIRECTORY;
    int fd = -1;
    if (int err = Retry([&] { return fd = openat(dirFD, name.c_str(), oflags, 0666); })) return err;
    outFD = fd;
    return 0;
}

int OpenUnnamedFileAt(int dirFD, int& outFD)
{
    int fd = -1;
    if (int err = Retry([&] { return fd = openat(dirFD, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666); }))
        return err;
    outFD = fd;
    return 0;
}

int NameUnnamedFileAt(int fd, int dirFD, const std::string& name)
{
    // Naming a file by its descriptor alone takes a privilege most users lack (ENOENT without it); the
    // link of /proc that stands for the descriptor does the same for anyone.
    int err = Retry([&] { return linkat(fd, "", dirFD, name.c_str(), AT_EMPTY_PATH); });
    if (err != ENOENT && err != EPERM) return err;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return Retry([&] { return linkat(AT_FDCWD, self.c_str(), dirFD, name.c_str(), AT_SYMLINK_FOLLOW); });
}

int OpenFolderBeneath(const std::string& root, const std::string& relative, int& outFD)
{
    int fd = -1;
    if (int err = Retry([&] { return fd = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); }))
        return err;
    size_t start = 0;
    while (start < relative.size())
    {
        size_t end = relative.find('/', start);
        if (end == std::string::npos) end = relative.size();
        std::string level = relative.substr(start, end - start);
        start = end + 1;
        if (level.empty()) continue;
        int next = -1;
        int err = Retry(
            [&]
            { return next = openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC); });
        close(fd);
        if (err) return err;
        fd = next;
    }
    outFD = fd;
    return 0;
}

int MakeFolderAt(int dirFD, const std::string& name)
{
    return Retry([&] { return mkdirat(dirFD, name.c_str(), 0777); });
}

int RemoveFileAt(int dirFD, const std::string& name)
{
    return Retry([&] { return unlinkat(dirFD, name.c_str(), 0); });
}

int RemoveFolderAt(int dirFD, const std::string& name)
{
    return Retry([&] { return unlinkat(dirFD, name.c_str(), AT_REMOVEDIR); });
}

int RenameAt(int fromDirFD, const std::string& fromName, int toDirFD, const std::string& toName, bool replace)
{
    const unsigned flags = replace ? 0 : RENAME_NOREPLACE;
    return Retry([&] { return renameat2(fromDirFD, fromName.c_str(), toDirFD, toName.c_str(), flags); });
}

int ListFolderAt(int folderFD, std::vector<std::string>& outNames)
{
    // readdir consumes the descriptor it is given, so it works on a copy and leaves the caller's alone.
    int copy = -1;
    if (int err = Retry([&] { return copy = fcntl(folderFD, F_DUPFD_CLOEXEC, 0); })) return err;
    // A duplicate shares the read position: start from the top even if the folder was listed before.
    lseek(copy, 0, SEEK_SET);
    outNames.clear();
    return ListOpenFolder(copy, &outNames, nullptr);
}

int CountFolderEntriesAt(int dirFD, const std::string& name, uint32_t& outCount)
{
    int fd = -1;
    if (int err = OpenItemAt(dirFD, name, kOpenRead | kOpenFolder, fd)) return err;
    return ListOpenFolder(fd, nullptr, &outCount);
}

int ResolvePath(const std::string& path, std::string& outPath)
{
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return errno;
    outPath = resolved;
    std::free(resolved);
    return 0;
}

int WorkingFolder(std::string& outPath)
{
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof(buffer))) return errno;
    outPath = buffer;
    return 0;
}

std::string TempFolder()
{
    const char* dir = std::getenv("TMPDIR");
    std::string path = dir && dir[0] == '/' ? dir : "/tmp";
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

void AdviseSequential(int fd)
{
    // Only a hint: a file system that ignores it reads the file just the same.
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}
} // namespace platform
