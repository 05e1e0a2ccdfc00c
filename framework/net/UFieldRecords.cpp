#include "framework/net/UFieldRecords.h"

#include <algorithm>
#include <cstring>

#include "framework/net/UFieldData.h"
#include "framework/runtime/BigEndian.h"
#include "framework/runtime/UPString.h"

namespace
{
// Copies a name whose length field may claim more than the record holds.
void CopyName(const uint8_t* record, uint32_t recordSize, uint32_t nameStart, uint32_t claimed,
              uint32_t maxChars, uint8_t* outPStr)
{
    const uint32_t present = recordSize > nameStart ? recordSize - nameStart : 0;
    UPString::SetBytes(outPStr, maxChars + 1, record + nameStart, std::min(claimed, present));
}
} // namespace

bool UFieldRecords::ReadFileEntry(const void* data, uint32_t size, SFileEntry& outEntry)
{
    const auto* p = static_cast<const uint8_t*>(data);
    outEntry = SFileEntry{};
    if (!p || size < 20) return false;
    size = std::min(size, kMaxFileEntryRead);
    outEntry.type = GetBE32(p);
    outEntry.creator = GetBE32(p + 4);
    outEntry.size = GetBE32(p + 8);
    outEntry.nameScript = GetBE16(p + 16);
    CopyName(p, size, 20, GetBE16(p + 18), 255, outEntry.name);
    return true;
}

uint32_t UFieldRecords::WriteFileEntry(const SFileEntry& entry, uint8_t* outRecord)
{
    PutBE32(outRecord, entry.type);
    PutBE32(outRecord + 4, entry.creator);
    PutBE32(outRecord + 8, entry.size);
    PutBE32(outRecord + 12, 0);
    PutBE16(outRecord + 16, entry.nameScript);
    const std::span<const uint8_t> name = UPString::Bytes(entry.name);
    PutBE16(outRecord + 18, uint16_t(name.size()));
    std::memcpy(outRecord + 20, name.data(), name.size());
    return 20u + uint32_t(name.size());
}

bool UFieldRecords::ReadUserEntry(const void* data, uint32_t size, SUserEntry& outEntry)
{
    const auto* p = static_cast<const uint8_t*>(data);
    outEntry = SUserEntry{};
    if (!p || size < 8) return false;
    size = std::min(size, kMaxUserEntryRead);
    outEntry.id = GetBE16(p);
    outEntry.iconID = int16_t(GetBE16(p + 2));
    outEntry.flags = GetBE16(p + 4);
    CopyName(p, size, 8, GetBE16(p + 6), 63, outEntry.name);
    return true;
}

uint32_t UFieldRecords::WriteUserEntry(const SUserEntry& entry, uint8_t* outRecord)
{
    const uint32_t n = std::min<uint32_t>(entry.name[0], 63);
    PutBE16(outRecord, entry.id);
    PutBE16(outRecord + 2, uint16_t(entry.iconID));
    PutBE16(outRecord + 4, entry.flags);
    PutBE16(outRecord + 6, uint16_t(n));
    std::memcpy(outRecord + 8, entry.name + 1, n);
    return 8 + n;
}

bool UFieldRecords::ReadDate(const void* data, uint32_t size, SDateTimeStamp& outDate)
{
    const auto* p = static_cast<const uint8_t*>(data);
    outDate = SDateTimeStamp{};
    if (!p || size < kDateSize) return false;
    outDate.year = GetBE16(p);
    outDate.msecs = GetBE16(p + 2);
    outDate.seconds = GetBE32(p + 4);
    return true;
}

void UFieldRecords::WriteDate(const SDateTimeStamp& date, uint8_t outRecord[8])
{
    PutBE16(outRecord, date.year);
    PutBE16(outRecord + 2, date.msecs);
    PutBE32(outRecord + 4, date.seconds);
}

void UFieldRecords::AddDate(TFieldDataObj* fd, uint16_t id, const SDateTimeStamp& date)
{
    uint8_t record[kDateSize];
    WriteDate(date, record);
    UFieldData::AddField(fd, id, record, kDateSize);
}

bool UFieldRecords::GetDate(TFieldDataObj* fd, uint16_t id, SDateTimeStamp& outDate)
{
    uint8_t record[kDateSize];
    const uint32_t n = UFieldData::GetField(fd, id, record, kDateSize);
    return ReadDate(record, n, outDate);
}

void UFieldRecords::Complement(void* data, uint32_t size)
{
    auto* p = static_cast<uint8_t*>(data);
    for (uint32_t i = 0; p && i < size; ++i)
        p[i] = uint8_t(~p[i]);
}

void UFieldRecords::AddComplementedPString(TFieldDataObj* fd, uint16_t id, const uint8_t* pstr)
{
    if (!pstr)
    {
        UFieldData::AddPString(fd, id, pstr);
        return;
    }
    uint8_t copy[256];
    Complement(copy + 1, UPString::Copy(copy, pstr));
    UFieldData::AddPString(fd, id, copy);
}

void UFieldRecords::GetComplementedPString(TFieldDataObj* fd, uint16_t id, uint8_t* outPStr,
                                           uint32_t capacity)
{
    UFieldData::GetPString(fd, id, outPStr, capacity);
    if (outPStr && capacity) Complement(outPStr + 1, outPStr[0]);
}
