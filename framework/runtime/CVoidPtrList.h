// An untyped growable list of pointers with 1-based indexes. It does not own what the items point to.
#pragma once

#include <cstdint>

class CVoidPtrList
{
public:
    using CompareProc = int (*)(void* a, void* b, void* ref);

    CVoidPtrList() = default;
    ~CVoidPtrList();
    CVoidPtrList(const CVoidPtrList&) = delete;
    CVoidPtrList& operator=(const CVoidPtrList&) = delete;

    uint32_t AddItem(void* item);
    uint32_t RemoveItem(void* item);
    void* RemoveItemAt(uint32_t index);
    uint32_t GetItemIndex(const void* item) const;
    void* GetItem(uint32_t index) const { return index && index <= mCount ? mItems[index - 1] : nullptr; }
    uint32_t GetItemCount() const { return mCount; }
    uint32_t GetCapacity() const { return mCapacity; }
    void Clear();
    void Sort(CompareProc compare, void* ref);

protected:
    void** mItems = nullptr;
    uint32_t mCount = 0;
    uint32_t mCapacity = 0;

private:
    void ShrinkIfSparse();
};

// The typed face of the list used throughout the client.
template <class T>
class CPtrList : public CVoidPtrList
{
public:
    uint32_t AddItem(T* item) { return CVoidPtrList::AddItem(item); }
    uint32_t RemoveItem(T* item) { return CVoidPtrList::RemoveItem(item); }
    T* RemoveItemAt(uint32_t index) { return static_cast<T*>(CVoidPtrList::RemoveItemAt(index)); }
    T* GetItem(uint32_t index) const { return static_cast<T*>(CVoidPtrList::GetItem(index)); }
    T** begin() const { return reinterpret_cast<T**>(mItems); }
    T** end() const { return reinterpret_cast<T**>(mItems) + mCount; }
};
