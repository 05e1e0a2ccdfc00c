// Producing the flattened stream of a local file, in pieces of any size.
#include <cstring>
#include <memory>

#include "framework/files/FileSysRef.h"
#include "framework/files/FlattenState.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"
#include "platform/FileHandle.h"
#include "platform/FileSystem.h"

using namespace filesys;

namespace
{
enum : uint32_t
{
    kSectionStreamHeader,
    kSectionInfoHeader,
    kSectionInfo,
    kSectionDataHeader,
    kSectionData,
    kSectionEnd,
};

void WriteForkHeader(uint8_t* header, uint32_t type, uint32_t size)
{
    std::memset(header, 0, kFlatForkHeaderSize);
    WriteBE32(header, type);
    WriteBE32(header + 12, size);
}

void BeginFlatten(TFileSysRefObj* ref, const SResumeRequest* resume)
{
    RequireObject(ref);
    if (ref->fd >= 0) Fail(kErrTypeGeneral, 3);
    const int fd = OpenItem(ref, platform::kOpenRead);
    try
    {
        uint64_t fileSize = 0;
        if (int err = platform::FileSize(fd, fileSize)) FailOSError(err);
        // Fork sizes and the announced stream size have 32 bits: a bigger file would go out with a wrong
        // size and arrive cut short.
        if (fileSize > UINT32_MAX) Fail(kErrTypeGeneral, 10);

        auto state = std::make_unique<SFlattenState>();
        const std::string name = NameFromNative(LastComponent(ref->path));
        const uint32_t nameLength = name.size() > kFlatMaxNameSize ? kFlatMaxNameSize : uint32_t(name.size());
        uint32_t type = 0, creator = 0;
        UFileSys::GetTypeAndCreatorFromName(name.data(), uint32_t(name.size()), type, creator);
        uint8_t* info = state->info;
        WriteBE32(info, kFlatPlatformCode);
        WriteBE32(info + 4, type);
        WriteBE32(info + 8, creator);
        WriteBE16(info + 70, uint16_t(nameLength));
        std::memcpy(info + 72, name.data(), nameLength);
        WriteBE16(info + 72 + nameLength, 0);
        state->infoSize = kFlatInfoFixedSize + nameLength;

        state->dataSize = uint32_t(fileSize);
        if (resume && resume->hasData)
        {
            state->resumeOffset = resume->dataCount < fileSize ? resume->dataCount : fileSize;
            state->dataSize = resume->dataCount < fileSize ? uint32_t(fileSize - resume->dataCount) : 0;
        }
        const uint64_t total =
            uint64_t(kFlatStreamHeaderSize) + 2 * kFlatForkHeaderSize + state->infoSize + state->dataSize;
        if (total > UINT32_MAX) Fail(kErrTypeGeneral, 10);

        WriteBE32(state->streamHeader, kFlatFormatCode);
        WriteBE16(state->streamHeader + 4, kFlatVersion);
        WriteBE16(state->streamHeader + 22, 2);
        WriteForkHeader(state->infoHeader, kFlatForkInfo, state->infoSize);
        WriteForkHeader(state->dataHeader, kFlatForkData, state->dataSize);

        platform::AdviseSequential(fd);
        ref->flatten = std::move(state);
        ref->fd = fd;
    }
    catch (...)
    {
        platform::CloseFile(fd);
        throw;
    }
}

SFlattenState& RequireFlatten(TFileSysRefObj* ref)
{
    RequireObject(ref);
    if (!ref->flatten) Fail(kErrTypeGeneral, 3);
    return *ref->flatten;
}
} // namespace

void UFileSys::StartFlatten(TFileSysRefObj* ref)
{
    BeginFlatten(ref, nullptr);
}

void UFileSys::ResumeFlatten(TFileSysRefObj* ref, const void* record, uint32_t size)
{
    RequireObject(ref);
    const SResumeRequest resume = ReadResumeRecord(record, size);
    BeginFlatten(ref, &resume);
}

uint32_t UFileSys::GetFlattenSize(TFileSysRefObj* ref)
{
    const SFlattenState& state = RequireFlatten(ref);
    return kFlatStreamHeaderSize + 2 * kFlatForkHeaderSize + state.infoSize + state.dataSize;
}

bool UFileSys::IsFlattening(TFileSysRefObj* ref)
{
    RequireObject(ref);
    return ref->flatten != nullptr;
}

uint32_t UFileSys::ProcessFlatten(TFileSysRefObj* ref, void* buffer, uint32_t size)
{
    SFlattenState& state = RequireFlatten(ref);
    if (size == 0) return 0;
    RequireObject(buffer);
    auto* out = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < size)
    {
        const uint8_t* source = nullptr;
        uint32_t length = 0;
        switch (state.section)
        {
        case kSectionStreamHeader:
            source = state.streamHeader;
            length = kFlatStreamHeaderSize;
            break;
        case kSectionInfoHeader:
            source = state.infoHeader;
            length = kFlatForkHeaderSize;
            break;
        case kSectionInfo:
            source = state.info;
            length = state.infoSize;
            break;
        case kSectionDataHeader:
            source = state.dataHeader;
            length = kFlatForkHeaderSize;
            break;
        case kSectionData:
            length = state.dataSize;
            break;
        default:
            return done;
        }
        if (state.position >= length)
        {
            ++state.section;
            state.position = 0;
            continue;
        }
        const uint32_t count = length - state.position < size - done ? length - state.position : size - done;
        if (source)
            std::memcpy(out + done, source + state.position, count);
        else
        {
            uint32_t got = 0;
            if (int err =
                    platform::ReadAt(ref->fd, state.resumeOffset + state.position, out + done, count, got))
                FailOSError(err);
            // The size was announced already; a file cut short since then cannot keep that promise.
            if (got < count) Fail(kErrTypeGeneral, 9);
        }
        state.position += count;
        done += count;
    }
    return done;
}
