// A folder download's server stream between files, in pieces whose sizes the input chooses: the reader
// never takes more than the step needs, and a header it takes lies inside what it gathered and names an
// item by a path whose levels fill it exactly. Fed whole or in pieces, it reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "client/core/UMyFolderItemHeader.h"
#include "framework/net/UServerPath.h"

namespace
{
// Reads items until the bytes run out or a header is bad; every third item is a file whose size follows.
// Returns what was read, as text to compare.
std::string ReadAll(const uint8_t* data, size_t size, size_t piece)
{
    CMyFolderItemReader reader;
    std::string seen;
    size_t at = 0;
    uint32_t items = 0;
    while (at < size)
    {
        const uint32_t wanted = reader.Wanted();
        if (wanted == 0) std::abort();
        const size_t n = size - at < piece ? size - at : piece;
        const uint32_t took = reader.Take(data + at, uint32_t(n));
        if (took == 0 || took > wanted || took > n) std::abort();
        at += took;
        switch (reader.State())
        {
        case CMyFolderItemReader::kHaveHeader:
        {
            const SMyFolderItem& item = reader.Item();
            if (!UServerPath::IsWellFormed(item.path, item.pathSize) || item.pathSize == 0) std::abort();
            seen += item.isFolder ? 'F' : 'f';
            seen.append(reinterpret_cast<const char*>(item.path), item.pathSize);
            if (++items % 3 == 0)
                reader.ExpectFileSize();
            else
                reader.NextItem();
            break;
        }
        case CMyFolderItemReader::kHaveFileSize:
            seen += 'S' + std::to_string(reader.FileSize());
            reader.NextItem();
            break;
        case CMyFolderItemReader::kBad:
            return seen + 'X';
        default:
            break;
        }
    }
    return seen;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 4096) return 0;
    // The first byte picks the piece size, so splits at every position get explored.
    const size_t piece = size_t(data[0] % 16) + 1;
    ++data, --size;
    if (ReadAll(data, size, piece) != ReadAll(data, size, size ? size : 1)) std::abort();
    return 0;
}
