// Now() from the system's local time.
#include "platform/Clock.h"

#include <windows.h>

TDateTime Now()
{
    SYSTEMTIME local;
    GetLocalTime(&local);
    CalendarDateTime calendar;
    calendar.Year = local.wYear;
    calendar.Month = local.wMonth;
    calendar.Day = local.wDay;
    calendar.Hour = local.wHour;
    calendar.Minute = local.wMinute;
    calendar.Second = local.wSecond;
    calendar.Millisecond = local.wMilliseconds;
    return EncodeDateTime(calendar).value_or(0);
}
