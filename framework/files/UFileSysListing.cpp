// Folder listings: one record per entry in a block, read back with GetListNext.
#include <cstring>
#include <vector>

#include "framework/files/FileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UPString.h"
#include "platform/FileHandle.h"
#include "platform/FileSystem.h"

using namespace filesys;

namespace
{
// Each entry: name length, name, then this record.
struct SListEntryTail
{
    uint32_t type;
    uint32_t creator;
    uint32_t size;
    SDateTimeStamp created;
    SDateTimeStamp modified;
    uint32_t flags;
};

class StFD
{
public:
    explicit StFD(int fd) : mFD(fd) {}
    ~StFD() { platform::CloseFile(mFD); }
    StFD(const StFD&) = delete;
    StFD& operator=(const StFD&) = delete;
    int Get() const { return mFD; }

private:
    int mFD;
};

void AppendEntry(std::vector<uint8_t>& out, const std::string& name, const SListEntryTail& tail)
{
    const size_t length = name.size() > 255 ? 255 : name.size();
    out.push_back(uint8_t(length));
    out.insert(out.end(), name.begin(), name.begin() + long(length));
    const auto* bytes = reinterpret_cast<const uint8_t*>(&tail);
    out.insert(out.end(), bytes, bytes + sizeof(tail));
}
} // namespace

THdlObj* UFileSys::GetListing(TFileSysRefObj* folder)
{
    if (!IsSpecialFolder(folder)) RequireObject(folder);
    std::string folderPath = BasePath(folder);
    std::string confinedTo = IsSpecialFolder(folder) ? std::string() : folder->confinedTo;
    int fd = -1;
    if (IsSpecialFolder(folder))
    {
        if (int err = platform::OpenItemAt(platform::kNoFolderFD, folderPath,
                                           platform::kOpenRead | platform::kOpenFolder, fd))
            FailOSError(err);
    }
    else
        fd = OpenItem(folder, platform::kOpenRead | platform::kOpenFolder);
    StFD folderFD(fd);

    std::vector<std::string> names;
    if (int err = platform::ListFolderAt(fd, names)) FailOSError(err);

    std::vector<uint8_t> listing;
    for (const std::string& native : names)
    {
        platform::SItemInfo info;
        // An entry that vanished since the folder was read is simply not listed.
        if (platform::GetItemInfo(fd, native, false, info) != 0) continue;
        // A link lists as what it leads to: the target's codes come from the target's own name.
        std::string codesName = native;
        bool broken = false;
        if (info.kind == platform::ItemKind::Link)
        {
            platform::SItemInfo target;
            std::string resolved;
            broken = platform::GetItemInfo(fd, native, true, target) != 0 ||
                     platform::ResolvePath(JoinPath(folderPath, native), resolved) != 0 ||
                     (!confinedTo.empty() && !IsInside(resolved, confinedTo));
            if (!broken)
            {
                info = target;
                codesName = LastComponent(resolved);
            }
        }

        SListEntryTail tail{};
        tail.created = StampFromUnixTime(info.createdSeconds, info.createdNanos);
        tail.modified = StampFromUnixTime(info.modifiedSeconds, info.modifiedNanos);
        const std::string name = NameFromNative(native);
        if (broken)
        {
            tail.type = FourCC("alis");
            tail.size = 0;
        }
        else if (info.kind == platform::ItemKind::Folder)
        {
            tail.type = FourCC("fldr");
            uint32_t count = 0;
            if (platform::CountFolderEntriesAt(fd, native, count) == 0) tail.size = count;
        }
        else
        {
            const std::string codes = NameFromNative(codesName);
            GetTypeAndCreatorFromName(codes.data(), uint32_t(codes.size()), tail.type, tail.creator);
            // The listing has 32 bits for a size; a larger file shows as the largest it can.
            tail.size = info.size > UINT32_MAX ? UINT32_MAX : uint32_t(info.size);
        }
        AppendEntry(listing, name, tail);
    }
    if (listing.size() > UMemory::kMaxSize) Fail(kErrTypeMemory, 101);
    return UMemory::NewHandle(listing.data(), uint32_t(listing.size()));
}

bool UFileSys::GetListNext(THdlObj* listing, uint32_t& ioPosition, uint8_t* outName, uint32_t* outType,
                           uint32_t* outCreator, uint32_t* outSize, SDateTimeStamp* outCreated,
                           SDateTimeStamp* outModified, uint32_t* outFlags)
{
    RequireObject(listing);
    const uint32_t size = UMemory::GetSize(listing);
    if (ioPosition >= size) return false;
    StHandleLocker lock(listing);
    const uint8_t* data = lock.Data();
    const uint32_t length = data[ioPosition];
    if (size - ioPosition - 1 < length + sizeof(SListEntryTail)) return false;
    const uint8_t* name = data + ioPosition + 1;
    SListEntryTail tail;
    std::memcpy(&tail, name + length, sizeof(tail));
    if (outName) UPString::SetBytes(outName, 256, name, length);
    if (outType) *outType = tail.type;
    if (outCreator) *outCreator = tail.creator;
    if (outSize) *outSize = tail.size;
    if (outCreated) *outCreated = tail.created;
    if (outModified) *outModified = tail.modified;
    if (outFlags) *outFlags = tail.flags;
    ioPosition += 1 + length + uint32_t(sizeof(tail));
    return true;
}
