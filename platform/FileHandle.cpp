#include "platform/FileHandle.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace platform
{
namespace
{
// A name for the user's space; file systems that keep no attributes say so in more than one way.
std::string UserAttribute(const std::string& name)
{
    return "user." + name;
}

int Classify(int err)
{
    return err == EOPNOTSUPP ? ENOTSUP : err;
}
} // namespace

int OpenFile(const std::string& path, OpenMode mode, int& outFD)
{
    int flags = O_CLOEXEC;
    switch (mode)
    {
    case OpenMode::ReadOnly:
        flags |= O_RDONLY;
        break;
    case OpenMode::ReadWrite:
        flags |= O_RDWR;
        break;
    case OpenMode::CreateReadWrite:
        flags |= O_RDWR | O_CREAT;
        break;
    }
    for (;;)
    {
        int fd = open(path.c_str(), flags, 0644);
        if (fd >= 0)
        {
            outFD = fd;
            return 0;
        }
        if (errno != EINTR) return errno;
    }
}

void CloseFile(int fd)
{
    // A close that fails on a local file we only read has nothing left to report; EINTR must not be
    // retried on Linux (the descriptor is already gone).
    if (fd >= 0) close(fd);
}

int ReadAt(int fd, uint64_t offset, void* buffer, uint32_t size, uint32_t& outRead)
{
    outRead = 0;
    auto* bytes = static_cast<uint8_t*>(buffer);
    while (outRead < size)
    {
        ssize_t n = pread(fd, bytes + outRead, size - outRead, off_t(offset + outRead));
        if (n < 0)
        {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) break;
        outRead += uint32_t(n);
    }
    return 0;
}

int WriteAt(int fd, uint64_t offset, const void* data, uint32_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    uint32_t done = 0;
    while (done < size)
    {
        ssize_t n = pwrite(fd, bytes + done, size - done, off_t(offset + done));
        if (n < 0)
        {
            if (errno == EINTR) continue;
            return errno;
        }
        done += uint32_t(n);
    }
    return 0;
}

int FileSize(int fd, uint64_t& outSize)
{
    struct stat st
    {
    };
    if (fstat(fd, &st) != 0) return errno;
    outSize = uint64_t(st.st_size);
    return 0;
}

int SetFileSize(int fd, uint64_t size)
{
    for (;;)
    {
        if (ftruncate(fd, off_t(size)) == 0) return 0;
        if (errno != EINTR) return errno;
    }
}

int SyncFile(int fd)
{
    for (;;)
    {
        if (fsync(fd) == 0) return 0;
        if (errno != EINTR) return errno;
    }
}

int SetFileAttribute(int fd, const std::string& name, const std::string& value)
{
    for (;;)
    {
        if (fsetxattr(fd, UserAttribute(name).c_str(), value.data(), value.size(), 0) == 0) return 0;
        if (errno != EINTR) return Classify(errno);
    }
}

int GetFileAttribute(int fd, const std::string& name, std::string& outValue)
{
    outValue.clear();
    const std::string key = UserAttribute(name);
    for (;;)
    {
        // Asked for its size first; another writer may change it between the two calls, which shows as
        // ERANGE and is asked again.
        const ssize_t size = fgetxattr(fd, key.c_str(), nullptr, 0);
        if (size < 0)
        {
            if (errno == EINTR) continue;
            return Classify(errno);
        }
        outValue.resize(size_t(size));
        const ssize_t got = fgetxattr(fd, key.c_str(), outValue.data(), outValue.size());
        if (got >= 0)
        {
            outValue.resize(size_t(got));
            return 0;
        }
        if (errno != EINTR && errno != ERANGE) return Classify(errno);
    }
}

int RemoveFileAttribute(int fd, const std::string& name)
{
    for (;;)
    {
        if (fremovexattr(fd, UserAttribute(name).c_str()) == 0) return 0;
        if (errno != EINTR) return Classify(errno);
    }
}
} // namespace platform
