#include "client/core/UMyFileDrop.h"

#include <cstring>

#include "framework/net/UServerPath.h"

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
    if (!UServerPath::IsWellFormed(path, pathSize)) return false;
    outDrop.name = data;
    outDrop.path = pathSize ? path : nullptr;
    outDrop.pathSize = pathSize;
    return true;
}
