// Bookmark files as the desktop hands them over: decoded, and the texts checked against their buffers.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "client/core/UMyBookmarkFile.h"
#include "framework/runtime/SError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint32_t size32 = size > UINT32_MAX ? UINT32_MAX : uint32_t(size);
    SMyBookmark bookmark;
    try
    {
        UMyBookmarkFile::Decode(data, size32, bookmark);
    }
    catch (const SError& e)
    {
        if (e.type != kErrTypeGeneral || e.id < 7 || e.id > 9) std::abort();
        return 0;
    }
    if (bookmark.login[0] > 32 || bookmark.password[0] > 32) std::abort();
    // What was read saves to the same texts.
    uint8_t bytes[UMyBookmarkFile::kSize];
    UMyBookmarkFile::Encode(bookmark.address, bookmark.login, bookmark.password, bytes);
    SMyBookmark again;
    UMyBookmarkFile::Decode(bytes, sizeof(bytes), again);
    if (std::memcmp(&again, &bookmark, sizeof(again)) != 0) std::abort();
    return 0;
}
