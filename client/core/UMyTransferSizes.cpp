#include "client/core/UMyTransferSizes.h"

#include <cstdint>

#include "framework/files/FlattenFormat.h"
#include "framework/files/UFileSys.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/runtime/SError.h"

uint32_t UMyTransferSizes::GetTransferSize(TFieldDataObj* reply)
{
    const uint32_t size = UFieldData::GetFieldSize(reply, kFieldTransferSize);
    if (size <= 4) return uint32_t(UFieldData::GetInteger(reply, kFieldTransferSize));
    uint8_t bytes[8] = {};
    if (size > sizeof(bytes)) Fail(kErrTypeGeneral, 10);
    UFieldData::GetField(reply, kFieldTransferSize, bytes, size);
    uint64_t value = 0;
    for (uint32_t i = 0; i < size; ++i)
        value = (value << 8) | bytes[i];
    if (value > UINT32_MAX) Fail(kErrTypeGeneral, 10);
    return uint32_t(value);
}

bool UMyTransferSizes::CanSend(TFileSysRefObj* file)
{
    // The stream header, two fork headers and the longest information fork come on top of the data.
    constexpr uint64_t kMostOverhead =
        kFlatStreamHeaderSize + 2 * kFlatForkHeaderSize + kFlatInfoFixedSize + kFlatMaxNameSize;
    return UFileSys::GetSize(file) + kMostOverhead <= UINT32_MAX;
}
