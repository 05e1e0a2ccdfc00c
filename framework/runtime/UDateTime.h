// Elapsed-time counters and date/time text in the user's locale conventions (as Mac OS Roman bytes).
#pragma once

#include <cstdint>

// A point in time as servers and files carry it: no time zone, the calendar of whoever wrote it.
struct SDateTimeStamp
{
    uint16_t year;    // full year
    uint16_t msecs;   // milliseconds
    uint32_t seconds; // since the start of 1 January of `year`
};
static_assert(sizeof(SDateTimeStamp) == 8);

struct SCalendarDate
{
    int32_t year;  // full year
    int32_t month; // 1-12
    int32_t day;   // 1-31
    int32_t hour;  // 0-23
    int32_t minute;
    int32_t second;
};

class UDateTime
{
public:
    // DateToText options. The date form is the first of pattern, short, long that is set; with none of
    // them only the time is written. kTimeWithSeconds implies a time.
    enum : uint32_t
    {
        kShortDate = 0x01,
        kPatternDate = 0x02, // abbreviated weekday, abbreviated month, day, year
        kLongDate = 0x04,
        kTime = 0x08,
        kTimeWithSeconds = 0x10,
    };

    // Tick counts for measuring elapsed time; they wrap, so only unsigned differences mean anything.
    static uint32_t GetSeconds();
    static uint32_t GetMilliseconds();

    // Years below 100 count as 1900 + year.
    static bool IsLeapYear(uint32_t year);

    // Seconds past the end of the stamp's year carry into the following years.
    static SCalendarDate StampToDate(const SDateTimeStamp& stamp);

    // Return the count written, never more than maxSize; no NUL. A date the calendar lacks writes nothing
    // for the date part.
    static uint32_t DateToText(const SDateTimeStamp& stamp, void* outText, uint32_t maxSize,
                               uint32_t options);
    static uint32_t DateToText(const SCalendarDate& date, void* outText, uint32_t maxSize, uint32_t options);
    // The current local date and time.
    static uint32_t DateToText(void* outText, uint32_t maxSize, uint32_t options);
    static SCalendarDate Now();
};
