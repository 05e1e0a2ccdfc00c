// Lists of variable-sized items keyed by a 32-bit id ("IVA1"), the form of the error text lists.
#pragma once

#include <cstdint>

#include "framework/runtime/UMemory.h"

class UIDVarArray
{
public:
    // Copies at most maxSize bytes of the item with the id into out and returns the count. Returns 0 when
    // the id is absent, the item is empty or the list is malformed: lists come from data files.
    static uint32_t GetItem(const void* list, uint32_t listSize, uint32_t id, void* out, uint32_t maxSize);
    // The same for a list held in a handle (null allowed, gives 0).
    static uint32_t GetItem(THdlObj* list, uint32_t id, void* out, uint32_t maxSize);
};
