// Dates and times written the way the user's locale writes them. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>

namespace platform
{
struct LocalDateTime
{
    int year;   // full year
    int month;  // 1-12
    int day;    // 1-31
    int hour;   // 0-23
    int minute; // 0-59
    int second; // 0-59
};

enum class DateStyle
{
    Short,
    Long,
    // Abbreviated weekday, abbreviated month, day and year, in that order: "Tue, Mar 5, 2024" in English.
    WeekdayMonthDayYear,
};

// An empty text when the date does not exist in the calendar.
std::string LocaleDateText(int year, int month, int day, DateStyle style);
// Hours and minutes in the locale's form, with the seconds after the minutes when asked for.
std::string LocaleTimeText(int hour, int minute, int second, bool withSeconds);
// The local date and time now, or `laterByMs` milliseconds from now.
LocalDateTime CurrentLocalDateTime(int64_t laterByMs = 0);
} // namespace platform
