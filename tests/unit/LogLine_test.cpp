// The event log's line: fixed-width date and time with the system's separators.
#include "core/LogLine.h"

#include <gtest/gtest.h>

namespace {

CalendarDateTime When(int year, int month, int day, int hour, int minute, int second)
{
    CalendarDateTime when;
    when.Year = year;
    when.Month = month;
    when.Day = day;
    when.Hour = hour;
    when.Minute = minute;
    when.Second = second;
    return when;
}

TEST(LogLine, DateAndTimeInFixedWidthWithTheSystemsSeparators)
{
    struct Case {
        CalendarDateTime When;
        const char* DateSeparator;
        const char* TimeSeparator;
        const char* Text;
        const char* Line;
    } cases[] = {
        {When(2026, 12, 7, 21, 4, 5), "/", ":", "Access Denied", "07/12/2026 21:04:05 Access Denied\r\n"},
        {When(2026, 1, 31, 0, 0, 0), ".", ":", "Access Permitted", "31.01.2026 00:00:00 Access Permitted\r\n"},
        {When(987, 3, 4, 23, 59, 59), "-", ".", "x", "04-03-0987 23.59.59 x\r\n"},
        {When(2027, 6, 15, 9, 8, 7), " / ", "h", "", "15 / 06 / 2027 09h08h07 \r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(LogLine(c.When, c.DateSeparator, c.TimeSeparator, c.Text), c.Line);
}

}  // namespace
