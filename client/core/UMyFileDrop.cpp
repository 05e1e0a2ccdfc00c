#include "client/core/UMyFileDrop.h"

#include <cstring>

bool UMyFileDrop::Parse(const uint8_t* data, uint32_t size, SMyFileDrop& outDrop)
{
    outDrop = SMyFileDrop{nullptr, nullptr, 0};
    if (!data || size < 3) return false;
    const uint32_t nameEnd = 1u + data[0];
    if (data[0] == 0 || nameEnd > size - 2) return false;
    uint16_t pathSize;
    std::memcpy(&pathSize, data + nameEnd, 2);
    if (uint64_t(nameEnd) + 2 + pathSize != size) return false;
    const uint8_t* path = data + nameEnd + 2;
    if (!IsWellFormedPath(path, pathSize)) return false;
    outDrop.name = data;
    outDrop.path = pathSize ? path : nullptr;
    outDrop.pathSize = pathSize;
    return true;
}

bool UMyFileDrop::IsWellFormedPath(const uint8_t* path, uint32_t size)
{
    if (size == 0) return true;
    if (!path || size < 2) return false;
    const uint32_t count = (uint32_t(path[0]) << 8) | path[1];
    if (count == 0) return false;
    uint32_t at = 2;
    for (uint32_t i = 0; i < count; ++i)
    {
        if (size - at < 3) return false;
        const uint32_t length = path[at + 2];
        if (length == 0 || length > size - at - 3) return false;
        at += 3 + length;
    }
    return at == size;
}
