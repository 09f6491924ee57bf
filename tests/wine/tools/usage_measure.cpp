// Measures the usage-time tick for scripts/measure-usage.sh: the time one tick
// of the program's own code takes with its write, on a Halvex.dat of 100
// profiles; then an idle hvxw.exe whose day's hours are enforced, so that it
// writes at every tick, while the script reads its processor time from the host.
// The tool writes <folder>\idle.want while the program idles and waits for
// <folder>\idle.done.
//
// usage_measure.exe <ticks> <idle seconds> <folder>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../HalvexProgram.h"
#include "core/win32/MainForm.h"
#include "core/win32/ProgramGlobals.h"
#include "platform/Clock.h"
#include "settings/StorageFormat.h"

using namespace harness;
using namespace halvex_test;

namespace {

constexpr int Profiles = 100;
constexpr int KeysPerProfile = 20;

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string Today()
{
    return std::to_string(static_cast<long>(DatePart(Now())));
}

// A file as a save of 100 profiles would leave it, the logged-on user's in the middle.
std::string HundredProfiles()
{
    std::string content;
    for (int p = 0; p < Profiles; ++p) {
        std::string profile = p == Profiles / 2 ? LogonUser() : "User" + std::to_string(p);
        storage::AppendScrambledLine(content, "[" + profile + "]");
        for (int k = 0; k < KeysPerProfile; ++k)
            storage::AppendScrambledLine(content, "Key" + std::to_string(k) + "=" + std::to_string(p * 1000 + k));
    }
    return content;
}

int MeasureTicks(int ticks)
{
    harness::AppDir dir;
    const std::string content = HundredProfiles();
    if (!dir.WriteFile(SettingsName, content)) return 1;
    SettingsFileName = dir.PathOf(SettingsName);
    CurrentProfile = LogonUser();

    // The window's own tick and its host, without the window: nothing here posts or shows.
    TGuardLink noGuard;
    TMainForm form(noGuard, false);
    TUsageTimeHost host(form);
    TUsageTime usage(host);
    TUsageRestriction restriction;
    restriction.Duration = true;
    restriction.DurationLimit = 24 * 3600;
    usage.Load(restriction, std::atoi(Today().c_str()), 0);
    usage.Tick(false);
    std::vector<double> times;
    for (int i = 0; i < ticks; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        usage.Tick(true);
        QueryPerformanceCounter(&end);
        times.push_back(Milliseconds(start, end));
    }
    std::sort(times.begin(), times.end());
    const std::string stored = ReadSetting(dir, CurrentProfile, "DurationTick");
    std::printf("one tick with its write, Halvex.dat of %d profiles (%zu bytes), %d ticks: "
                "min %.3f / median %.3f / p90 %.3f / max %.3f ms\n",
                Profiles, content.size(), ticks, times.front(), times[times.size() / 2], times[times.size() * 9 / 10],
                times.back());
    if (stored != std::to_string(3 * (ticks + 1))) {
        std::printf("the file holds DurationTick %s, not %d\n", stored.c_str(), 3 * (ticks + 1));
        return 1;
    }
    return 0;
}

int MeasureIdle(int idleSeconds, const std::string& folder)
{
    harness::AppDir dir;
    const std::string user = LogonUser();
    WriteSettings(dir, {{user, "ProfileName", user},
                        {user, "Duration", "1"},
                        {user, "DurationHours", "24"},
                        {user, "DurationDay", Today()},
                        {user, "DurationTick", "0"}});
    RunningProgram program(dir);
    if (!program.Window()) return 1;
    if (!WaitUntil([&] { return HasTrayIcon(program.Window()); }, DefaultTimeout, "the tray icon")) return 1;
    const int before = std::atoi(ReadSetting(dir, user, "DurationTick").c_str());
    if (FILE* want = std::fopen(JoinPath(folder, "idle.want").c_str(), "w")) std::fclose(want);
    if (!WaitForFileQuietly(JoinPath(folder, "idle.done"), Timeout{(idleSeconds + 120) * 1000})) return 1;
    const int after = std::atoi(ReadSetting(dir, user, "DurationTick").c_str());
    std::printf("ticks counted and written while idle: %d in %d s\n", (after - before) / 3, idleSeconds);
    program.Program().End();
    return after > before ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) return 2;
    if (int failed = MeasureTicks(std::atoi(argv[1]))) return failed;
    std::fflush(stdout);
    return MeasureIdle(std::atoi(argv[2]), argv[3]);
}
