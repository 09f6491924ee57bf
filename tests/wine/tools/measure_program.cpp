// Measures an idle hvxw.exe for scripts/measure.sh: time from process start
// to its tray icon (several warm starts), then working set, private bytes
// and CPU time used over an idle period of one instance. Prints the figures.
//
// The processor time and memory of the idle instance are read by the script
// from the host's view of the process: Wine reports neither for another
// process. The tool writes <folder>\idle.want while the instance idles and
// waits for <folder>\idle.done.
//
// measure_program.exe <starts> <idle seconds> <folder>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "../HalvexProgram.h"

using namespace harness;
using namespace halvex_test;

namespace {

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// For scale: milliseconds from CreateProcess to the first window of a program that does
// nothing else, which is what Wine's process start alone costs; negative on failure.
double StartToWindow(const AppDir& dir, const char* program, const char* windowClass)
{
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    Process started = StartInAppDir(dir, program);
    Deadline deadline(DefaultTimeout);
    while (!deadline.Expired()) {
        if (FindTopWindow(WindowQuery::OfClass(windowClass).InProcess(started.Id()))) {
            QueryPerformanceCounter(&now);
            return Seconds(start, now) * 1000;
        }
        Sleep(1);
    }
    return -1;
}

// Milliseconds from CreateProcess to the tray icon; negative on failure.
double StartToTray(const AppDir& dir)
{
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    Process program = StartInAppDir(dir, ProgramName);
    HWND window = nullptr;
    Deadline deadline(DefaultTimeout);
    while (!deadline.Expired()) {
        if (!window) window = FindTopWindow(WindowQuery::OfClass(MainFormClass).InProcess(program.Id()));
        if (window && HasTrayIcon(window)) {
            QueryPerformanceCounter(&now);
            return Seconds(start, now) * 1000;
        }
        Sleep(1);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    int starts = argc > 1 ? std::atoi(argv[1]) : 5;
    if (starts < 1) starts = 1;
    if (argc != 4) return 2;
    int idleSeconds = std::atoi(argv[2]);
    AppDir dir;

    std::vector<double> times;
    StartToTray(dir);   // the first start warms the caches and is not counted
    for (int i = 0; i < starts; ++i) times.push_back(StartToTray(dir));
    std::sort(times.begin(), times.end());
    std::printf("start to tray icon, warm, %d starts: min %.1f ms, median %.1f ms, max %.1f ms\n", starts,
                times.front(), times[times.size() / 2], times.back());
    std::vector<double> baseline;
    StartToWindow(dir, "harness_target.exe", "HarnessTargetWindow");
    for (int i = 0; i < starts; ++i) baseline.push_back(StartToWindow(dir, "harness_target.exe", "HarnessTargetWindow"));
    std::sort(baseline.begin(), baseline.end());
    std::printf("for scale, start to the window of a program that does nothing else (Wine's process start): "
                "min %.1f ms, median %.1f ms, max %.1f ms\n",
                baseline.front(), baseline[baseline.size() / 2], baseline.back());

    RunningProgram program(dir);
    if (!program.Window()) return 1;
    std::string want = JoinPath(argv[3], "idle.want");
    std::string done = JoinPath(argv[3], "idle.done");
    if (FILE* file = std::fopen(want.c_str(), "w")) std::fclose(file);
    std::fflush(stdout);
    if (!PollUntil([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; },
                   Timeout{(idleSeconds + 60) * 1000}))
        return 1;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(program.Program().Get(), &memory, sizeof memory);
    std::printf("working set as Wine reports it: %.2f MB (peak %.2f MB)\n", memory.WorkingSetSize / 1048576.0,
                memory.PeakWorkingSetSize / 1048576.0);
    return 0;
}
