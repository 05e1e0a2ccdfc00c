// What a file reference keeps while it produces or consumes a flattened stream.
#pragma once

#include <cstdint>
#include <string>

#include "framework/files/FlattenFormat.h"

struct SFlattenState
{
    uint32_t section = 0; // 0 stream header, 1 info fork header, 2 info fork, 3 data fork header, 4 data
    uint32_t position = 0;
    uint64_t resumeOffset = 0;
    uint32_t dataSize = 0;
    uint32_t infoSize = 0;
    uint8_t streamHeader[kFlatStreamHeaderSize] = {};
    uint8_t infoHeader[kFlatForkHeaderSize] = {};
    uint8_t info[kFlatInfoFixedSize + kFlatMaxNameSize] = {};
    uint8_t dataHeader[kFlatForkHeaderSize] = {};
};

struct SUnflattenState
{
    enum : uint32_t
    {
        kStreamHeader,
        kCheckStreamHeader,
        kForkHeader,
        kCheckForkHeader,
        kForkBody,
        kForkEnd,
    };
    uint32_t state = kStreamHeader;
    uint32_t position = 0;
    uint64_t dataBase = 0;
    uint32_t forkType = 0;
    uint32_t forkSize = 0;
    uint32_t infoSize = 0;
    bool infoSeen = false;
    bool dataSeen = false;
    // Once a stream was refused, nothing more of it is written.
    int16_t failedType = 0;
    int16_t failedID = 0;
    uint8_t streamHeader[kFlatStreamHeaderSize] = {};
    uint8_t forkHeader[kFlatForkHeaderSize] = {};
    uint8_t info[kFlatMaxInfoKept] = {};
    // An unnamed file: the folder it is to be named in, held open from its making until this state goes
    // (however the reference ends), and its name there.
    int unnamedFolder = -1;
    std::string unnamedAs;

    SUnflattenState() = default;
    ~SUnflattenState();
    SUnflattenState(const SUnflattenState&) = delete;
    SUnflattenState& operator=(const SUnflattenState&) = delete;
};
