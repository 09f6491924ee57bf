// Converts local date-times to UTC as the clock guard does, in the time zone this process
// was started in, and writes the results to a file: the clock itself is never touched.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>

#include "common/DateTime.h"
#include "lockdown_Tools.h"
#include "lockscreen/win32/LocalClock.h"

namespace {

constexpr char DateTimeFormat[] = "%04d-%02d-%02d %02d:%02d:%02d.%03d";

std::optional<TDateTime> ParseLocal(const char* text)
{
    CalendarDateTime calendar;
    int read = std::sscanf(text, DateTimeFormat, &calendar.Year, &calendar.Month, &calendar.Day, &calendar.Hour,
                           &calendar.Minute, &calendar.Second, &calendar.Millisecond);
    if (read != 7) return std::nullopt;
    return EncodeDateTime(calendar);
}

std::string SystemTimeText(const SYSTEMTIME& time)
{
    char text[32];
    std::snprintf(text, sizeof text, DateTimeFormat, time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
                  time.wSecond, time.wMilliseconds);
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return lockdown::BadUsage;
    bool byRules = std::strcmp(argv[2], lockdown::ByZoneRules) == 0;
    if (!byRules && std::strcmp(argv[2], lockdown::ByCurrentBias) != 0) return lockdown::BadUsage;
    // Written aside and moved into place: a test waiting for the file never reads half of it.
    std::string target = argv[1];
    std::string written = target + ".part";
    std::ofstream output(written, std::ios::binary | std::ios::trunc);
    if (!output) return 1;
    for (int i = 3; i < argc; ++i) {
        std::optional<TDateTime> local = ParseLocal(argv[i]);
        if (!local) return lockdown::BadUsage;
        SYSTEMTIME utc = {};
        bool converted = byRules ? LocalToSystemTime(*local, utc) : LocalToSystemTimeByCurrentBias(*local, utc);
        output << (converted ? SystemTimeText(utc) : std::string(lockdown::FailedLine)) << '\n';
    }
    output.close();
    if (!output) return 1;
    return MoveFileExA(written.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
