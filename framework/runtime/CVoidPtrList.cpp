#include "framework/runtime/CVoidPtrList.h"

#include <cstring>

#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"

CVoidPtrList::~CVoidPtrList()
{
    UMemory::Dispose(static_cast<TPtrObj*>(mItems));
}

uint32_t CVoidPtrList::AddItem(void* item)
{
    if (!item) Fail(kErrTypeGeneral, 2);
    if (mCount == mCapacity)
    {
        // First room for 8, then 8 more each time.
        uint32_t capacity = mCapacity == 0 ? 8 : ((mCapacity + 15) & ~7u);
        mItems = static_cast<void**>(UMemory::Reallocate(mItems, capacity * uint32_t(sizeof(void*))));
        mCapacity = capacity;
    }
    mItems[mCount++] = item;
    return mCount;
}

uint32_t CVoidPtrList::RemoveItem(void* item)
{
    uint32_t index = GetItemIndex(item);
    if (index) RemoveItemAt(index);
    return index;
}

void* CVoidPtrList::RemoveItemAt(uint32_t index)
{
    if (index == 0 || index > mCount) return nullptr;
    void* item = mItems[index - 1];
    std::memmove(mItems + index - 1, mItems + index, (mCount - index) * sizeof(void*));
    --mCount;
    ShrinkIfSparse();
    return item;
}

uint32_t CVoidPtrList::GetItemIndex(const void* item) const
{
    if (!item) return 0;
    for (uint32_t i = 0; i < mCount; ++i)
        if (mItems[i] == item) return i + 1;
    return 0;
}

void CVoidPtrList::Clear()
{
    UMemory::Dispose(static_cast<TPtrObj*>(mItems));
    mItems = nullptr;
    mCount = mCapacity = 0;
}

void CVoidPtrList::ShrinkIfSparse()
{
    if (mCapacity - mCount <= 32) return;
    uint32_t capacity = (mCount + 3) & ~3u;
    mItems = static_cast<void**>(UMemory::Reallocate(mItems, capacity * uint32_t(sizeof(void*))));
    mCapacity = capacity;
}

namespace
{
void SiftDown(void** items, uint32_t start, uint32_t count, CVoidPtrList::CompareProc compare, void* ref)
{
    uint32_t root = start;
    for (;;)
    {
        uint32_t child = 2 * root + 1;
        if (child >= count) return;
        if (child + 1 < count && compare(items[child], items[child + 1], ref) < 0) ++child;
        if (compare(items[root], items[child], ref) >= 0) return;
        void* t = items[root];
        items[root] = items[child];
        items[child] = t;
        root = child;
    }
}
} // namespace

void CVoidPtrList::Sort(CompareProc compare, void* ref)
{
    if (!compare) Fail(kErrTypeGeneral, 2);
    if (mCount < 2) return;
    for (uint32_t i = mCount / 2; i-- > 0;)
        SiftDown(mItems, i, mCount, compare, ref);
    for (uint32_t end = mCount - 1; end > 0; --end)
    {
        void* t = mItems[0];
        mItems[0] = mItems[end];
        mItems[end] = t;
        SiftDown(mItems, 0, end, compare, ref);
    }
}
