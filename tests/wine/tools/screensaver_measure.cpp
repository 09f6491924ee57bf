// Measures SSHalvex.scr for scripts/measure-screensaver.sh and prints the figures: the time
// from starting "SSHalvex.scr /s" to the control program's lock window in front (warm trials),
// and, for scale, the time from starting the module with a switch it ignores to its end,
// which is what Wine's process start and end alone cost.
//
// screensaver_measure.exe <trials>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "../LockScreenFixture.h"

using namespace harness;
using namespace halvex_test;

namespace {

constexpr char ModuleName[] = "SSHalvex.scr";
constexpr Timeout TrialTimeout{10000};
constexpr Timeout PollStep{1};

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool LockInFront(DWORD processId)
{
    HWND front = GetForegroundWindow();
    return front && ProcessOf(front) == processId && ClassOf(front) == LockFormClass && IsWindowVisible(front);
}

struct LockTimes {
    double ModuleEnded = -1;   // the request is on its way by then
    double LockInFront = -1;
};

// Milliseconds from the module's start to its end and to the lock window in front; negative
// on failure. The lock is opened again before it returns.
LockTimes LockTrial(LockScreenProgram& program)
{
    const Clock::time_point start = Clock::now();
    Process module = StartInAppDir(program.Dir(), ModuleName, "/s");
    LockTimes times;
    while (module.IsStarted() && MillisecondsSince(start) < TrialTimeout.count()) {
        if (times.ModuleEnded < 0 && !module.IsRunning()) times.ModuleEnded = MillisecondsSince(start);
        if (LockInFront(program.Program().Id())) {
            times.LockInFront = MillisecondsSince(start);
            break;
        }
        // The lock hides windows of this thread too: keep answering.
        PumpMessagesFor(PollStep);
    }
    if (!module.WaitForExit(TrialTimeout) || module.ExitCode() != 0u) return {};
    if (times.ModuleEnded < 0) times.ModuleEnded = times.LockInFront;   // ended in the last step
    if (!program.WaitForLock() || !program.Unlock("Secret")) return {};
    return times;
}

// Milliseconds from the module's start to its end, with a switch it ignores; negative on failure.
double IdleTrial(const LockScreenProgram& program)
{
    const Clock::time_point start = Clock::now();
    Process module = StartInAppDir(program.Dir(), ModuleName, "/x");
    while (module.IsRunning() && MillisecondsSince(start) < TrialTimeout.count()) PumpMessagesFor(PollStep);
    return module.ExitCode() == 0u ? MillisecondsSince(start) : -1;
}

void Print(const char* what, std::vector<double> times, const char* target)
{
    std::sort(times.begin(), times.end());
    std::printf("%s, warm, %zu trials: min %.1f ms, median %.1f ms, max %.1f ms%s\n", what, times.size(),
                times.front(), times[times.size() / 2], times.back(), target);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    const int trials = std::max(1, std::atoi(argv[1]));
    LockScreenProgram program;
    if (!program.IsStarted()) return 1;

    // The first of each warms the caches (and copies the module in) and is not counted.
    std::vector<double> locks, ends, idles;
    for (int i = 0; i <= trials; ++i) {
        const LockTimes times = LockTrial(program);
        if (times.LockInFront < 0) {
            std::printf("lock trial %d failed\n", i);
            return 1;
        }
        if (i == 0) continue;
        locks.push_back(times.LockInFront);
        ends.push_back(times.ModuleEnded);
    }
    for (int i = 0; i <= trials; ++i) {
        const double time = IdleTrial(program);
        if (time < 0) {
            std::printf("start-to-end trial %d failed\n", i);
            return 1;
        }
        if (i > 0) idles.push_back(time);
    }
    Print("\"SSHalvex.scr /s\" started to the lock window in front", locks, " (target < 150 ms)");
    Print("  of which \"SSHalvex.scr /s\" started to its end (the request sent)", ends, "");
    Print("for scale: \"SSHalvex.scr /x\" (does nothing) started to its end", idles, "");
    return 0;
}
