// Reading the fields that every chat transaction from the server carries, as hostile bytes.
#pragma once

#include <cstdint>

#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"

// The chat a transaction is about: 0 (or no field) for the public chat. False when the field has a
// size no integer has: such a line belongs nowhere and is dropped rather than shown in the public chat.
inline bool ReadChatID(TFieldDataObj* fields, uint32_t& outChatID)
{
    const uint32_t size = UFieldData::GetFieldSize(fields, kFieldChatID);
    outChatID = 0;
    if (size != 0 && size != 2 && size != 4) return false;
    outChatID = uint32_t(UFieldData::GetInteger(fields, kFieldChatID));
    return true;
}
