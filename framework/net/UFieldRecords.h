// The binary records that travel inside fields: file entries, user entries and dates, and the
// complemented text used for logins and passwords.
#pragma once

#include <cstdint>

#include "framework/runtime/UDateTime.h"

struct TFieldDataObj;

struct SFileEntry
{
    uint32_t type;    // four-character code; 'fldr' for a folder, 'alis' for an alias
    uint32_t creator; // four-character code
    uint32_t size;    // bytes, or the number of items of a folder
    uint16_t nameScript;
    uint8_t name[256]; // length-prefixed
};

struct SUserEntry
{
    uint16_t id;
    int16_t iconID; // 0 = the default icon
    uint16_t flags;
    uint8_t name[64]; // length-prefixed
};

class UFieldRecords
{
public:
    // What the client reads of one entry at most; longer entries are cut.
    static constexpr uint32_t kMaxFileEntryRead = 276;
    static constexpr uint32_t kMaxUserEntryRead = 264;
    static constexpr uint32_t kDateSize = 8;

    // False when the record is too short for its fixed part.
    static bool ReadFileEntry(const void* data, uint32_t size, SFileEntry& outEntry);
    // Returns the record's size; outRecord needs 20 + name length bytes.
    static uint32_t WriteFileEntry(const SFileEntry& entry, uint8_t* outRecord);
    static bool ReadUserEntry(const void* data, uint32_t size, SUserEntry& outEntry);
    static uint32_t WriteUserEntry(const SUserEntry& entry, uint8_t* outRecord);

    static bool ReadDate(const void* data, uint32_t size, SDateTimeStamp& outDate);
    static void WriteDate(const SDateTimeStamp& date, uint8_t outRecord[8]);
    static void AddDate(TFieldDataObj* fd, uint16_t id, const SDateTimeStamp& date);
    static bool GetDate(TFieldDataObj* fd, uint16_t id, SDateTimeStamp& outDate);

    // Every byte complemented (XOR 0xFF); the same operation turns it back.
    static void Complement(void* data, uint32_t size);
    static void AddComplementedPString(TFieldDataObj* fd, uint16_t id, const uint8_t* pstr);
    static void GetComplementedPString(TFieldDataObj* fd, uint16_t id, uint8_t* outPStr, uint32_t capacity);
};
