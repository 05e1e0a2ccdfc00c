// Field lists from a hostile peer: every read must stay in bounds whatever the bytes say.
#include <cstddef>
#include <cstdint>

#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"
#include "framework/net/UServerPath.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 20) return 0;
    // The first byte chooses the offset, as a list may sit behind a header in its block.
    const uint32_t offset = size ? data[0] % 8 : 0;
    TFieldDataObj* fd = UFieldData::New(UMemory::NewHandle(data, uint32_t(size)), offset);
    try
    {
        const uint32_t count = UFieldData::GetFieldCount(fd);
        uint8_t buffer[300];
        for (uint32_t i = 0; i <= count + 1; ++i)
        {
            const uint16_t id = UFieldData::GetFieldID(fd, i);
            const uint32_t n = UFieldData::GetFieldByIndex(fd, i, buffer, sizeof buffer);
            UFieldData::ReadFieldByIndex(fd, i, 3, buffer, 7);
            UFieldData::GetInteger(fd, id);
            uint8_t pstr[64];
            UFieldData::GetPString(fd, id, pstr, sizeof pstr);
            SFileEntry file;
            UFieldRecords::ReadFileEntry(buffer, n, file);
            SUserEntry user;
            UFieldRecords::ReadUserEntry(buffer, n, user);
            UServerPath::GetTargetName(buffer, n, pstr, sizeof pstr);
            UServerPath::GetSize(buffer, n, 3);
            UMemory::Dispose(UServerPath::MakeParentPath(buffer, n));
        }
        // Adding after reading must keep the list readable.
        UFieldData::AddInteger(fd, 1, -1);
        UFieldData::GetInteger(fd, 1);
    }
    catch (const SError&)
    {
        // Adding to a list that already holds 65535 fields refuses; that is an answer, not a fault.
    }
    UFieldData::Dispose(fd);
    return 0;
}
