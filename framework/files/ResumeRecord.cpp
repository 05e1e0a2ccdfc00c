#include "framework/files/FlattenFormat.h"
#include "framework/runtime/CByteReader.h"
#include "framework/runtime/SError.h"

SResumeRequest ReadResumeRecord(const void* record, uint32_t size)
{
    if (!record || size < kResumeHeaderSize) Fail(kErrTypeGeneral, 2);
    CByteReader in(record, size);
    if (in.Read32() != kResumeCode) Fail(kErrTypeGeneral, 8);
    if (in.Read16() != kResumeVersion) Fail(kErrTypeGeneral, 7);
    in.Skip(34);
    // Our own records announce two entries and carry one, so a count past the end is normal; only the
    // entries that are really there are read.
    const uint32_t count = in.Read16();
    SResumeRequest request;
    for (uint32_t i = 0; i < count && in.Left() >= kResumeEntrySize; ++i)
    {
        const uint32_t fork = in.Read32();
        const uint32_t forkCount = in.Read32();
        in.Skip(kResumeEntrySize - 8);
        if (fork != kFlatForkData) continue;
        request.hasData = true;
        request.dataCount = forkCount;
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
