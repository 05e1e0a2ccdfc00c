#include "framework/runtime/UMemory.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "framework/runtime/SError.h"

// The system allocator serves both kinds of block; it is thread-safe, which is all the fixed blocks
// promise. Handles keep their logical size apart from what was allocated so that growing by small steps
// (appending to a field list, a receive buffer) does not reallocate every time.
struct THdlObj
{
    uint8_t* data;
    uint32_t size;
    uint32_t capacity;
    uint32_t lockCount;
    bool discardable;
    bool discarded;
    THdlObj* nextDiscardable;
};

namespace
{
THdlObj* gDiscardableList = nullptr;

void LinkDiscardable(THdlObj* h)
{
    h->nextDiscardable = gDiscardableList;
    gDiscardableList = h;
}

void UnlinkDiscardable(THdlObj* h)
{
    for (THdlObj** link = &gDiscardableList; *link; link = &(*link)->nextDiscardable)
        if (*link == h)
        {
            *link = h->nextDiscardable;
            h->nextDiscardable = nullptr;
            return;
        }
}

[[noreturn]] void FailMemory()
{
    Fail(kErrTypeMemory, 101);
}

void CheckSize(uint32_t size)
{
    if (size > UMemory::kMaxSize) FailMemory();
}

uint32_t GrowCapacity(uint32_t current, uint32_t wanted)
{
    if (wanted <= current) return current;
    uint64_t grown = uint64_t(current) + current / 2;
    if (grown < wanted) grown = wanted;
    if (grown > UMemory::kMaxSize) grown = UMemory::kMaxSize;
    return uint32_t(grown);
}

void ResizeStorage(THdlObj* h, uint32_t size)
{
    CheckSize(size);
    if (size > h->capacity)
    {
        uint32_t capacity = GrowCapacity(h->capacity, size);
        void* p = std::realloc(h->data, capacity);
        if (!p) FailMemory();
        h->data = static_cast<uint8_t*>(p);
        h->capacity = capacity;
    }
    else if (size < h->capacity / 4 && h->capacity > 4096)
    {
        // Give memory back when a large handle shrinks a lot; failing to shrink is harmless.
        if (void* p = std::realloc(h->data, size ? size : 1))
        {
            h->data = static_cast<uint8_t*>(p);
            h->capacity = size ? size : 1;
        }
    }
    h->size = size;
}

THdlObj* MakeHandle(uint32_t size)
{
    CheckSize(size);
    auto* h = static_cast<THdlObj*>(std::calloc(1, sizeof(THdlObj)));
    if (!h) FailMemory();
    if (size)
    {
        h->data = static_cast<uint8_t*>(std::malloc(size));
        if (!h->data)
        {
            std::free(h);
            FailMemory();
        }
    }
    h->size = size;
    h->capacity = size;
    return h;
}

// Contents thrown away under memory pressure come back as an empty block of the old size the next
// time they are made non-discardable; callers are told through ClearDiscardable.
void RestoreDiscarded(THdlObj* h)
{
    if (!h->discarded) return;
    h->discarded = false;
    uint32_t size = h->size;
    h->size = 0;
    ResizeStorage(h, size);
}
} // namespace

TPtrObj* UMemory::New(uint32_t size)
{
    if (size == 0) Fail(kErrTypeGeneral, 2);
    CheckSize(size);
    void* p = std::malloc(size);
    if (!p) FailMemory();
    return p;
}

TPtrObj* UMemory::New(const void* source, uint32_t size)
{
    TPtrObj* p = New(size);
    if (source) std::memcpy(p, source, size);
    return p;
}

TPtrObj* UMemory::NewClear(uint32_t size)
{
    TPtrObj* p = New(size);
    std::memset(p, 0, size);
    return p;
}

TPtrObj* UMemory::Reallocate(TPtrObj* block, uint32_t size)
{
    if (size == 0)
    {
        std::free(block);
        return nullptr;
    }
    CheckSize(size);
    void* p = std::realloc(block, size);
    if (!p) FailMemory();
    return p;
}

void UMemory::Dispose(TPtrObj* block)
{
    std::free(block);
}

THdlObj* UMemory::NewHandle(uint32_t size, uint32_t)
{
    return MakeHandle(size);
}

THdlObj* UMemory::NewHandle(const void* source, uint32_t size, uint32_t)
{
    THdlObj* h = MakeHandle(size);
    if (source && size) std::memcpy(h->data, source, size);
    return h;
}

THdlObj* UMemory::NewHandleClear(uint32_t size, uint32_t)
{
    THdlObj* h = MakeHandle(size);
    if (size) std::memset(h->data, 0, size);
    return h;
}

void UMemory::Dispose(THdlObj* handle)
{
    if (!handle) return;
    if (handle->discardable) UnlinkDiscardable(handle);
    std::free(handle->data);
    std::free(handle);
}

uint32_t UMemory::GetSize(THdlObj* handle)
{
    return handle ? handle->size : 0;
}

void UMemory::SetSize(THdlObj* handle, uint32_t size)
{
    RequireObject(handle);
    RestoreDiscarded(handle);
    ResizeStorage(handle, size);
}

void UMemory::Reallocate(THdlObj* handle, uint32_t size)
{
    RequireObject(handle);
    ClearDiscardable(handle);
    ResizeStorage(handle, size);
}

void UMemory::ReallocateClear(THdlObj* handle, uint32_t size)
{
    Reallocate(handle, size);
    if (size) std::memset(handle->data, 0, size);
}

void* UMemory::Lock(THdlObj* handle)
{
    RequireObject(handle);
    RestoreDiscarded(handle);
    ++handle->lockCount;
    return handle->data;
}

void UMemory::Unlock(THdlObj* handle)
{
    if (handle && handle->lockCount) --handle->lockCount;
}

void UMemory::SetDiscardable(THdlObj* handle)
{
    RequireObject(handle);
    if (handle->discardable) return;
    handle->discardable = true;
    LinkDiscardable(handle);
}

bool UMemory::ClearDiscardable(THdlObj* handle)
{
    RequireObject(handle);
    const bool wasDiscarded = handle->discarded;
    if (handle->discardable)
    {
        handle->discardable = false;
        UnlinkDiscardable(handle);
    }
    RestoreDiscarded(handle);
    return wasDiscarded;
}

void UMemory::PurgeDiscardable()
{
    for (THdlObj* h = gDiscardableList; h; h = h->nextDiscardable)
    {
        if (h->lockCount || h->discarded) continue;
        std::free(h->data);
        h->data = nullptr;
        h->capacity = 0;
        h->discarded = true;
    }
}

void UMemory::Set(THdlObj* handle, const void* source, uint32_t size)
{
    SetSize(handle, size);
    if (source && size) std::memmove(handle->data, source, size);
}

void UMemory::Append(THdlObj* handle, const void* source, uint32_t size)
{
    RequireObject(handle);
    if (size == 0) return;
    RestoreDiscarded(handle);
    uint32_t old = handle->size;
    if (uint64_t(old) + size > kMaxSize) FailMemory();
    // The source may lie inside the handle itself, which may move when it grows.
    ptrdiff_t inside = -1;
    if (source && handle->data && static_cast<const uint8_t*>(source) >= handle->data &&
        static_cast<const uint8_t*>(source) < handle->data + old)
        inside = static_cast<const uint8_t*>(source) - handle->data;
    ResizeStorage(handle, old + size);
    if (source) std::memmove(handle->data + old, inside >= 0 ? handle->data + inside : source, size);
}

uint32_t UMemory::Insert(THdlObj* handle, uint32_t offset, const void* source, uint32_t size)
{
    RequireObject(handle);
    RestoreDiscarded(handle);
    if (offset > handle->size) offset = handle->size;
    if (size == 0) return offset;
    return Replace(handle, offset, 0, source, size);
}

uint32_t UMemory::Remove(THdlObj* handle, uint32_t offset, uint32_t size)
{
    RequireObject(handle);
    RestoreDiscarded(handle);
    if (offset >= handle->size) return handle->size;
    return Replace(handle, offset, size, nullptr, 0);
}

uint32_t UMemory::Replace(THdlObj* handle, uint32_t offset, uint32_t oldSize, const void* source,
                          uint32_t newSize)
{
    RequireObject(handle);
    RestoreDiscarded(handle);
    const uint32_t size = handle->size;
    if (offset > size) offset = size;
    if (oldSize > size - offset) oldSize = size - offset;
    const uint32_t tail = size - offset - oldSize;
    if (uint64_t(size) - oldSize + newSize > kMaxSize) FailMemory();
    // A source inside the handle would move or be overwritten: work from a copy.
    uint8_t* copy = nullptr;
    if (source && newSize && handle->data && static_cast<const uint8_t*>(source) < handle->data + size &&
        static_cast<const uint8_t*>(source) + newSize > handle->data)
    {
        copy = static_cast<uint8_t*>(std::malloc(newSize));
        if (!copy) FailMemory();
        std::memcpy(copy, source, newSize);
        source = copy;
    }
    if (newSize > oldSize) ResizeStorage(handle, size - oldSize + newSize);
    if (tail) std::memmove(handle->data + offset + newSize, handle->data + offset + oldSize, tail);
    if (newSize < oldSize) ResizeStorage(handle, size - oldSize + newSize);
    if (source && newSize) std::memcpy(handle->data + offset, source, newSize);
    std::free(copy);
    return offset;
}

uint32_t UMemory::Read(THdlObj* handle, uint32_t offset, void* buffer, uint32_t size)
{
    if (!handle || handle->discarded || offset >= handle->size || !buffer) return 0;
    uint32_t count = std::min(size, handle->size - offset);
    std::memcpy(buffer, handle->data + offset, count);
    return count;
}

uint32_t UMemory::ReadLong(THdlObj* handle, uint32_t offset)
{
    uint32_t value = 0;
    if (!handle || handle->discarded || uint64_t(offset) + 4 > handle->size) return 0;
    std::memcpy(&value, handle->data + offset, 4);
    return value;
}

void UMemory::WriteLong(THdlObj* handle, uint32_t offset, uint32_t value)
{
    RequireObject(handle);
    if (handle->discarded || uint64_t(offset) + 4 > handle->size) return;
    std::memcpy(handle->data + offset, &value, 4);
}

uint16_t UMemory::ReadWord(THdlObj* handle, uint32_t offset)
{
    uint16_t value = 0;
    if (!handle || handle->discarded || uint64_t(offset) + 2 > handle->size) return 0;
    std::memcpy(&value, handle->data + offset, 2);
    return value;
}
