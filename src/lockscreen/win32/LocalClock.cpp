// The local-to-UTC conversion and the privileged clock change around it.
#include "lockscreen/win32/LocalClock.h"

#include "lockscreen/win32/SystemRoutines.h"
#include "platform/SystemFunction.h"

namespace {

constexpr char SystemTimePrivilege[] = "SeSystemtimePrivilege";
constexpr char Kernel32Name[] = "kernel32.dll";
constexpr char ZoneConversionName[] = "TzSpecificLocalTimeToSystemTime";
constexpr double MinutesPerDay = 24 * 60;

using ZoneConversionFunction = BOOL WINAPI(const TIME_ZONE_INFORMATION*, const SYSTEMTIME*, SYSTEMTIME*);

SYSTEMTIME ToSystemTime(TDateTime value)
{
    CalendarDateTime calendar = DecodeDateTime(value);
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(calendar.Year);
    time.wMonth = static_cast<WORD>(calendar.Month);
    time.wDayOfWeek = static_cast<WORD>(DayOfWeek(value));
    time.wDay = static_cast<WORD>(calendar.Day);
    time.wHour = static_cast<WORD>(calendar.Hour);
    time.wMinute = static_cast<WORD>(calendar.Minute);
    time.wSecond = static_cast<WORD>(calendar.Second);
    time.wMilliseconds = static_cast<WORD>(calendar.Millisecond);
    return time;
}

}  // namespace

bool LocalToSystemTime(TDateTime local, SYSTEMTIME& utc)
{
    // Looked up at run time: Windows before XP lacks it, and a static import would
    // keep the program from starting there.
    TSystemFunction<ZoneConversionFunction> convert(Kernel32Name, ZoneConversionName);
    if (!convert) return LocalToSystemTimeByCurrentBias(local, utc);
    SYSTEMTIME localTime = ToSystemTime(local);
    return convert.Get()(nullptr, &localTime, &utc) != FALSE;
}

bool LocalToSystemTimeByCurrentBias(TDateTime local, SYSTEMTIME& utc)
{
    TIME_ZONE_INFORMATION zone = {};
    DWORD period = GetTimeZoneInformation(&zone);
    if (period == TIME_ZONE_ID_INVALID) return false;
    LONG bias = zone.Bias;
    if (period == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
    if (period == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
    utc = ToSystemTime(local + bias / MinutesPerDay);
    return true;
}

bool SetLocalClock(TDateTime localTime)
{
    SYSTEMTIME utc = {};
    if (!LocalToSystemTime(localTime, utc)) return false;
    EnablePrivilege(SystemTimePrivilege, true);
    bool ok = SetSystemTime(&utc) != FALSE;
    if (ok) PostMessageA(HWND_BROADCAST, WM_TIMECHANGE, 0, 0);
    EnablePrivilege(SystemTimePrivilege, false);
    return ok;
}
