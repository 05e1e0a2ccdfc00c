#include "framework/files/FlattenFormat.h"
#include "framework/runtime/SError.h"

SResumeRequest ReadResumeRecord(const void* record, uint32_t size)
{
    if (!record || size < kResumeHeaderSize) Fail(kErrTypeGeneral, 2);
    const auto* bytes = static_cast<const uint8_t*>(record);
    if (ReadBE32(bytes) != kResumeCode) Fail(kErrTypeGeneral, 8);
    if (ReadBE16(bytes + 4) != kResumeVersion) Fail(kErrTypeGeneral, 7);
    // Our own records announce two entries and carry one, so a count past the end is normal; only the
    // entries that are really there are read.
    const uint32_t present = (size - kResumeHeaderSize) / kResumeEntrySize;
    uint32_t count = ReadBE16(bytes + 40);
    if (count > present) count = present;
    SResumeRequest request;
    for (uint32_t i = 0; i < count; ++i)
    {
        const uint8_t* entry = bytes + kResumeHeaderSize + i * kResumeEntrySize;
        if (ReadBE32(entry) != kFlatForkData) continue;
        request.hasData = true;
        request.dataCount = ReadBE32(entry + 4);
    }
    return request;
}

THdlObj* NewResumeRecord(uint32_t dataCount)
{
    uint8_t record[kResumeRecordSize] = {};
    WriteBE32(record, kResumeCode);
    WriteBE16(record + 4, kResumeVersion);
    WriteBE16(record + 40, 2);
    WriteBE32(record + kResumeHeaderSize, kFlatForkData);
    WriteBE32(record + kResumeHeaderSize + 4, dataCount);
    return UMemory::NewHandle(record, sizeof(record));
}
