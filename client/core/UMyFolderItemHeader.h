// What a folder download's server sends between files: for each item a 16-bit header size and the
// header (16-bit item type, then the item's path below the downloaded folder as a path record), and,
// after the client asked for a file, its 32-bit size. The bytes come from a server and arrive in pieces
// of any size: the reader gathers exactly what the current step needs and never takes a byte more, so
// that the file data behind it stays with the connection.
#pragma once

#include <cstdint>
#include <vector>

struct SMyFolderItem
{
    bool isFolder;
    const uint8_t* path; // the path record, inside the header
    uint32_t pathSize;
};

class UMyFolderItemHeader
{
public:
    // An item type and a path record of at least one level whose levels fill it exactly, none empty.
    static constexpr uint32_t kMinSize = 2 + 2 + 3 + 1;
    // False for anything else: a header that does not fit its own sizes would name another item.
    static bool Parse(const uint8_t* header, uint32_t size, SMyFolderItem& outItem);
};

class CMyFolderItemReader
{
public:
    enum EState : uint8_t
    {
        kWantHeaderSize,
        kWantHeader,
        kHaveHeader,   // Item() is valid until NextItem or ExpectFileSize
        kWantFileSize, // after the client asked for the file
        kHaveFileSize,
        kBad, // a header that cannot be an item: the connection is of no further use
    };

    EState State() const { return mState; }
    // How many bytes the current step still needs (0 when it has what it waits for).
    uint32_t Wanted() const;
    // Takes at most Wanted() bytes and returns how many it took.
    uint32_t Take(const uint8_t* bytes, uint32_t size);

    const SMyFolderItem& Item() const { return mItem; }
    uint32_t FileSize() const { return mFileSize; }
    // The client answered 1 or 2: a file size comes next.
    void ExpectFileSize();
    // The item is dealt with: the next header comes next.
    void NextItem();

private:
    EState mState = kWantHeaderSize;
    std::vector<uint8_t> mBytes;
    uint32_t mNeed = 2;
    SMyFolderItem mItem{};
    uint32_t mFileSize = 0;
};
