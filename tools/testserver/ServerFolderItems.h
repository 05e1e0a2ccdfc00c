// What a folder download carries, as the server sees it: the folder's items depth first (each folder
// before what it holds, names in byte order or, on request, the other way round), and the flattened
// form in which each file travels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SFolderItem
{
    bool isFolder = false;
    std::string path;       // on disk
    std::string pathRecord; // below the downloaded folder, the item's own name last
    uint64_t size = 0;      // a file's bytes
};

namespace folderitems
{
// The most items one download announces: the count travels in 16 bits.
constexpr size_t kMaxItems = 0xFFFF;
// Links are left out (what they lead to may lie outside the share), and so are files of 4 GiB or more,
// which the 32-bit stream cannot carry. False when the folder holds more than kMaxItems items.
bool List(const std::string& folder, std::vector<SFolderItem>& outItems, bool descending = false);
// The stream's headers and information fork for a file of that name whose data fork holds dataSize
// bytes; the data follows them.
std::string FlattenedHead(const std::string& name, uint64_t dataSize);
uint64_t FlattenedSize(const std::string& name, uint64_t dataSize);
// How many data bytes a client's resume record says it holds (0 when it names none). Entries that would
// lie beyond the record are not read.
uint64_t ResumeOffset(const std::string& record);
} // namespace folderitems
