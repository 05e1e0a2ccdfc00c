// Window descriptions: the reader must take or refuse any bytes without reading past them, and what it
// takes must stay within the data's own bounds (no more views than the bytes could hold).
#include <cstddef>
#include <cstdint>

#include "framework/ui/UWinDescription.h"

namespace
{
size_t CountViews(const SViewDesc& v, uint32_t depth)
{
    if (depth > UWinDescription::kMaxDepth + 1) __builtin_trap();
    size_t n = 1;
    for (const SViewDesc& child : v.children)
        n += CountViews(child, depth + 1);
    return n;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SWinDesc desc;
    if (!UWinDescription::Parse(data, uint32_t(size), desc)) return 0;
    if (desc.title.size() > 255) __builtin_trap();
    // Every view takes at least its common part of 24 bytes.
    if (CountViews(desc.root, 0) * 24 > size) __builtin_trap();
    return 0;
}
