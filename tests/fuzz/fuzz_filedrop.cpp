// Drop messages from any program that offers the client's flavours: a message the parser takes must lie
// inside its bytes, name an item, and carry a path whose levels fill it exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "client/core/UMyFileDrop.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A hit carries at most 256 bytes; a few more show that longer ones are read no differently.
    if (size > 300) return 0;
    SMyFileDrop drop;
    if (!UMyFileDrop::Parse(data, uint32_t(size), drop)) return 0;
    const uint8_t* end = data + size;
    if (drop.name != data || drop.name[0] == 0 || drop.name + 1 + drop.name[0] > end) std::abort();
    if (drop.path && (drop.path + drop.pathSize != end || drop.pathSize < 5)) std::abort();
    if (!drop.path && drop.pathSize != 0) std::abort();
    return 0;
}
