// Calendar arithmetic for TDateTime: whole days counted with the proleptic
// Gregorian calendar, times to the millisecond.
#include "common/DateTime.h"

#include <cmath>

namespace {

constexpr int FirstYear = 1;
constexpr int LastYear = 9999;
constexpr int64_t MillisecondsPerDay = 24LL * 60 * 60 * 1000;

// Days since 0000-03-01 (a year starting in March puts the leap day last), in
// the manner of the well-known era-based civil-day algorithms.
constexpr int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day)
{
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra;
}

void CivilFromDays(int64_t days, CalendarDateTime& calendar)
{
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    calendar.Year = static_cast<int>(yearOfEra + era * 400 + (month <= 2));
    calendar.Month = static_cast<int>(month);
    calendar.Day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
}

constexpr int64_t DayZero = DaysFromCivil(1899, 12, 30);
constexpr int64_t FirstDay = DaysFromCivil(FirstYear, 1, 1) - DayZero;
constexpr int64_t LastDay = DaysFromCivil(LastYear, 12, 31) - DayZero;

struct DayAndTime {
    int64_t Day;
    int64_t Millisecond;
};

// The day and millisecond a value decodes to, clamped to the supported years.
DayAndTime Split(TDateTime value)
{
    if (std::isnan(value))
        return {0, 0};
    if (value < static_cast<double>(FirstDay))
        return {FirstDay, 0};
    if (value >= static_cast<double>(LastDay + 1))
        return {LastDay, MillisecondsPerDay - 1};
    const double whole = std::floor(value);
    DayAndTime split{static_cast<int64_t>(whole), 0};
    // value - whole is exact, so only this one multiplication rounds.
    split.Millisecond = std::llround((value - whole) * MillisecondsPerDay);
    if (split.Millisecond >= MillisecondsPerDay) {
        split.Millisecond -= MillisecondsPerDay;
        ++split.Day;
    }
    if (split.Day > LastDay)
        return {LastDay, MillisecondsPerDay - 1};
    return split;
}

bool InRange(int value, int first, int last) { return value >= first && value <= last; }

} // namespace

bool operator==(const CalendarDateTime& a, const CalendarDateTime& b)
{
    return a.Year == b.Year && a.Month == b.Month && a.Day == b.Day && a.Hour == b.Hour && a.Minute == b.Minute &&
           a.Second == b.Second && a.Millisecond == b.Millisecond;
}

double DatePart(TDateTime value) { return std::floor(value); }

double TimeOfDay(TDateTime value)
{
    const double fraction = value - std::floor(value);
    // A tiny negative value minus its floor (-1) rounds to exactly 1.
    return fraction < 1 ? fraction : std::nextafter(1.0, 0.0);
}

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month)
{
    static const int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (!InRange(month, 1, 12))
        return 0;
    return Days[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

std::optional<TDateTime> EncodeDateTime(const CalendarDateTime& c)
{
    if (!InRange(c.Year, FirstYear, LastYear) || !InRange(c.Month, 1, 12) ||
        !InRange(c.Day, 1, DaysInMonth(c.Year, c.Month)) || !InRange(c.Hour, 0, 23) || !InRange(c.Minute, 0, 59) ||
        !InRange(c.Second, 0, 59) || !InRange(c.Millisecond, 0, 999))
        return std::nullopt;
    const int64_t days = DaysFromCivil(c.Year, c.Month, c.Day) - DayZero;
    const int64_t milliseconds = ((c.Hour * 60LL + c.Minute) * 60 + c.Second) * 1000 + c.Millisecond;
    return static_cast<double>(days) + static_cast<double>(milliseconds) / MillisecondsPerDay;
}

CalendarDateTime DecodeDateTime(TDateTime value)
{
    const DayAndTime split = Split(value);
    CalendarDateTime calendar;
    CivilFromDays(split.Day + DayZero, calendar);
    calendar.Millisecond = static_cast<int>(split.Millisecond % 1000);
    calendar.Second = static_cast<int>(split.Millisecond / 1000 % 60);
    calendar.Minute = static_cast<int>(split.Millisecond / 60000 % 60);
    calendar.Hour = static_cast<int>(split.Millisecond / 3600000);
    return calendar;
}

int DayOfWeek(TDateTime value)
{
    // Day 0 was a Saturday.
    const int64_t weekday = (Split(value).Day + 6) % 7;
    return static_cast<int>(weekday < 0 ? weekday + 7 : weekday);
}
