// Date-time values as the program stores them: days since 30 December 1899,
// the fraction being the time of day. Gregorian calendar, no time zones.
#pragma once

#include <cstdint>
#include <optional>

using TDateTime = double;

struct CalendarDateTime {
    int Year = 1899;
    int Month = 12;
    int Day = 30;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
};

bool operator==(const CalendarDateTime& a, const CalendarDateTime& b);
inline bool operator!=(const CalendarDateTime& a, const CalendarDateTime& b) { return !(a == b); }

// Values before day 0 are points on the same continuous line: -0.25 is
// 1899-12-29 18:00, so DatePart is the floor and TimeOfDay stays in [0, 1).
double DatePart(TDateTime value);
double TimeOfDay(TDateTime value);

bool IsLeapYear(int year);
// 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

// Nothing for a field out of its range (years 1..9999, 30 February, hour 24...).
std::optional<TDateTime> EncodeDateTime(const CalendarDateTime& calendar);

// To the nearest millisecond; a time that rounds up to 24:00 is 00:00 of the
// next day. Values outside 0001-01-01 .. 9999-12-31 23:59:59.999 decode as
// that range's nearest end; NaN decodes as day 0.
CalendarDateTime DecodeDateTime(TDateTime value);

// 0 = Sunday .. 6 = Saturday, as the platform's SYSTEMTIME counts; of the
// day DecodeDateTime gives.
int DayOfWeek(TDateTime value);
