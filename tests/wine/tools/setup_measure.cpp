// Times the setup program for scripts/measure-installer.sh, as a deployment tool sees it:
// per round, a silent setup on a clean machine (to its exit, and to the program running), a
// second silent setup over the running installation, and a silent uninstall (to its
// Add/Remove entry gone, which it removes last). Prints each figure's median and maximum.
//
// setup_measure.exe <setup.exe> <rounds>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Halvex";
constexpr char InstanceMutex[] = "Hvxmu01";
constexpr DWORD StepTimeoutMs = 60000;

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Polls the condition every millisecond until it holds; false at the deadline.
template <typename Condition>
bool WaitFor(Condition condition)
{
    const Clock::time_point start = Clock::now();
    while (!condition()) {
        if (MillisecondsSince(start) > StepTimeoutMs) return false;
        Sleep(1);
    }
    return true;
}

// Runs the command line to its end; false when it failed to start, timed out or exited non-zero.
bool RunToExit(const std::string& commandLine)
{
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return false;
    CloseHandle(started.hThread);
    DWORD code = 1;
    bool ended = WaitForSingleObject(started.hProcess, StepTimeoutMs) == WAIT_OBJECT_0;
    if (ended) GetExitCodeProcess(started.hProcess, &code);
    CloseHandle(started.hProcess);
    return ended && code == 0;
}

bool ProgramRuns()
{
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, InstanceMutex);
    if (!mutex) return false;
    CloseHandle(mutex);
    return true;
}

bool Installed()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

struct Figure {
    const char* Name;
    std::vector<double> Values;

    void Print() const
    {
        std::vector<double> sorted = Values;
        std::sort(sorted.begin(), sorted.end());
        std::printf("  %-48s median %6.0f ms, max %6.0f ms (%u rounds)\n", Name, sorted[sorted.size() / 2],
                    sorted.back(), static_cast<unsigned>(sorted.size()));
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) return 2;
    const std::string setup = std::string("\"") + argv[1] + "\" /S";
    const int rounds = std::max(1, std::atoi(argv[2]));
    char programFiles[MAX_PATH] = {};
    GetEnvironmentVariableA("ProgramFiles", programFiles, MAX_PATH);
    const std::string uninstall = std::string("\"") + programFiles + "\\Halvex\\unins000.exe\" /S";
    if (Installed()) {
        std::fprintf(stderr, "Halvex is installed already\n");
        return 1;
    }

    Figure fresh{"silent setup, clean machine, to its exit", {}};
    Figure running{"silent setup, clean machine, to program running", {}};
    Figure again{"silent setup over a running installation", {}};
    Figure removal{"silent uninstall, to its entry gone", {}};
    for (int round = 0; round < rounds; ++round) {
        Clock::time_point start = Clock::now();
        if (!RunToExit(setup)) return std::fprintf(stderr, "the setup failed\n"), 1;
        fresh.Values.push_back(MillisecondsSince(start));
        if (!WaitFor(ProgramRuns)) return std::fprintf(stderr, "the program did not start\n"), 1;
        running.Values.push_back(MillisecondsSince(start));

        start = Clock::now();
        if (!RunToExit(setup) || !WaitFor(ProgramRuns)) return std::fprintf(stderr, "the second setup failed\n"), 1;
        again.Values.push_back(MillisecondsSince(start));

        start = Clock::now();
        if (!RunToExit(uninstall) || !WaitFor([] { return !Installed(); }))
            return std::fprintf(stderr, "the uninstall failed\n"), 1;
        removal.Values.push_back(MillisecondsSince(start));
        // The program ends with the uninstall; the next round starts with none running.
        if (!WaitFor([] { return !ProgramRuns(); })) return std::fprintf(stderr, "the program still runs\n"), 1;
    }
    std::printf("Under Wine (%d rounds):\n", rounds);
    for (const Figure* figure : {&fresh, &running, &again, &removal}) figure->Print();
    return 0;
}
