// TDateTime: days since 1899-12-30 to and from the calendar.
#include "common/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

void PrintTo(const CalendarDateTime& c, std::ostream* out)
{
    *out << c.Year << '-' << c.Month << '-' << c.Day << ' ' << c.Hour << ':' << c.Minute << ':' << c.Second << '.'
         << c.Millisecond;
}

namespace {

CalendarDateTime Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                      int millisecond = 0)
{
    return CalendarDateTime{year, month, day, hour, minute, second, millisecond};
}

const struct {
    CalendarDateTime Calendar;
    int Serial;
} KnownDays[] = {
    {Date(1899, 12, 30), 0},     {Date(1899, 12, 31), 1},       {Date(1900, 1, 1), 2},
    {Date(1899, 12, 29), -1},    {Date(1900, 2, 28), 60},       {Date(1900, 3, 1), 61},
    {Date(2000, 1, 1), 36526},   {Date(2000, 2, 29), 36585},    {Date(2000, 3, 1), 36586},
    {Date(2023, 2, 28), 44985},  {Date(2023, 3, 1), 44986},     {Date(2024, 1, 1), 45292},
    {Date(2024, 2, 29), 45351},  {Date(2024, 3, 1), 45352},     {Date(2024, 4, 30), 45412},
    {Date(2024, 12, 31), 45657}, {Date(2025, 1, 1), 45658},     {Date(1, 1, 1), -693593},
    {Date(9999, 12, 31), 2958465},
};

TEST(DateTimeDays, KnownDaysEncode)
{
    for (const auto& known : KnownDays)
        EXPECT_EQ(EncodeDateTime(known.Calendar), static_cast<double>(known.Serial)) << known.Serial;
}

TEST(DateTimeDays, KnownDaysDecode)
{
    for (const auto& known : KnownDays)
        EXPECT_EQ(DecodeDateTime(known.Serial), known.Calendar) << known.Serial;
}

TEST(DateTimeDays, EverySupportedDayFollowsTheDayBefore)
{
    // From 0001-01-01 to 9999-12-31 each day must be the calendar's next day
    // and encode back to itself.
    CalendarDateTime previous = DecodeDateTime(-693593);
    int failures = 0;
    for (int serial = -693592; serial <= 2958465 && failures < 10; ++serial) {
        const CalendarDateTime day = DecodeDateTime(serial);
        CalendarDateTime expected = previous;
        if (++expected.Day > DaysInMonth(expected.Year, expected.Month)) {
            expected.Day = 1;
            if (++expected.Month > 12) {
                expected.Month = 1;
                ++expected.Year;
            }
        }
        const auto encoded = EncodeDateTime(day);
        if (day != expected || !encoded || *encoded != serial) {
            ADD_FAILURE() << "serial " << serial << " decodes as " << testing::PrintToString(day);
            ++failures;
        }
        previous = day;
    }
    EXPECT_EQ(previous, Date(9999, 12, 31));
}

TEST(DateTimeDays, MonthLengths)
{
    const struct {
        int Year, Month, Days;
    } cases[] = {
        {1900, 2, 28}, {2000, 2, 29}, {2024, 2, 29}, {2023, 2, 28}, {2100, 2, 28}, {2024, 1, 31},
        {2024, 4, 30}, {2024, 6, 30}, {2024, 9, 30}, {2024, 11, 30}, {2024, 12, 31}, {2024, 0, 0},
        {2024, 13, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DaysInMonth(c.Year, c.Month), c.Days) << c.Year << '-' << c.Month;
}

TEST(DateTimeDays, InvalidDatesDoNotEncode)
{
    const CalendarDateTime invalid[] = {
        Date(1900, 2, 29),  Date(2023, 2, 29),           Date(2024, 2, 30),           Date(2024, 4, 31),
        Date(2024, 0, 1),   Date(2024, 13, 1),           Date(2024, 1, 0),            Date(2024, 1, 32),
        Date(0, 1, 1),      Date(10000, 1, 1),           Date(-1, 1, 1),              Date(2024, 1, 1, 24),
        Date(2024, 1, 1, -1), Date(2024, 1, 1, 0, 60),   Date(2024, 1, 1, 0, 0, 60),  Date(2024, 1, 1, 0, 0, 0, 1000),
        Date(2024, 1, 1, 0, 0, 0, -1),
    };
    for (const CalendarDateTime& c : invalid)
        EXPECT_FALSE(EncodeDateTime(c).has_value()) << testing::PrintToString(c);
}

TEST(DateTimeTimes, DecodeToTheNearestMillisecond)
{
    const struct {
        double Value;
        CalendarDateTime Calendar;
    } cases[] = {
        {0.375, Date(1899, 12, 30, 9)},
        {0.5, Date(1899, 12, 30, 12)},
        {0.25, Date(1899, 12, 30, 6)},
        {1.0 / 24, Date(1899, 12, 30, 1)},
        {22.0 / 24, Date(1899, 12, 30, 22)},
        {1.0 / 86400, Date(1899, 12, 30, 0, 0, 1)},
        {1.0 / 86400000, Date(1899, 12, 30, 0, 0, 0, 1)},
        {0.4 / 86400000, Date(1899, 12, 30)},
        {0.6 / 86400000, Date(1899, 12, 30, 0, 0, 0, 1)},
        {0.99999, Date(1899, 12, 30, 23, 59, 59, 136)},
        {45658.75, Date(2025, 1, 1, 18)},
        {45292.5 + 1.0 / 86400000, Date(2024, 1, 1, 12, 0, 0, 1)},
        {2958465.5, Date(9999, 12, 31, 12)},
        {-0.25, Date(1899, 12, 29, 18)},
        {-1.5, Date(1899, 12, 28, 12)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeDateTime(c.Value), c.Calendar) << c.Value;
}

TEST(DateTimeTimes, RoundingUpToMidnightCarriesIntoTheNextDay)
{
    const struct {
        double Value;
        CalendarDateTime Calendar;
    } cases[] = {
        {0.999999999, Date(1899, 12, 31)},
        {45657.9999999999, Date(2025, 1, 1)},
        {45351.9999999995, Date(2024, 3, 1)},
        {45351.99999999, Date(2024, 2, 29, 23, 59, 59, 999)},
        {36525.999999999, Date(2000, 1, 1)},
        {-1e-10, Date(1899, 12, 30)},
        {std::nextafter(1.0, 0.0), Date(1899, 12, 31)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeDateTime(c.Value), c.Calendar) << c.Value;
        EXPECT_EQ(DayOfWeek(c.Value), DayOfWeek(*EncodeDateTime(c.Calendar))) << c.Value;
    }
}

TEST(DateTimeTimes, EveryMillisecondPatternRoundTrips)
{
    const int dates[][3] = {{1899, 12, 30}, {1900, 3, 1}, {2024, 2, 29}, {2025, 1, 1}, {9999, 12, 31}, {1, 1, 1}};
    int failures = 0;
    for (const auto& d : dates) {
        for (int minute = 0; minute < 24 * 60 && failures < 10; ++minute) {
            for (const int second : {0, 1, 30, 59}) {
                for (const int millisecond : {0, 1, 499, 500, 998, 999}) {
                    const CalendarDateTime c = Date(d[0], d[1], d[2], minute / 60, minute % 60, second, millisecond);
                    const auto value = EncodeDateTime(c);
                    if (!value || DecodeDateTime(*value) != c) {
                        ADD_FAILURE() << testing::PrintToString(c);
                        ++failures;
                    }
                }
            }
        }
    }
}

TEST(DateTimeTimes, EncodedTimesAreFractionsOfTheDay)
{
    EXPECT_EQ(EncodeDateTime(Date(1899, 12, 30, 9)), 0.375);
    EXPECT_EQ(EncodeDateTime(Date(1899, 12, 30, 12)), 0.5);
    EXPECT_EQ(EncodeDateTime(Date(2025, 1, 1, 18)), 45658.75);
    EXPECT_NEAR(*EncodeDateTime(Date(2024, 2, 29, 23, 59, 59, 999)), 45352 - 1.0 / 86400000, 1e-9);
}

TEST(DateTimeParts, WholeDaysAndTimeOfDay)
{
    const struct {
        double Value, Date, Time;
    } cases[] = {
        {0, 0, 0}, {0.375, 0, 0.375}, {45658.75, 45658, 0.75}, {45658, 45658, 0},
        {-0.25, -1, 0.75}, {-2, -2, 0}, {2958465.5, 2958465, 0.5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DatePart(c.Value), c.Date) << c.Value;
        EXPECT_EQ(TimeOfDay(c.Value), c.Time) << c.Value;
    }
}

TEST(DateTimeParts, TimeOfDayStaysBelowOne)
{
    for (const double value : {-1e-20, -1e-300, std::nextafter(0.0, -1.0), std::nextafter(45658.0, 0.0)}) {
        const double time = TimeOfDay(value);
        EXPECT_GE(time, 0.0) << value;
        EXPECT_LT(time, 1.0) << value;
    }
}

TEST(DateTimeParts, DayOfWeekCountsFromSunday)
{
    const struct {
        double Value;
        int Weekday;
    } cases[] = {
        {0, 6},      {1, 0},      {-1, 5},      {-7, 6},         {36526, 6},
        {45658, 3},  {45658.9, 3}, {45657.5, 2}, {45351, 4},      {-693593, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DayOfWeek(c.Value), c.Weekday) << c.Value;
}

TEST(DateTimeRange, OutOfRangeValuesDecodeAsTheNearestEnd)
{
    const double infinity = std::numeric_limits<double>::infinity();
    const struct {
        double Value;
        CalendarDateTime Calendar;
    } cases[] = {
        {std::numeric_limits<double>::quiet_NaN(), Date(1899, 12, 30)},
        {infinity, Date(9999, 12, 31, 23, 59, 59, 999)},
        {1e300, Date(9999, 12, 31, 23, 59, 59, 999)},
        {2958466, Date(9999, 12, 31, 23, 59, 59, 999)},
        {2958465.9999999999, Date(9999, 12, 31, 23, 59, 59, 999)},
        {-infinity, Date(1, 1, 1)},
        {-1e300, Date(1, 1, 1)},
        {-693594, Date(1, 1, 1)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeDateTime(c.Value), c.Calendar) << c.Value;
        const int weekday = DayOfWeek(c.Value);
        EXPECT_GE(weekday, 0);
        EXPECT_LE(weekday, 6);
    }
}

} // namespace
