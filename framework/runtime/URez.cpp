#include "framework/runtime/URez.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <new>
#include <string>
#include <vector>

#include "framework/runtime/BigEndian.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UPString.h"
#include "platform/FileHandle.h"
#include "platform/Folders.h"

namespace
{
constexpr uint32_t kHeaderSize = 32;
constexpr uint32_t kMinFileSize = 40;
constexpr uint32_t kMinMapSize = 8;
constexpr uint32_t kGroupHeaderSize = 8;
constexpr uint32_t kEntrySize = 16;
constexpr uint16_t kVersion = 1;
// The top two attribute bits are state of whatever wrote the file; they are dropped when the map is read.
constexpr uint32_t kAttrKeptMask = 0x3FFFFFFF;

struct SRezItem
{
    uint32_t id;
    uint32_t attributes;
    uint32_t size;
    uint32_t offset;
    THdlObj* data;
    uint32_t loadCount;
};

struct SRezType
{
    uint32_t type;
    uint32_t lastID = 0;
    uint32_t lastIndex = 0;
    std::vector<SRezItem> items;
};

[[noreturn]] void FailDamaged()
{
    Fail(kErrTypeRez, 102);
}
} // namespace

struct TRezObj
{
    TRezObj* next = nullptr;
    bool inChain = false;
    uint32_t lastType = 0;
    uint32_t lastTypeIndex = 0;
    std::vector<SRezType> types;
    RezReadProc read = nullptr;
    RezWriteProc write = nullptr;
    RezGetSizeProc getSize = nullptr;
    RezSetSizeProc setSize = nullptr;
    RezTempFileProc tempFile = nullptr;
    void* fileRef = nullptr;
    // Set for files that URez opened itself and must close.
    void (*closeProc)(void* ref) = nullptr;
    bool changed = false;
};

namespace
{
TRezObj* gRezChain = nullptr;

SRezType* FindType(TRezObj* rez, uint32_t type)
{
    auto& types = rez->types;
    if (rez->lastTypeIndex < types.size() && types[rez->lastTypeIndex].type == type && rez->lastType == type)
        return &types[rez->lastTypeIndex];
    auto it = std::lower_bound(types.begin(), types.end(), type,
                               [](const SRezType& t, uint32_t key) { return t.type < key; });
    if (it == types.end() || it->type != type) return nullptr;
    rez->lastType = type;
    rez->lastTypeIndex = uint32_t(it - types.begin());
    return &*it;
}

SRezItem* FindItem(SRezType* table, uint32_t id)
{
    auto& items = table->items;
    if (table->lastIndex < items.size() && items[table->lastIndex].id == id && table->lastID == id)
        return &items[table->lastIndex];
    auto it = std::lower_bound(items.begin(), items.end(), id,
                               [](const SRezItem& item, uint32_t key) { return item.id < key; });
    if (it == items.end() || it->id != id) return nullptr;
    table->lastID = id;
    table->lastIndex = uint32_t(it - items.begin());
    return &*it;
}

SRezItem* FindItem(TRezObj* rez, uint32_t type, uint32_t id)
{
    SRezType* table = FindType(rez, type);
    return table ? FindItem(table, id) : nullptr;
}

void FreeItems(TRezObj* rez)
{
    for (auto& table : rez->types)
        for (auto& item : table.items)
        {
            UMemory::Dispose(item.data);
            item.data = nullptr;
        }
}

// Parses the map bytes into sorted tables. Groups of one type may be split in the file; they are merged.
std::vector<SRezType> ParseMap(const uint8_t* map, uint32_t mapSize, uint32_t mapOffset)
{
    if (GetBE32(map) != mapOffset) FailDamaged();
    const uint32_t typeCount = GetBE32(map + 4);
    if (uint64_t(typeCount) * 8 > mapSize - kMinMapSize) FailDamaged();

    std::vector<SRezType> types;
    uint32_t pos = kMinMapSize;
    for (uint32_t t = 0; t < typeCount; ++t)
    {
        if (mapSize - pos < kGroupHeaderSize) FailDamaged();
        const uint32_t type = GetBE32(map + pos);
        const uint32_t count = GetBE32(map + pos + 4);
        pos += kGroupHeaderSize;
        if (type == 0 || uint64_t(count) * kEntrySize > mapSize - pos) FailDamaged();

        SRezType* table = nullptr;
        for (auto& existing : types)
            if (existing.type == type) table = &existing;
        if (table == nullptr)
        {
            types.push_back(SRezType{type, 0, 0, {}});
            table = &types.back();
        }
        table->items.reserve(table->items.size() + count);
        for (uint32_t i = 0; i < count; ++i, pos += kEntrySize)
        {
            const uint8_t* entry = map + pos;
            SRezItem item{GetBE32(entry),
                          GetBE32(entry + 4) & kAttrKeptMask,
                          GetBE32(entry + 8),
                          GetBE32(entry + 12),
                          nullptr,
                          0};
            if (item.id == 0 || uint64_t(item.offset) + item.size > mapOffset) FailDamaged();
            table->items.push_back(item);
        }
    }

    std::sort(types.begin(), types.end(),
              [](const SRezType& a, const SRezType& b) { return a.type < b.type; });
    for (auto& table : types)
    {
        auto& items = table.items;
        std::sort(items.begin(), items.end(),
                  [](const SRezItem& a, const SRezItem& b) { return a.id < b.id; });
        // Two entries with one id would make the answer depend on the sort; such a map is not one we wrote.
        for (size_t i = 1; i < items.size(); ++i)
            if (items[i].id == items[i - 1].id) FailDamaged();
    }
    return types;
}

struct SRezFile
{
    int fd;
};

uint32_t FileRead(void* ref, uint32_t offset, void* buffer, uint32_t size)
{
    uint32_t got = 0;
    if (int err = platform::ReadAt(static_cast<SRezFile*>(ref)->fd, offset, buffer, size, got))
        FailOSError(err);
    return got;
}

uint32_t FileGetSize(void* ref)
{
    uint64_t size = 0;
    if (int err = platform::FileSize(static_cast<SRezFile*>(ref)->fd, size)) FailOSError(err);
    // Nothing past 4 GiB is addressable by the map, so a larger file is as good as one of 4 GiB.
    return size > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(size);
}

void FileClose(void* ref)
{
    SRezFile* file = static_cast<SRezFile*>(ref);
    platform::CloseFile(file->fd);
    delete file;
}

// Returns 0 or the errno of the failed open.
int OpenFileOnChain(const std::string& path, TRezObj*& outRez)
{
    int fd = -1;
    if (int err = platform::OpenFile(path, platform::OpenMode::ReadOnly, fd)) return err;
    SRezFile* file = new (std::nothrow) SRezFile{fd};
    if (file == nullptr)
    {
        platform::CloseFile(fd);
        Fail(kErrTypeMemory, 101);
    }
    TRezObj* rez = nullptr;
    try
    {
        rez = URez::New(FileRead, nullptr, FileGetSize, nullptr, nullptr, file);
    }
    catch (...)
    {
        FileClose(file);
        throw;
    }
    rez->closeProc = FileClose;
    URez::AddSearchChainEnd(rez);
    outRez = rez;
    return 0;
}
} // namespace

TRezObj* URez::New(RezReadProc read, RezWriteProc write, RezGetSizeProc getSize, RezSetSizeProc setSize,
                   RezTempFileProc tempFile, void* fileRef, bool deferRead)
{
    TRezObj* rez = new (std::nothrow) TRezObj;
    if (rez == nullptr) Fail(kErrTypeMemory, 101);
    rez->read = read;
    rez->write = write;
    rez->getSize = getSize;
    rez->setSize = setSize;
    rez->tempFile = tempFile;
    rez->fileRef = fileRef;
    if (!deferRead)
    {
        try
        {
            ReadMap(rez);
        }
        catch (...)
        {
            delete rez;
            throw;
        }
    }
    return rez;
}

void URez::ReadMap(TRezObj* rez)
{
    RequireObject(rez);
    for (auto& table : rez->types)
        for (auto& item : table.items)
            if (item.data != nullptr && item.loadCount != 0) Fail(kErrTypeGeneral, 3);

    std::vector<SRezType> types;
    uint32_t fileSize = 0;
    if (rez->read != nullptr && rez->getSize != nullptr) fileSize = rez->getSize(rez->fileRef);
    if (fileSize != 0)
    {
        uint8_t header[kHeaderSize];
        if (fileSize < kMinFileSize || rez->read(rez->fileRef, 0, header, kHeaderSize) < kHeaderSize)
            FailDamaged();
        if (std::memcmp(header, "NQRZ", 4) != 0) Fail(kErrTypeGeneral, 8);
        if (((uint16_t(header[4]) << 8) | header[5]) != kVersion) Fail(kErrTypeGeneral, 7);

        const uint32_t mapSize = GetBE32(header + 24);
        const uint32_t dataSize = GetBE32(header + 28);
        if (mapSize < kMinMapSize || uint64_t(kHeaderSize) + dataSize + mapSize > fileSize) FailDamaged();
        const uint32_t mapOffset = kHeaderSize + dataSize;

        // The map size is bounded by the file's real size, checked above.
        StPtr map(UMemory::New(mapSize));
        if (rez->read(rez->fileRef, mapOffset, map.Get(), mapSize) < mapSize) FailDamaged();
        types = ParseMap(static_cast<const uint8_t*>(map.Get()), mapSize, mapOffset);
    }

    FreeItems(rez);
    rez->types = std::move(types);
    rez->lastType = 0;
    rez->lastTypeIndex = 0;
    // An empty or unreadable file is a new one whose map has never been written.
    rez->changed = fileSize == 0;
}

void URez::Dispose(TRezObj* rez)
{
    if (rez == nullptr) return;
    RemoveFromSearchChain(rez);
    FreeItems(rez);
    if (rez->closeProc != nullptr) rez->closeProc(rez->fileRef);
    delete rez;
}

bool URez::IsChanged(TRezObj* rez)
{
    RequireObject(rez);
    return rez->changed;
}

TRezObj* URez::AddProgramFileToSearchChain(const uint8_t* pascalName)
{
    if (pascalName == nullptr || pascalName[0] == 0) Fail(kErrTypeGeneral, 2);
    const std::string name(UPString::Text(pascalName));
    const std::string folder = platform::ProgramFolder();
    TRezObj* rez = nullptr;
    for (const std::string& path : {folder + "/" + name, folder + "/../share/quenvol/" + name})
    {
        const int err = OpenFileOnChain(path, rez);
        if (err == 0) return rez;
        if (err != ENOENT && err != ENOTDIR) FailOSError(err);
    }
    Fail(kErrTypeFileSys, 103);
}

TRezObj* URez::AddFileToSearchChain(const char* path)
{
    if (path == nullptr || path[0] == 0) Fail(kErrTypeGeneral, 2);
    TRezObj* rez = nullptr;
    const int err = OpenFileOnChain(path, rez);
    if (err == ENOENT) Fail(kErrTypeFileSys, 103);
    if (err != 0) FailOSError(err);
    return rez;
}

void URez::AddSearchChainEnd(TRezObj* rez)
{
    RequireObject(rez);
    RemoveFromSearchChain(rez);
    TRezObj** link = &gRezChain;
    while (*link != nullptr)
        link = &(*link)->next;
    *link = rez;
    rez->next = nullptr;
    rez->inChain = true;
}

void URez::RemoveFromSearchChain(TRezObj* rez)
{
    if (rez == nullptr || !rez->inChain) return;
    for (TRezObj** link = &gRezChain; *link != nullptr; link = &(*link)->next)
        if (*link == rez)
        {
            *link = rez->next;
            break;
        }
    rez->next = nullptr;
    rez->inChain = false;
}

TRezObj* URez::SearchChain(uint32_t type, uint32_t id)
{
    for (TRezObj* rez = gRezChain; rez != nullptr; rez = rez->next)
        if (FindItem(rez, type, id) != nullptr) return rez;
    return nullptr;
}

bool URez::HasItem(TRezObj* rez, uint32_t type, uint32_t id)
{
    RequireObject(rez);
    return FindItem(rez, type, id) != nullptr;
}

uint32_t URez::GetTypeCount(TRezObj* rez)
{
    RequireObject(rez);
    return uint32_t(rez->types.size());
}

uint32_t URez::GetIndType(TRezObj* rez, uint32_t index)
{
    RequireObject(rez);
    if (index >= rez->types.size()) Fail(kErrTypeGeneral, 11);
    return rez->types[index].type;
}

uint32_t URez::GetItemCount(TRezObj* rez, uint32_t type)
{
    RequireObject(rez);
    SRezType* table = FindType(rez, type);
    return table ? uint32_t(table->items.size()) : 0;
}

uint32_t URez::GetIndID(TRezObj* rez, uint32_t type, uint32_t index)
{
    RequireObject(rez);
    SRezType* table = FindType(rez, type);
    if (table == nullptr || index >= table->items.size()) Fail(kErrTypeGeneral, 11);
    return table->items[index].id;
}

uint32_t URez::GetItemSize(TRezObj* rez, uint32_t type, uint32_t id)
{
    RequireObject(rez);
    SRezItem* item = FindItem(rez, type, id);
    if (item == nullptr) Fail(kErrTypeRez, 101);
    return item->size;
}

THdlObj* URez::LoadItem(TRezObj* rez, uint32_t type, uint32_t id, bool mayFail)
{
    if (rez == nullptr)
    {
        if (mayFail) return nullptr;
        Fail(kErrTypeGeneral, 2);
    }
    SRezItem* item = FindItem(rez, type, id);
    if (item == nullptr)
    {
        if (mayFail) return nullptr;
        Fail(kErrTypeRez, 101);
    }

    if (item->data != nullptr && UMemory::ClearDiscardable(item->data))
    {
        UMemory::Dispose(item->data);
        item->data = nullptr;
    }
    if (item->data == nullptr)
    {
        item->loadCount = 0;
        if (item->size != 0 && item->offset != 0)
        {
            if (rez->read == nullptr) Fail(kErrTypeRez, 100);
            StHandle handle(UMemory::NewHandle(item->size));
            {
                StHandleLocker lock(handle.Get());
                // A file cut short after its map was read is as damaged as a bad map.
                if (rez->read(rez->fileRef, item->offset, lock.Data(), item->size) != item->size)
                    FailDamaged();
            }
            item->data = handle.Release();
        }
        else
            item->data = UMemory::NewHandle(0);
    }
    ++item->loadCount;
    return item->data;
}

void URez::ReleaseItem(TRezObj* rez, uint32_t type, uint32_t id)
{
    if (rez == nullptr) return;
    SRezItem* item = FindItem(rez, type, id);
    if (item == nullptr) return;
    if (item->loadCount == 0)
    {
        DebugBreak("URez - ReleaseItem() called too many times");
        return;
    }
    if (--item->loadCount == 0 && item->data != nullptr) UMemory::SetDiscardable(item->data);
}

uint32_t URez::GetLoadCount(TRezObj* rez, uint32_t type, uint32_t id)
{
    RequireObject(rez);
    SRezItem* item = FindItem(rez, type, id);
    return item != nullptr && item->data != nullptr ? item->loadCount : 0;
}

THdlObj* URez::Reload(SRezStub& stub, uint32_t type, uint32_t id)
{
    // Load the new item before releasing the old one, so that reloading the same item never lets its
    // handle become discardable in between.
    TRezObj* rez = SearchChain(type, id);
    THdlObj* handle = rez ? LoadItem(rez, type, id, true) : nullptr;
    ReleaseStub(stub);
    if (handle != nullptr) stub = SRezStub{rez, handle, type, id};
    return handle;
}

void URez::ReleaseStub(SRezStub& stub)
{
    if (stub.rez != nullptr && stub.handle != nullptr) ReleaseItem(stub.rez, stub.type, stub.id);
    stub = SRezStub{};
}

StRezLoader::StRezLoader(TRezObj* rez, uint32_t type, uint32_t id, bool mayFail)
    : mRez(rez), mHandle(nullptr), mType(type), mID(id)
{
    if (mRez == nullptr)
    {
        mRez = URez::SearchChain(type, id);
        if (mRez == nullptr)
        {
            if (mayFail) return;
            Fail(kErrTypeRez, 101);
        }
    }
    mHandle = URez::LoadItem(mRez, type, id, mayFail);
}

StRezLoader::~StRezLoader()
{
    if (mHandle != nullptr) URez::ReleaseItem(mRez, mType, mID);
}
