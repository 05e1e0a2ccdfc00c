// What a folder upload sends: the local folder walked once, top down, into the folders to create and the
// files to send, each with the server path of the folder that holds it. The disk is read as it is found,
// within bounds: links to folders are never followed (a link may lead back up and never end), devices,
// pipes, sockets and files too large for a transfer are left out, and a tree deeper or larger than the bounds
// stops the upload before anything is sent.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct TFileSysRefObj;

class CMyUploadTree
{
public:
    static constexpr uint32_t kMaxItems = 10000;
    static constexpr uint32_t kMaxDepth = 32;
    // The longest server path record a folder of the tree may have.
    static constexpr uint32_t kMaxPathSize = 4096;
    static constexpr uint32_t kNoParent = UINT32_MAX;

    struct SItem
    {
        std::vector<uint8_t> folderPath; // the server path record of the folder holding it (empty: the root)
        std::array<uint8_t, 256> name{}; // length-prefixed, as the server gets it
        std::string localPath;           // native
        uint32_t parent = kNoParent;     // the index of the folder item holding it
        uint64_t size = 0;               // a file's bytes on the disk
        bool isFolder = false;
    };

    // Walks `folder`, which becomes `serverName` (length-prefixed) inside the server folder `path` (null
    // and 0 for the root). Raises when the folder cannot be read or the tree breaks a bound.
    void Walk(TFileSysRefObj* folder, const uint8_t* serverName, const void* path, uint32_t pathSize);

    const std::vector<SItem>& Items() const { return mItems; }
    uint32_t FileCount() const { return mFileCount; }
    uint64_t TotalSize() const { return mTotalSize; }
    // Items left out: links to folders, anything that is neither a file nor a folder, files of 4 GiB or
    // more.
    uint32_t SkippedCount() const { return mSkipped; }

    // The server path record of `folderPath` with one more level, `name`.
    static std::vector<uint8_t> AddLevel(const std::vector<uint8_t>& folderPath, const uint8_t* name);

private:
    void WalkFolder(TFileSysRefObj* folder, uint32_t folderIndex, uint32_t depth);
    void Add(SItem item);

    std::vector<SItem> mItems;
    uint32_t mFileCount = 0;
    uint64_t mTotalSize = 0;
    uint32_t mSkipped = 0;
};
