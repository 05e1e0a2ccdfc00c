// The byte layout of flattened files and resume records.
#pragma once

#include <cstdint>

#include "framework/runtime/FourCC.h"
#include "framework/runtime/UMemory.h"

inline constexpr uint32_t kFlatFormatCode = FourCC("FILP");
inline constexpr uint16_t kFlatVersion = 1;
inline constexpr uint32_t kFlatStreamHeaderSize = 24;
inline constexpr uint32_t kFlatForkHeaderSize = 16;
inline constexpr uint32_t kFlatForkInfo = FourCC("INFO");
inline constexpr uint32_t kFlatForkData = FourCC("DATA");
inline constexpr uint32_t kFlatPlatformCode = FourCC("MWIN");
// Information fork: 72 bytes before the name, 2 after it.
inline constexpr uint32_t kFlatInfoFixedSize = 74;
inline constexpr uint32_t kFlatMaxNameSize = 63;
// A received information fork is kept up to this size; the rest of it is skipped.
inline constexpr uint32_t kFlatMaxInfoKept = 592;

inline constexpr uint32_t kResumeCode = FourCC("RFLT");
inline constexpr uint16_t kResumeVersion = 1;
inline constexpr uint32_t kResumeHeaderSize = 42;
inline constexpr uint32_t kResumeEntrySize = 16;
inline constexpr uint32_t kResumeRecordSize = kResumeHeaderSize + kResumeEntrySize;

inline void WriteBE32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}
inline void WriteBE16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}

struct SResumeRequest
{
    bool hasData = false;
    uint32_t dataCount = 0; // bytes of the data fork the receiver holds
};

// Checks a received record (1/2 too short, 1/8 another code, 1/7 another version) and reads its entries.
// Entries the count announces beyond the record's end are not read.
SResumeRequest ReadResumeRecord(const void* record, uint32_t size);
// The 58-byte record this client sends: "DATA" holding dataCount bytes. The count field says 2.
THdlObj* NewResumeRecord(uint32_t dataCount);
