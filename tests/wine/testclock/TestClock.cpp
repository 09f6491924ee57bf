// The clock of the test build of hvxw.exe: the local clock moved by the number
// of milliseconds in "TestClock.txt" beside the program, which the tests write.
// Setting it is refused, as Wine refuses to set the real one, and each attempt
// is recorded in "TestClockSets.txt" as the day count that was asked for.
#include "core/win32/ProgramClock.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Clock.h"
#include "platform/Files.h"

namespace {

constexpr char OffsetFileName[] = "TestClock.txt";
constexpr char SetsFileName[] = "TestClockSets.txt";
constexpr double MillisecondsPerDay = 86400000.0;

std::string BesideProgram(const char* name)
{
    char path[MAX_PATH] = {};
    std::string folder(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

}  // namespace

TDateTime ProgramNow()
{
    // While the test rewrites the file it cannot be read: the clock then stays where it was.
    static double milliseconds = 0;
    std::string path = BesideProgram(OffsetFileName);
    if (std::optional<std::string> offset = ReadWholeFile(path))
        milliseconds = std::strtod(offset->c_str(), nullptr);
    else if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        milliseconds = 0;
    return Now() + milliseconds / MillisecondsPerDay;
}

bool SetProgramClock(TDateTime localTime)
{
    char line[64];
    std::snprintf(line, sizeof line, "%.10f\r\n", localTime);
    AppendToFile(BesideProgram(SetsFileName), line);
    return false;
}
