// Consuming a flattened stream into a local file, fed in pieces of any size.
#include <cstring>
#include <memory>

#include "framework/files/FileSysRef.h"
#include "framework/files/FlattenState.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/CByteReader.h"
#include "framework/runtime/SError.h"
#include "platform/FileHandle.h"
#include "platform/FileSystem.h"

using namespace filesys;

SUnflattenState::~SUnflattenState()
{
    if (unnamedFolder >= 0) platform::CloseFile(unnamedFolder);
}

namespace
{
// Opens the partial file and gives the reference its unflatten state; returns the file's size.
uint64_t BeginUnflatten(TFileSysRefObj* ref)
{
    RequireObject(ref);
    if (ref->fd >= 0) Fail(kErrTypeGeneral, 3);
    const int fd = OpenItem(ref, platform::kOpenRead | platform::kOpenWrite);
    uint64_t size = 0;
    if (int err = platform::FileSize(fd, size))
    {
        platform::CloseFile(fd);
        FailOSError(err);
    }
    ref->unflatten = std::make_unique<SUnflattenState>();
    ref->fd = fd;
    return size;
}

[[noreturn]] void RefuseStream(SUnflattenState& state, int16_t type, int16_t id)
{
    state.failedType = type;
    state.failedID = id;
    Fail(type, id);
}

uint32_t Gather(uint8_t* buffer, uint32_t wanted, uint32_t& ioPosition, const uint8_t*& ioBytes,
                uint32_t& ioLeft)
{
    const uint32_t count = wanted - ioPosition < ioLeft ? wanted - ioPosition : ioLeft;
    std::memcpy(buffer + ioPosition, ioBytes, count);
    ioPosition += count;
    ioBytes += count;
    ioLeft -= count;
    return count;
}
} // namespace

void UFileSys::StartUnflatten(TFileSysRefObj* ref)
{
    BeginUnflatten(ref);
}

void UFileSys::CreateAndStartUnflatten(TFileSysRefObj* ref)
{
    RequireObject(ref);
    if (ref->fd >= 0) Fail(kErrTypeGeneral, 3);
    // A download makes many small files: making one and opening it again would cost a second lookup of
    // its name, and asking the size of a file just made tells nothing.
    auto state = std::make_unique<SUnflattenState>();
    ref->fd = OpenItem(ref, platform::kOpenRead | platform::kOpenWrite | platform::kOpenCreate |
                                platform::kOpenExclusive);
    ref->unflatten = std::move(state);
}

bool UFileSys::StartUnflattenUnnamed(TFileSysRefObj* ref)
{
    RequireObject(ref);
    if (ref->fd >= 0) Fail(kErrTypeGeneral, 3);
    StItemPlace place(ref);
    const int folder = place.TakeFolder();
    if (folder < 0) return false;
    int fd = -1;
    if (platform::OpenUnnamedFileAt(folder, fd))
    {
        platform::CloseFile(folder);
        return false;
    }
    ref->unflatten = std::make_unique<SUnflattenState>();
    ref->unflatten->unnamedFolder = folder;
    ref->unflatten->unnamedAs = place.Name();
    ref->fd = fd;
    return true;
}

void UFileSys::NameUnflattened(TFileSysRefObj* ref)
{
    RequireObject(ref);
    if (!ref->unflatten || ref->unflatten->unnamedFolder < 0) Fail(kErrTypeGeneral, 3);
    const int err =
        platform::NameUnnamedFileAt(ref->fd, ref->unflatten->unnamedFolder, ref->unflatten->unnamedAs);
    CloseAndClearStates(ref);
    if (err) FailOSError(err);
}

THdlObj* UFileSys::ResumeUnflatten(TFileSysRefObj* ref)
{
    const uint64_t size = BeginUnflatten(ref);
    try
    {
        // The record has 32 bits for the size held; a bigger partial file cannot be described.
        if (size > UINT32_MAX) Fail(kErrTypeGeneral, 10);
        ref->unflatten->dataBase = size;
        return NewResumeRecord(uint32_t(size));
    }
    catch (...)
    {
        CloseAndClearStates(ref);
        throw;
    }
}

bool UFileSys::ProcessUnflatten(TFileSysRefObj* ref, const void* bytes, uint32_t size)
{
    RequireObject(ref);
    if (!ref->unflatten)
    {
        if (size == 0) return false;
        Fail(kErrTypeGeneral, 3);
    }
    SUnflattenState& state = *ref->unflatten;
    if (size == 0) return state.state == SUnflattenState::kForkEnd;
    if (state.failedType) Fail(state.failedType, state.failedID);
    RequireObject(bytes);

    const uint8_t* in = static_cast<const uint8_t*>(bytes);
    uint32_t left = size;
    for (;;)
    {
        switch (state.state)
        {
        case SUnflattenState::kStreamHeader:
            if (left == 0) return false;
            Gather(state.streamHeader, kFlatStreamHeaderSize, state.position, in, left);
            if (state.position < kFlatStreamHeaderSize) return false;
            state.state = SUnflattenState::kCheckStreamHeader;
            break;
        case SUnflattenState::kCheckStreamHeader:
        {
            CByteReader header(state.streamHeader, kFlatStreamHeaderSize);
            if (header.Read32() != kFlatFormatCode) RefuseStream(state, kErrTypeGeneral, 8);
            if (header.Read16() != kFlatVersion) RefuseStream(state, kErrTypeGeneral, 7);
            // The fork count is not trusted: forks are taken for as long as bytes arrive.
            state.state = SUnflattenState::kForkHeader;
            state.position = 0;
            break;
        }
        case SUnflattenState::kForkHeader:
            if (left == 0) return false;
            Gather(state.forkHeader, kFlatForkHeaderSize, state.position, in, left);
            if (state.position < kFlatForkHeaderSize) return false;
            state.state = SUnflattenState::kCheckForkHeader;
            break;
        case SUnflattenState::kCheckForkHeader:
        {
            CByteReader header(state.forkHeader, kFlatForkHeaderSize);
            const uint32_t forkType = header.Read32();
            if (header.Read32() != 0)
            {
                DebugBreak("UFileSys::ProcessUnflatten - unknown compression type");
                RefuseStream(state, kErrTypeGeneral, 8);
            }
            header.Skip(4);
            state.forkType = forkType;
            state.forkSize = header.Read32();
            if (state.forkType == kFlatForkInfo)
            {
                state.infoSize = state.forkSize < kFlatMaxInfoKept ? state.forkSize : kFlatMaxInfoKept;
                state.infoSeen = true;
            }
            if (state.forkType == kFlatForkData) state.dataSeen = true;
            state.state = SUnflattenState::kForkBody;
            state.position = 0;
            break;
        }
        case SUnflattenState::kForkBody:
        {
            if (state.position >= state.forkSize)
            {
                state.state = SUnflattenState::kForkEnd;
                break;
            }
            if (left == 0) return false;
            const uint32_t count =
                state.forkSize - state.position < left ? state.forkSize - state.position : left;
            if (state.forkType == kFlatForkData)
            {
                if (int err = platform::WriteAt(ref->fd, state.dataBase + state.position, in, count))
                    FailOSError(err);
            }
            else if (state.forkType == kFlatForkInfo && state.position < kFlatMaxInfoKept)
            {
                // An information fork longer than what is kept is skipped as part of its fork.
                const uint32_t keep =
                    kFlatMaxInfoKept - state.position < count ? kFlatMaxInfoKept - state.position : count;
                std::memcpy(state.info + state.position, in, keep);
            }
            state.position += count;
            in += count;
            left -= count;
            break;
        }
        case SUnflattenState::kForkEnd:
            if (left == 0) return true;
            state.state = SUnflattenState::kForkHeader;
            state.position = 0;
            break;
        default:
            Fail(kErrTypeGeneral, 1);
        }
    }
}

bool UFileSys::IsUnflattenComplete(TFileSysRefObj* ref)
{
    RequireObject(ref);
    if (!ref->unflatten) Fail(kErrTypeGeneral, 3);
    const SUnflattenState& state = *ref->unflatten;
    // A data fork whose header came, with its body still due, is not complete yet: a fork of 0 bytes
    // reaches its end on the same call that took its header.
    return state.failedType == 0 && state.state == SUnflattenState::kForkEnd && state.dataSeen;
}

void UFileSys::StopUnflatten(TFileSysRefObj* ref)
{
    RequireObject(ref);
    if (!ref->unflatten) return;
    CloseAndClearStates(ref);
}
