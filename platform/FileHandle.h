// Plain file access for the framework: open, read and write at offsets, size. Results are 0 or an
// errno; EINTR is retried here so that callers only see real failures.
#pragma once

#include <cstdint>
#include <string>

namespace platform
{
enum class OpenMode
{
    ReadOnly,
    ReadWrite,
    CreateReadWrite, // creates the file when missing
};

int OpenFile(const std::string& path, OpenMode mode, int& outFD);
void CloseFile(int fd);
// Reads up to size bytes at offset; fewer only at the end of the file.
int ReadAt(int fd, uint64_t offset, void* buffer, uint32_t size, uint32_t& outRead);
int WriteAt(int fd, uint64_t offset, const void* data, uint32_t size);
int FileSize(int fd, uint64_t& outSize);
int SetFileSize(int fd, uint64_t size);
// Waits until what was written to the file is on the disk.
int SyncFile(int fd);

// Named attributes that the file system keeps with a file (extended attributes in the user's space).
// ENOTSUP where it keeps none; ENODATA from Get and Remove when the file has no attribute of that name.
int SetFileAttribute(int fd, const std::string& name, const std::string& value);
int GetFileAttribute(int fd, const std::string& name, std::string& outValue);
int RemoveFileAttribute(int fd, const std::string& name);
} // namespace platform
