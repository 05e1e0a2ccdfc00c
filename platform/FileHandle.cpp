#include "platform/FileHandle.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform
{
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
} // namespace platform
