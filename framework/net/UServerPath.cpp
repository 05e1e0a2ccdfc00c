#include "framework/net/UServerPath.h"

#include <algorithm>
#include <cstring>

#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"

namespace
{
// A record this short cannot hold a level with a name.
constexpr uint32_t kRootPathSize = 5;

uint16_t LevelCount(const uint8_t* p, uint32_t size)
{
    return size >= 2 ? uint16_t((p[0] << 8) | p[1]) : 0;
}
} // namespace

uint16_t UServerPath::GetLevelCount(const void* path, uint32_t size)
{
    if (!path || size <= kRootPathSize) return 0;
    return LevelCount(static_cast<const uint8_t*>(path), size);
}

THdlObj* UServerPath::MakeChildPath(const void* parentPath, uint32_t parentSize, const uint8_t* pstrName)
{
    if (!pstrName) Fail(kErrTypeGeneral, 2);
    const auto* parent = static_cast<const uint8_t*>(parentPath);
    const uint16_t count = parent ? GetLevelCount(parent, parentSize) : 0;
    // Only whole levels are copied, so a damaged parent cannot make the count lie.
    const uint32_t keep = count ? GetSize(parent, parentSize, count) : 2;
    if (count == 0xFFFF) Fail(kErrTypeGeneral, 10);
    const uint32_t level = 3u + pstrName[0];
    THdlObj* h = UMemory::NewHandleClear(keep + level);
    StHandleLocker lock(h);
    uint8_t* p = lock.Data();
    if (count) std::memcpy(p, parent, keep);
    const uint16_t levels = uint16_t(count + 1);
    p[0] = uint8_t(levels >> 8);
    p[1] = uint8_t(levels);
    std::memcpy(p + keep + 2, pstrName, 1u + pstrName[0]);
    return h;
}

uint32_t UServerPath::GetSize(const void* path, uint32_t size, uint32_t levels)
{
    const auto* p = static_cast<const uint8_t*>(path);
    if (!p || size < 2) return 0;
    const uint32_t count = std::min<uint32_t>(levels, LevelCount(p, size));
    uint32_t position = 2;
    for (uint32_t i = 0; i < count; ++i)
    {
        if (size - position < 3) break;
        const uint32_t level = 3u + p[position + 2];
        if (level > size - position) break;
        position += level;
    }
    return position;
}

bool UServerPath::GetTargetName(const void* path, uint32_t size, uint8_t* outPStr, uint32_t capacity)
{
    if (outPStr && capacity) outPStr[0] = 0;
    const auto* p = static_cast<const uint8_t*>(path);
    const uint16_t count = GetLevelCount(p, size);
    if (count == 0 || !outPStr || capacity == 0) return false;
    uint32_t position = 2, last = 0;
    for (uint32_t i = 0; i < count; ++i)
    {
        if (size - position < 3) return false;
        const uint32_t level = 3u + p[position + 2];
        if (level > size - position) return false;
        last = position;
        position += level;
    }
    UPString::SetBytes(outPStr, capacity, p + last + 3, p[last + 2]);
    return true;
}

THdlObj* UServerPath::MakeParentPath(const void* path, uint32_t size)
{
    const uint16_t count = GetLevelCount(path, size);
    if (count <= 1) return nullptr;
    const uint32_t parentSize = GetSize(path, size, count - 1u);
    THdlObj* h = UMemory::NewHandle(path, parentSize);
    StHandleLocker lock(h);
    // Fewer whole levels may have been present than the count claimed; the new count says what is there.
    uint16_t levels = 0;
    for (uint32_t position = 2; position < parentSize; position += 3u + lock.Data()[position + 2])
        ++levels;
    lock.Data()[0] = uint8_t(levels >> 8);
    lock.Data()[1] = uint8_t(levels);
    return h;
}

bool UServerPath::IsWellFormed(const void* path, uint32_t size)
{
    if (size == 0) return true;
    const auto* bytes = static_cast<const uint8_t*>(path);
    if (!bytes || size < 2) return false;
    const uint32_t count = (uint32_t(bytes[0]) << 8) | bytes[1];
    if (count == 0) return false;
    uint32_t at = 2;
    for (uint32_t i = 0; i < count; ++i)
    {
        if (size - at < 3) return false;
        const uint32_t length = bytes[at + 2];
        if (length == 0 || length > size - at - 3) return false;
        at += 3 + length;
    }
    return at == size;
}
