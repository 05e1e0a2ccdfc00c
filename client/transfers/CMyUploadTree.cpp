#include "client/transfers/CMyUploadTree.h"

#include <algorithm>

#include "client/core/UMyTransferSizes.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"

namespace
{
struct SHandleDisposer
{
    THdlObj* handle;
    ~SHandleDisposer() { UMemory::Dispose(handle); }
};
} // namespace

std::vector<uint8_t> CMyUploadTree::AddLevel(const std::vector<uint8_t>& folderPath, const uint8_t* name)
{
    std::vector<uint8_t> path = folderPath.empty() ? std::vector<uint8_t>(2, 0) : folderPath;
    const uint32_t count = (uint32_t(path[0]) << 8 | path[1]) + 1;
    path[0] = uint8_t(count >> 8);
    path[1] = uint8_t(count);
    // Each level: two reserved bytes, the name's length and the name.
    path.push_back(0);
    path.push_back(0);
    path.insert(path.end(), name, name + size_t(name[0]) + 1);
    return path;
}

void CMyUploadTree::Walk(TFileSysRefObj* folder, const uint8_t* serverName, const void* path,
                         uint32_t pathSize)
{
    mItems.clear();
    mFileCount = 0;
    mTotalSize = 0;
    mSkipped = 0;
    if (!folder || !serverName || !serverName[0]) Fail(kErrTypeGeneral, 2);
    SItem top;
    if (path && pathSize)
        top.folderPath.assign(static_cast<const uint8_t*>(path),
                              static_cast<const uint8_t*>(path) + pathSize);
    std::copy_n(serverName, size_t(serverName[0]) + 1, top.name.data());
    top.localPath = UFileSys::GetNativePath(folder);
    top.isFolder = true;
    Add(std::move(top));
    WalkFolder(folder, 0, 1);
}

void CMyUploadTree::WalkFolder(TFileSysRefObj* folder, uint32_t folderIndex, uint32_t depth)
{
    if (depth > kMaxDepth) Fail(kErrTypeFileSys, 130);
    const std::vector<uint8_t> here =
        AddLevel(mItems[folderIndex].folderPath, mItems[folderIndex].name.data());
    if (here.size() > kMaxPathSize) Fail(kErrTypeFileSys, 130);
    SHandleDisposer listing{UFileSys::GetListing(folder)};
    // Names in a stable order, so that a walk made again (a resumed upload) meets the items in the
    // same order.
    std::vector<std::array<uint8_t, 256>> names;
    uint32_t position = 0;
    std::array<uint8_t, 256> name{};
    while (UFileSys::GetListNext(listing.handle, position, name.data(), nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr))
    {
        if (names.size() >= kMaxItems) Fail(kErrTypeFileSys, 130);
        names.push_back(name);
    }
    std::sort(names.begin(), names.end(),
              [](const auto& a, const auto& b) { return UPString::Compare(a.data(), b.data()) < 0; });
    std::vector<uint32_t> folders;
    for (const auto& entry : names)
    {
        uint32_t kind = 0;
        StFileSysRef ref(UFileSys::New(folder, nullptr, entry.data(), 0, &kind));
        // A file of 4 GiB or more cannot travel in the 32-bit stream: it is left out like the rest.
        const bool isFile = (kind == kFSKindFile || kind == kFSKindAliasToFile) &&
                            UFileSys::IsPlainFile(ref.Get()) && UMyTransferSizes::CanSend(ref.Get());
        if (kind != kFSKindFolder && !isFile)
        {
            // A link to a folder, a broken link, a device, pipe or socket, a file too large.
            if (kind != kFSKindMissing) ++mSkipped;
            continue;
        }
        SItem item;
        item.folderPath = here;
        item.name = entry;
        item.localPath = UFileSys::GetNativePath(ref.Get());
        item.parent = folderIndex;
        item.isFolder = kind == kFSKindFolder;
        if (!item.isFolder) item.size = UFileSys::GetSize(ref.Get());
        Add(std::move(item));
        if (kind == kFSKindFolder) folders.push_back(uint32_t(mItems.size() - 1));
    }
    for (const uint32_t index : folders)
    {
        const std::string& local = mItems[index].localPath;
        StFileSysRef sub(UFileSys::NewFromNativePath(local.data(), uint32_t(local.size())));
        WalkFolder(sub.Get(), index, depth + 1);
    }
}

void CMyUploadTree::Add(SItem item)
{
    if (mItems.size() >= kMaxItems) Fail(kErrTypeFileSys, 130);
    if (!item.isFolder)
    {
        ++mFileCount;
        mTotalSize += item.size;
    }
    mItems.push_back(std::move(item));
}
