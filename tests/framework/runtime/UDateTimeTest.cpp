#include "framework/runtime/UDateTime.h"

#include "framework/runtime/MacRoman.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UClock.h"
#include "platform/LocaleDates.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
const SCalendarDate kDate = {2024, 3, 5, 13, 4, 5};

std::string DateText(const SCalendarDate& date, uint32_t options, uint32_t maxSize = 128)
{
    char buffer[160];
    std::memset(buffer, 0x5A, sizeof(buffer));
    uint32_t count = UDateTime::DateToText(date, buffer, maxSize, options);
    EXPECT_LE(count, maxSize);
    for (uint32_t i = maxSize; i < sizeof(buffer); ++i)
        EXPECT_EQ(buffer[i], 0x5A) << "wrote past the buffer at " << i;
    return std::string(buffer, count);
}

std::string Expected(platform::DateStyle style)
{
    return Utf8ToMacRoman(platform::LocaleDateText(kDate.year, kDate.month, kDate.day, style));
}

std::string ExpectedTime(bool withSeconds)
{
    return Utf8ToMacRoman(platform::LocaleTimeText(kDate.hour, kDate.minute, kDate.second, withSeconds));
}
} // namespace

TEST(UDateTime, LeapYears)
{
    EXPECT_TRUE(UDateTime::IsLeapYear(2024));
    EXPECT_FALSE(UDateTime::IsLeapYear(2023));
    EXPECT_TRUE(UDateTime::IsLeapYear(2000));
    EXPECT_FALSE(UDateTime::IsLeapYear(1900));
    EXPECT_FALSE(UDateTime::IsLeapYear(2100));
    EXPECT_TRUE(UDateTime::IsLeapYear(96)); // 1996
    EXPECT_FALSE(UDateTime::IsLeapYear(0)); // 1900
    EXPECT_TRUE(UDateTime::IsLeapYear(4));  // 1904
}

TEST(UDateTime, StampToDate)
{
    const uint32_t day = 86400;
    SCalendarDate d = UDateTime::StampToDate({2024, 0, 0});
    EXPECT_EQ(d.year, 2024);
    EXPECT_EQ(d.month, 1);
    EXPECT_EQ(d.day, 1);
    EXPECT_EQ(d.hour, 0);

    d = UDateTime::StampToDate({2024, 999, (31 + 28) * day + 12 * 3600 + 34 * 60 + 56});
    EXPECT_EQ(d.month, 2);
    EXPECT_EQ(d.day, 29);
    EXPECT_EQ(d.hour, 12);
    EXPECT_EQ(d.minute, 34);
    EXPECT_EQ(d.second, 56);

    d = UDateTime::StampToDate({2023, 0, (31 + 28) * day});
    EXPECT_EQ(d.month, 3);
    EXPECT_EQ(d.day, 1);

    d = UDateTime::StampToDate({2023, 0, 364 * day + 86399});
    EXPECT_EQ(d.year, 2023);
    EXPECT_EQ(d.month, 12);
    EXPECT_EQ(d.day, 31);
    EXPECT_EQ(d.second, 59);

    // Seconds past the year's end carry over instead of making a 32 December.
    d = UDateTime::StampToDate({2023, 0, (365 + 366) * day + day});
    EXPECT_EQ(d.year, 2025);
    EXPECT_EQ(d.month, 1);
    EXPECT_EQ(d.day, 2);
    d = UDateTime::StampToDate({65535, 0, UINT32_MAX});
    EXPECT_EQ(d.year, 65535 + 136);
}

TEST(UDateTime, DateFormsAndJoiners)
{
    std::string pattern = Expected(platform::DateStyle::WeekdayMonthDayYear);
    std::string shortDate = Expected(platform::DateStyle::Short);
    std::string longDate = Expected(platform::DateStyle::Long);
    ASSERT_FALSE(pattern.empty());
    ASSERT_FALSE(shortDate.empty());
    ASSERT_FALSE(longDate.empty());
    ASSERT_GT(ExpectedTime(true).size(), ExpectedTime(false).size());

    EXPECT_EQ(DateText(kDate, 0), "");
    EXPECT_EQ(DateText(kDate, 1), shortDate);
    EXPECT_EQ(DateText(kDate, 4), longDate);
    EXPECT_EQ(DateText(kDate, 2), pattern);
    EXPECT_EQ(DateText(kDate, 2 | 1 | 4), pattern); // the pattern wins, then the short date
    EXPECT_EQ(DateText(kDate, 1 | 4), shortDate);

    EXPECT_EQ(DateText(kDate, 17), shortDate + " " + ExpectedTime(true));
    EXPECT_EQ(DateText(kDate, 9), shortDate + " " + ExpectedTime(false));
    EXPECT_EQ(DateText(kDate, 18), pattern + ", " + ExpectedTime(true));
    EXPECT_EQ(DateText(kDate, 12), longDate + ", " + ExpectedTime(false));
    EXPECT_EQ(DateText(kDate, 8), ExpectedTime(false));
    EXPECT_EQ(DateText(kDate, 16 | 8), ExpectedTime(true));

    // Abbreviated weekday, abbreviated month, day, year: three parts split by commas.
    size_t first = pattern.find(", ");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(pattern.find(", ", first + 2), std::string::npos);
}

TEST(UDateTime, TimeNeedsMoreThanFiveBytesOfRoom)
{
    std::string shortDate = Expected(platform::DateStyle::Short);
    uint32_t dateSize = uint32_t(shortDate.size());
    EXPECT_EQ(DateText(kDate, 17, dateSize + 5), shortDate);
    EXPECT_EQ(DateText(kDate, 17, dateSize + 6),
              (shortDate + " " + ExpectedTime(true)).substr(0, dateSize + 6));
    EXPECT_EQ(DateText(kDate, 17, 4), shortDate.substr(0, 4));
    EXPECT_EQ(DateText(kDate, 16, 5), "");
    EXPECT_EQ(DateText(kDate, 16, 6), ExpectedTime(true).substr(0, 6));
}

TEST(UDateTime, OtherForms)
{
    SDateTimeStamp stamp = {2024, 0, (31 + 29 + 4) * 86400u + 13 * 3600 + 4 * 60 + 5};
    char a[64], b[64];
    uint32_t na = UDateTime::DateToText(stamp, a, sizeof(a), 18);
    uint32_t nb = UDateTime::DateToText(kDate, b, sizeof(b), 18);
    EXPECT_EQ(std::string(a, na), std::string(b, nb));

    EXPECT_GT(UDateTime::DateToText(a, sizeof(a), 17), 6u);
    // A date the calendar lacks leaves the date part out rather than inventing one.
    EXPECT_EQ(DateText({2023, 2, 30, 1, 2, 3}, 1), "");
}

TEST(UDateTime, TickCountsAndTheDateFollowTheClock)
{
    UApplication::Init();
    StClockInHand clock;
    const uint32_t ms = UDateTime::GetMilliseconds();
    char before[64], after[64];
    const uint32_t nb = UDateTime::DateToText(before, sizeof(before), UDateTime::kShortDate);
    UClock::Advance(2 * 86400 * 1000u + 1500);
    EXPECT_EQ(UDateTime::GetMilliseconds() - ms, 2 * 86400 * 1000u + 1500);
    EXPECT_EQ(UDateTime::GetSeconds(), uint32_t(UClock::Now() / 1000));
    const uint32_t na = UDateTime::DateToText(after, sizeof(after), UDateTime::kShortDate);
    EXPECT_NE(std::string(before, nb), std::string(after, na));
}
