// Fixed blocks, resizable handles and the byte-range helpers every layer builds on.
#pragma once

#include <cstdint>

// A resizable block that knows its logical size. Its address is only valid while it is locked:
// resizing may move it.
struct THdlObj;
// Fixed blocks never move; they are plain addresses.
using TPtrObj = void;

class UMemory
{
public:
    // Largest block or handle; anything bigger is treated as exhaustion (3/101).
    static constexpr uint32_t kMaxSize = 0x7FFFFFFF;

    static TPtrObj* New(uint32_t size);
    static TPtrObj* New(const void* source, uint32_t size);
    static TPtrObj* NewClear(uint32_t size);
    static TPtrObj* Reallocate(TPtrObj* block, uint32_t size);
    static void Dispose(TPtrObj* block);

    static THdlObj* NewHandle(uint32_t size, uint32_t flags = 0);
    static THdlObj* NewHandle(const void* source, uint32_t size, uint32_t flags = 0);
    static THdlObj* NewHandleClear(uint32_t size, uint32_t flags = 0);
    static void Dispose(THdlObj* handle);
    static uint32_t GetSize(THdlObj* handle);
    static void SetSize(THdlObj* handle, uint32_t size);
    static void Reallocate(THdlObj* handle, uint32_t size);
    static void ReallocateClear(THdlObj* handle, uint32_t size);
    static void* Lock(THdlObj* handle);
    static void Unlock(THdlObj* handle);
    static void SetDiscardable(THdlObj* handle);
    // True when the contents were thrown away while the handle was discardable.
    static bool ClearDiscardable(THdlObj* handle);
    // Throws away the contents of every discardable handle (what the system does under memory pressure).
    static void PurgeDiscardable();
    static void Set(THdlObj* handle, const void* source, uint32_t size);
    static void Append(THdlObj* handle, const void* source, uint32_t size);
    static uint32_t Insert(THdlObj* handle, uint32_t offset, const void* source, uint32_t size);
    static uint32_t Remove(THdlObj* handle, uint32_t offset, uint32_t size);
    static uint32_t Replace(THdlObj* handle, uint32_t offset, uint32_t oldSize, const void* source,
                            uint32_t newSize);
    static uint32_t Read(THdlObj* handle, uint32_t offset, void* buffer, uint32_t size);
    static uint32_t ReadLong(THdlObj* handle, uint32_t offset);
    static void WriteLong(THdlObj* handle, uint32_t offset, uint32_t value);
    static uint16_t ReadWord(THdlObj* handle, uint32_t offset);

    static uint32_t Copy(void* destination, const void* source, uint32_t size);
    static void Fill(void* buffer, uint32_t size, uint8_t value);
    static void Clear(void* buffer, uint32_t size);
    static bool Equal(const void* a, const void* b, uint32_t size);
    static int Compare(const void* a, const void* b, uint32_t size);
    static int Compare(const void* a, uint32_t sizeA, const void* b, uint32_t sizeB);
    static const void* Search(const void* pattern, uint32_t patternSize, const void* data, uint32_t dataSize);
    static const void* SearchByte(uint8_t value, const void* data, uint32_t size);
    static const void* SearchByteBackwards(uint8_t value, const void* data, uint32_t size);
    static const uint32_t* SearchLongArray(uint32_t value, const uint32_t* array, uint32_t count);
    static uint32_t SearchAndReplaceAll(THdlObj* handle, uint32_t startOffset, const void* pattern,
                                        uint32_t patternSize, const void* replacement,
                                        uint32_t replacementSize);

    static uint32_t Checksum(const void* data, uint32_t size);
    static uint32_t CRC(const void* data, uint32_t size, uint32_t initial);
    static uint32_t AdlerSum(const void* data, uint32_t size, uint32_t initial);
};

// Locks a handle for the lifetime of the guard.
class StHandleLocker
{
public:
    explicit StHandleLocker(THdlObj* handle) : mHandle(handle), mData(UMemory::Lock(handle)) {}
    ~StHandleLocker() { UMemory::Unlock(mHandle); }
    StHandleLocker(const StHandleLocker&) = delete;
    StHandleLocker& operator=(const StHandleLocker&) = delete;
    uint8_t* Data() const { return static_cast<uint8_t*>(mData); }

private:
    THdlObj* mHandle;
    void* mData;
};

// Owns a handle and disposes of it unless it was released.
class StHandle
{
public:
    explicit StHandle(THdlObj* handle = nullptr) : mHandle(handle) {}
    ~StHandle() { UMemory::Dispose(mHandle); }
    StHandle(const StHandle&) = delete;
    StHandle& operator=(const StHandle&) = delete;
    THdlObj* Get() const { return mHandle; }
    THdlObj* Release()
    {
        THdlObj* h = mHandle;
        mHandle = nullptr;
        return h;
    }

private:
    THdlObj* mHandle;
};

// Owns a fixed block.
class StPtr
{
public:
    explicit StPtr(TPtrObj* block = nullptr) : mBlock(block) {}
    ~StPtr() { UMemory::Dispose(mBlock); }
    StPtr(const StPtr&) = delete;
    StPtr& operator=(const StPtr&) = delete;
    TPtrObj* Get() const { return mBlock; }
    TPtrObj* Release()
    {
        TPtrObj* b = mBlock;
        mBlock = nullptr;
        return b;
    }

private:
    TPtrObj* mBlock;
};
