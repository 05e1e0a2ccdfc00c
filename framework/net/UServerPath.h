// Folder paths on a server as they travel in fields: a 16-bit level count, then per level two reserved
// bytes, a length byte and the name. The root folder has no path at all.
#pragma once

#include <cstdint>

struct THdlObj;

class UServerPath
{
public:
    // Appends one level to a path block (an empty block or null parent stands for the root).
    // Returns a new block; the parent is left as it is. pstrName is a length-prefixed name.
    static THdlObj* MakeChildPath(const void* parentPath, uint32_t parentSize, const uint8_t* pstrName);
    // Copies at most capacity - 1 characters of the last level's name into a length-prefixed string.
    // False (and an empty string) for the root, an empty path or one whose levels run past its end.
    static bool GetTargetName(const void* path, uint32_t size, uint8_t* outPStr, uint32_t capacity);
    // Bytes taken by the count and the first min(levels, count) whole levels.
    static uint32_t GetSize(const void* path, uint32_t size, uint32_t levels);
    static uint16_t GetLevelCount(const void* path, uint32_t size);
    // The root (no bytes), or a level count of at least one followed by exactly that many whole levels
    // with names that are not empty. A path that is anything else was cut on its way and names another
    // folder than the one meant.
    static bool IsWellFormed(const void* path, uint32_t size);
    // The path of the folder holding the target: its first count - 1 levels, with the count lowered.
    // Null for a target in the root.
    static THdlObj* MakeParentPath(const void* path, uint32_t size);
};
