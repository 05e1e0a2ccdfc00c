// Field lists: the body of every transaction. A list is a 16-bit count followed by (id, size, bytes)
// entries, all big-endian, kept in one growable block and read back by id or by position.
#pragma once

#include <cstdint>

struct THdlObj;
struct TFieldDataObj;

class UFieldData
{
public:
    static constexpr uint32_t kMaxFieldSize = 65535;

    static TFieldDataObj* New(THdlObj* data = nullptr, uint32_t offset = 0);
    static void Dispose(TFieldDataObj* fd);

    static void AddField(TFieldDataObj* fd, uint16_t id, const void* data, uint32_t size);
    static void AddInteger(TFieldDataObj* fd, uint16_t id, int32_t value);
    static void AddPString(TFieldDataObj* fd, uint16_t id, const uint8_t* pstr);

    static uint32_t GetField(TFieldDataObj* fd, uint16_t id, void* buffer, uint32_t maxSize);
    static int32_t GetInteger(TFieldDataObj* fd, uint16_t id);
    static void GetPString(TFieldDataObj* fd, uint16_t id, uint8_t* outPStr, uint32_t capacity);
    static uint32_t GetFieldSize(TFieldDataObj* fd, uint16_t id);

    static uint32_t GetFieldCount(TFieldDataObj* fd);
    static uint16_t GetFieldID(TFieldDataObj* fd, uint32_t index);
    static uint32_t GetFieldSizeByIndex(TFieldDataObj* fd, uint32_t index);
    static uint32_t ReadFieldByIndex(TFieldDataObj* fd, uint32_t index, uint32_t start, void* buffer,
                                     uint32_t maxSize);
    static uint32_t GetFieldByIndex(TFieldDataObj* fd, uint32_t index, void* buffer, uint32_t maxSize);

    static void DeleteAllFields(TFieldDataObj* fd);
    static THdlObj* GetDataHandle(TFieldDataObj* fd);
    static void SetDataHandle(TFieldDataObj* fd, THdlObj* data, uint32_t offset);
    // Where the list starts inside the block (0 for ordinary use).
    static uint32_t GetDataOffset(TFieldDataObj* fd);

    // The integer rule of the wire: 2 bytes below 65536 (taken unsigned), else 4; read back by size.
    static uint32_t EncodeInteger(int32_t value, uint8_t outBytes[4]);
    static int32_t DecodeInteger(const void* data, uint32_t size);
};

// Owns a field list for a scope.
class StFieldData
{
public:
    StFieldData() : mFieldData(UFieldData::New()) {}
    ~StFieldData() { UFieldData::Dispose(mFieldData); }
    StFieldData(const StFieldData&) = delete;
    StFieldData& operator=(const StFieldData&) = delete;
    operator TFieldDataObj*() const { return mFieldData; }
    TFieldDataObj* operator->() const { return mFieldData; }

private:
    TFieldDataObj* mFieldData;
};
