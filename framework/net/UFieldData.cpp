#include "framework/net/UFieldData.h"

#include <algorithm>
#include <cstring>

#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"

namespace
{
struct SIDIndexEntry
{
    uint16_t id;
    uint16_t position; // 0-based: a list holds at most 65535 fields
};

uint16_t ReadBE16(const uint8_t* p)
{
    return uint16_t((p[0] << 8) | p[1]);
}

void WriteBE16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}
} // namespace

struct TFieldDataObj
{
    THdlObj* data;
    uint32_t offset;
    uint32_t* fieldOffsets; // parsedCount + 1 entries, relative to the list start
    SIDIndexEntry* idIndex; // parsedCount entries, sorted by id
    uint32_t parsedCount;
    uint32_t lastFoundPosition;
    uint16_t lastFoundID; // 0 = cache empty
    bool indexed;
};

namespace
{
void DiscardIndex(TFieldDataObj* fd)
{
    UMemory::Dispose(static_cast<TPtrObj*>(fd->fieldOffsets));
    UMemory::Dispose(static_cast<TPtrObj*>(fd->idIndex));
    fd->fieldOffsets = nullptr;
    fd->idIndex = nullptr;
    fd->parsedCount = 0;
    fd->lastFoundID = 0;
    fd->lastFoundPosition = 0;
    fd->indexed = false;
}

// Reads the list as far as it is whole: a truncated or lying list yields the fields that fit.
void BuildIndex(TFieldDataObj* fd)
{
    if (fd->indexed) return;
    const uint32_t blockSize = UMemory::GetSize(fd->data);
    const uint32_t available = fd->data && fd->offset < blockSize ? blockSize - fd->offset : 0;
    uint32_t count = 0;
    if (available >= 3)
    {
        StHandleLocker lock(fd->data);
        count = ReadBE16(lock.Data() + fd->offset);
    }
    // Arrays sized by the bytes present, not by the stored count: a field takes at least 4 bytes.
    const uint32_t room = available >= 2 ? (available - 2) / 4 : 0;
    const uint32_t capacity = std::min(count, room);
    fd->fieldOffsets = static_cast<uint32_t*>(UMemory::New(sizeof(uint32_t) * (capacity + 1)));
    fd->idIndex =
        static_cast<SIDIndexEntry*>(UMemory::New(sizeof(SIDIndexEntry) * (capacity ? capacity : 1)));
    uint32_t position = 2, parsed = 0;
    if (capacity)
    {
        StHandleLocker lock(fd->data);
        const uint8_t* list = lock.Data() + fd->offset;
        while (parsed < capacity && available - position >= 4)
        {
            const uint16_t id = ReadBE16(list + position);
            const uint32_t size = ReadBE16(list + position + 2);
            if (size > available - position - 4) break;
            fd->fieldOffsets[parsed] = position;
            fd->idIndex[parsed] = SIDIndexEntry{id, uint16_t(parsed)};
            ++parsed;
            position += 4 + size;
        }
    }
    fd->fieldOffsets[parsed] = position;
    fd->parsedCount = parsed;
    // Stable, so that the first of repeated ids is the one found.
    std::stable_sort(fd->idIndex, fd->idIndex + parsed,
                     [](const SIDIndexEntry& a, const SIDIndexEntry& b) { return a.id < b.id; });
    fd->indexed = true;
}

// The 0-based position of a field with that id, or -1.
int32_t FindField(TFieldDataObj* fd, uint16_t id)
{
    if (!fd || !fd->data || id == 0) return -1;
    BuildIndex(fd);
    if (id == fd->lastFoundID) return int32_t(fd->lastFoundPosition);
    const SIDIndexEntry* begin = fd->idIndex;
    const SIDIndexEntry* end = begin + fd->parsedCount;
    const SIDIndexEntry* hit =
        std::lower_bound(begin, end, id, [](const SIDIndexEntry& e, uint16_t key) { return e.id < key; });
    if (hit == end || hit->id != id) return -1;
    fd->lastFoundID = id;
    fd->lastFoundPosition = hit->position;
    return hit->position;
}

// Start of the field's data and its size, relative to the list start.
void FieldBounds(TFieldDataObj* fd, uint32_t position, uint32_t& outDataStart, uint32_t& outSize)
{
    const uint32_t fieldStart = fd->fieldOffsets[position];
    outDataStart = fieldStart + 4;
    outSize = fd->fieldOffsets[position + 1] - outDataStart;
}

uint32_t CopyField(TFieldDataObj* fd, int32_t position, uint32_t start, void* buffer, uint32_t maxSize)
{
    if (position < 0 || !buffer) return 0;
    uint32_t dataStart, size;
    FieldBounds(fd, uint32_t(position), dataStart, size);
    if (start >= size) return 0;
    const uint32_t n = std::min(maxSize, size - start);
    if (n == 0) return 0;
    StHandleLocker lock(fd->data);
    std::memcpy(buffer, lock.Data() + fd->offset + dataStart + start, n);
    return n;
}

uint32_t SizeAt(TFieldDataObj* fd, int32_t position)
{
    if (position < 0) return 0;
    uint32_t dataStart, size;
    FieldBounds(fd, uint32_t(position), dataStart, size);
    return size;
}

// A 1-based index turned into a position, or -1 when there is no such field.
int32_t PositionOfIndex(TFieldDataObj* fd, uint32_t index)
{
    if (!fd || !fd->data || index == 0) return -1;
    BuildIndex(fd);
    return index <= fd->parsedCount ? int32_t(index - 1) : -1;
}
} // namespace

TFieldDataObj* UFieldData::New(THdlObj* data, uint32_t offset)
{
    auto* fd = static_cast<TFieldDataObj*>(UMemory::NewClear(sizeof(TFieldDataObj)));
    fd->data = data;
    fd->offset = offset;
    return fd;
}

void UFieldData::Dispose(TFieldDataObj* fd)
{
    if (!fd) return;
    DiscardIndex(fd);
    UMemory::Dispose(fd->data);
    UMemory::Dispose(static_cast<TPtrObj*>(fd));
}

void UFieldData::AddField(TFieldDataObj* fd, uint16_t id, const void* data, uint32_t size)
{
    RequireObject(fd);
    if (id == 0) Fail(kErrTypeGeneral, 2);
    if (size == 0) return;
    if (size > kMaxFieldSize)
    {
        DebugBreak("UFieldData::AddField() - maximum field size is 65535 bytes");
        Fail(kErrTypeGeneral, 10);
    }
    uint8_t head[4];
    WriteBE16(head, id);
    WriteBE16(head + 2, uint16_t(size));
    if (fd->data)
    {
        uint32_t oldSize = UMemory::GetSize(fd->data);
        // A block shorter than an empty list (handed over from outside) is made one first.
        if (oldSize < fd->offset + 2)
        {
            UMemory::ReallocateClear(fd->data, fd->offset + 2);
            oldSize = fd->offset + 2;
        }
        uint16_t count;
        {
            StHandleLocker lock(fd->data);
            count = ReadBE16(lock.Data() + fd->offset);
        }
        // The count is 16 bits on the wire; one more field would wrap it and lose the whole list.
        if (count == 0xFFFF) Fail(kErrTypeGeneral, 10);
        if (uint64_t(oldSize) + size + 4 > UMemory::kMaxSize) Fail(kErrTypeMemory, 101);
        UMemory::SetSize(fd->data, oldSize + size + 4);
        StHandleLocker lock(fd->data);
        uint8_t* p = lock.Data();
        WriteBE16(p + fd->offset, uint16_t(count + 1));
        std::memcpy(p + oldSize, head, 4);
        if (data)
            std::memcpy(p + oldSize + 4, data, size);
        else
            std::memset(p + oldSize + 4, 0, size);
    }
    else
    {
        THdlObj* h = UMemory::NewHandleClear(fd->offset + size + 6);
        StHandleLocker lock(h);
        uint8_t* p = lock.Data() + fd->offset;
        WriteBE16(p, 1);
        std::memcpy(p + 2, head, 4);
        if (data) std::memcpy(p + 6, data, size);
        fd->data = h;
    }
    DiscardIndex(fd);
}

uint32_t UFieldData::EncodeInteger(int32_t value, uint8_t outBytes[4])
{
    const uint32_t u = uint32_t(value);
    if (u < 65536)
    {
        outBytes[0] = uint8_t(u >> 8);
        outBytes[1] = uint8_t(u);
        return 2;
    }
    outBytes[0] = uint8_t(u >> 24);
    outBytes[1] = uint8_t(u >> 16);
    outBytes[2] = uint8_t(u >> 8);
    outBytes[3] = uint8_t(u);
    return 4;
}

int32_t UFieldData::DecodeInteger(const void* data, uint32_t size)
{
    const auto* p = static_cast<const uint8_t*>(data);
    if (!p) return 0;
    if (size == 1) return p[0];
    if (size == 2) return ReadBE16(p);
    if (size >= 4)
        return int32_t((uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]);
    return 0;
}

void UFieldData::AddInteger(TFieldDataObj* fd, uint16_t id, int32_t value)
{
    uint8_t bytes[4];
    const uint32_t size = EncodeInteger(value, bytes);
    AddField(fd, id, bytes, size);
}

void UFieldData::AddPString(TFieldDataObj* fd, uint16_t id, const uint8_t* pstr)
{
    RequireObject(fd);
    if (!pstr) return;
    AddField(fd, id, pstr + 1, pstr[0]);
}

uint32_t UFieldData::GetField(TFieldDataObj* fd, uint16_t id, void* buffer, uint32_t maxSize)
{
    return CopyField(fd, FindField(fd, id), 0, buffer, maxSize);
}

int32_t UFieldData::GetInteger(TFieldDataObj* fd, uint16_t id)
{
    uint8_t bytes[4] = {};
    const int32_t position = FindField(fd, id);
    const uint32_t size = SizeAt(fd, position);
    CopyField(fd, position, 0, bytes, 4);
    return DecodeInteger(bytes, size);
}

void UFieldData::GetPString(TFieldDataObj* fd, uint16_t id, uint8_t* outPStr, uint32_t capacity)
{
    if (!outPStr || capacity == 0) return;
    const uint32_t room = std::min<uint32_t>(capacity - 1, 255);
    outPStr[0] = uint8_t(CopyField(fd, FindField(fd, id), 0, outPStr + 1, room));
}

uint32_t UFieldData::GetFieldSize(TFieldDataObj* fd, uint16_t id)
{
    return SizeAt(fd, FindField(fd, id));
}

uint32_t UFieldData::GetFieldCount(TFieldDataObj* fd)
{
    if (!fd || !fd->data) return 0;
    BuildIndex(fd);
    return fd->parsedCount;
}

uint16_t UFieldData::GetFieldID(TFieldDataObj* fd, uint32_t index)
{
    const int32_t position = PositionOfIndex(fd, index);
    if (position < 0) return 0;
    StHandleLocker lock(fd->data);
    return ReadBE16(lock.Data() + fd->offset + fd->fieldOffsets[position]);
}

uint32_t UFieldData::GetFieldSizeByIndex(TFieldDataObj* fd, uint32_t index)
{
    return SizeAt(fd, PositionOfIndex(fd, index));
}

uint32_t UFieldData::ReadFieldByIndex(TFieldDataObj* fd, uint32_t index, uint32_t start, void* buffer,
                                      uint32_t maxSize)
{
    return CopyField(fd, PositionOfIndex(fd, index), start, buffer, maxSize);
}

uint32_t UFieldData::GetFieldByIndex(TFieldDataObj* fd, uint32_t index, void* buffer, uint32_t maxSize)
{
    return ReadFieldByIndex(fd, index, 0, buffer, maxSize);
}

void UFieldData::DeleteAllFields(TFieldDataObj* fd)
{
    RequireObject(fd);
    DiscardIndex(fd);
    UMemory::Dispose(fd->data);
    fd->data = nullptr;
}

THdlObj* UFieldData::GetDataHandle(TFieldDataObj* fd)
{
    RequireObject(fd);
    if (!fd->data)
    {
        fd->data = UMemory::NewHandleClear(fd->offset + 2);
        DiscardIndex(fd);
    }
    return fd->data;
}

void UFieldData::SetDataHandle(TFieldDataObj* fd, THdlObj* data, uint32_t offset)
{
    RequireObject(fd);
    DiscardIndex(fd);
    if (fd->data != data) UMemory::Dispose(fd->data);
    fd->data = data;
    fd->offset = offset;
}

uint32_t UFieldData::GetDataOffset(TFieldDataObj* fd)
{
    RequireObject(fd);
    return fd->offset;
}
