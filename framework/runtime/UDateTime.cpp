#include "framework/runtime/UDateTime.h"

#include "framework/runtime/MacRoman.h"
#include "framework/runtime/UClock.h"
#include "platform/LocaleDates.h"

#include <cstring>
#include <string>

namespace
{
uint32_t Append(uint8_t* out, uint32_t written, uint32_t maxSize, const std::string& text)
{
    uint32_t room = maxSize - written;
    uint32_t n = text.size() < room ? uint32_t(text.size()) : room;
    if (n) std::memcpy(out + written, text.data(), n);
    return written + n;
}
} // namespace

uint32_t UDateTime::GetSeconds()
{
    return uint32_t(UClock::Now() / 1000);
}

uint32_t UDateTime::GetMilliseconds()
{
    return uint32_t(UClock::Now());
}

bool UDateTime::IsLeapYear(uint32_t year)
{
    if (year < 100) year += 1900;
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

SCalendarDate UDateTime::StampToDate(const SDateTimeStamp& stamp)
{
    static const uint8_t kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    SCalendarDate date{};
    int32_t year = stamp.year;
    uint32_t seconds = stamp.seconds;
    for (;;)
    {
        uint32_t yearSeconds = (IsLeapYear(uint32_t(year)) ? 366u : 365u) * 86400u;
        if (seconds < yearSeconds) break;
        seconds -= yearSeconds;
        ++year;
    }
    uint32_t dayOfYear = seconds / 86400;
    uint32_t secondOfDay = seconds % 86400;
    int32_t month = 0;
    for (; month < 11; ++month)
    {
        uint32_t days = kMonthDays[month] + (month == 1 && IsLeapYear(uint32_t(year)) ? 1 : 0);
        if (dayOfYear < days) break;
        dayOfYear -= days;
    }
    date.year = year;
    date.month = month + 1;
    date.day = int32_t(dayOfYear) + 1;
    date.hour = int32_t(secondOfDay / 3600);
    date.minute = int32_t(secondOfDay / 60 % 60);
    date.second = int32_t(secondOfDay % 60);
    return date;
}

uint32_t UDateTime::DateToText(const SDateTimeStamp& stamp, void* outText, uint32_t maxSize, uint32_t options)
{
    return DateToText(StampToDate(stamp), outText, maxSize, options);
}

uint32_t UDateTime::DateToText(const SCalendarDate& date, void* outText, uint32_t maxSize, uint32_t options)
{
    if (!outText || !maxSize) return 0;
    uint8_t* out = static_cast<uint8_t*>(outText);
    uint32_t written = 0;

    bool hasDate = true;
    platform::DateStyle style = platform::DateStyle::Short;
    if (options & kPatternDate)
        style = platform::DateStyle::WeekdayMonthDayYear;
    else if (options & kShortDate)
        style = platform::DateStyle::Short;
    else if (options & kLongDate)
        style = platform::DateStyle::Long;
    else
        hasDate = false;
    if (hasDate)
        written = Append(out, written, maxSize,
                         Utf8ToMacRoman(platform::LocaleDateText(date.year, date.month, date.day, style)));

    // A time squeezed into the last few bytes would be cut to nonsense, so it needs real room.
    if ((options & (kTime | kTimeWithSeconds)) && maxSize - written > 5)
    {
        if (written)
            written = Append(out, written, maxSize, style == platform::DateStyle::Short ? " " : ", ");
        bool withSeconds = (options & kTimeWithSeconds) != 0;
        written = Append(
            out, written, maxSize,
            Utf8ToMacRoman(platform::LocaleTimeText(date.hour, date.minute, date.second, withSeconds)));
    }
    return written;
}

uint32_t UDateTime::DateToText(void* outText, uint32_t maxSize, uint32_t options)
{
    return DateToText(Now(), outText, maxSize, options);
}

SCalendarDate UDateTime::Now()
{
    // A test that moved the clock forward sees the date move with it.
    platform::LocalDateTime now = platform::CurrentLocalDateTime(UClock::AheadOfSystem());
    return SCalendarDate{now.year, now.month, now.day, now.hour, now.minute, now.second};
}
