// The event log's line format.
#include "core/LogLine.h"

#include <cstdio>

namespace {

std::string TwoDigits(int value)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", value);
    return digits;
}

}  // namespace

std::string LogLine(const CalendarDateTime& when, const std::string& dateSeparator,
                    const std::string& timeSeparator, const std::string& text)
{
    char year[16];
    std::snprintf(year, sizeof year, "%04d", when.Year);
    return TwoDigits(when.Day) + dateSeparator + TwoDigits(when.Month) + dateSeparator + year + " " +
           TwoDigits(when.Hour) + timeSeparator + TwoDigits(when.Minute) + timeSeparator + TwoDigits(when.Second) +
           " " + text + "\r\n";
}
