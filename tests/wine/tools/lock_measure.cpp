// Measures hvxw.exe's lock for scripts/measure-lock.sh and prints the figures: the time
// from the lock request to the lock window in front with the task bar hidden (warm
// trials), and the time another program's Task Manager window stays visible during a lock
// before the lock hides it. In between it keeps one lock up, idle, while the script reads
// the program's processor time from the host: it writes <folder>\idle.want and waits for
// <folder>\idle.done.
//
// lock_measure.exe <lock trials> <hide trials> <folder>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../LockScreenFixture.h"

using namespace harness;
using namespace halvex_test;

namespace {

constexpr Timeout TrialTimeout{10000};
constexpr Timeout IdleHandshakeTimeout{120000};
constexpr char StandInClass[] = "LockMeasureTaskManager";
constexpr char ClassicTaskManagerTitle[] = "Windows Task Manager";

class Stopwatch {
public:
    Stopwatch()
    {
        QueryPerformanceFrequency(&Frequency);
        QueryPerformanceCounter(&Start);
    }
    double Milliseconds() const
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - Start.QuadPart) * 1000.0 / static_cast<double>(Frequency.QuadPart);
    }

private:
    LARGE_INTEGER Frequency, Start;
};

// Waits for at most a millisecond, dispatching this thread's messages.
void PumpBriefly()
{
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

struct Figures {
    double Min, Median, P99, Max;
};

Figures FiguresOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t p99 = static_cast<size_t>(std::ceil(0.99 * static_cast<double>(values.size()))) - 1;
    return {values.front(), values[values.size() / 2], values[p99], values.back()};
}

bool Visible(HWND window)
{
    return window && IsWindowVisible(window);
}

// Milliseconds from the request to the lock window in front with the task bar hidden;
// negative on failure. The lock is opened again before it returns.
double LockTrial(RunningProgram& program, HWND taskBar)
{
    if (taskBar && !PollUntil([&] { return Visible(taskBar); }, TrialTimeout)) return -1;
    Stopwatch watch;
    program.PostRequest(1);
    HWND form = nullptr;
    double elapsed = -1;
    while (watch.Milliseconds() < TrialTimeout.count()) {
        HWND front = GetForegroundWindow();
        if (front && ProcessOf(front) == program.Id() && ClassOf(front) == LockFormClass && !Visible(taskBar)) {
            elapsed = watch.Milliseconds();
            form = front;
            break;
        }
        PumpBriefly();
    }
    if (!form) return -1;
    LockWindow lock = FindLockParts(form);
    SetText(lock.Edit, "Secret");
    Click(lock.UnLockButton);
    return WaitForDestroyed(form, TrialTimeout) ? elapsed : -1;
}

// A window titled as the classic Task Manager, shown again and again during one lock:
// milliseconds from each showing to the lock's hiding it.
std::vector<double> HideTrials(int trials)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = StandInClass;
    RegisterClassExA(&windowClass);
    UniqueWindow window(CreateWindowExA(0, StandInClass, ClassicTaskManagerTitle, WS_OVERLAPPEDWINDOW, 40, 40, 240,
                                        120, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    std::vector<double> delays;
    for (int trial = 0; trial < trials && window; ++trial) {
        // Shown at a different moment of the lock's 10 ms pass each time.
        PumpMessagesFor(Timeout{trial % 11});
        Stopwatch watch;
        ShowWindow(window.Get(), SW_SHOWNOACTIVATE);
        while (IsWindowVisible(window.Get()) && watch.Milliseconds() < TrialTimeout.count()) PumpBriefly();
        if (IsWindowVisible(window.Get())) {
            std::printf("a Task Manager window stayed visible for %.0f ms\n", watch.Milliseconds());
            ShowWindow(window.Get(), SW_HIDE);
            continue;
        }
        delays.push_back(watch.Milliseconds());
    }
    return delays;
}

bool IdleLock(LockScreenProgram& program, const std::string& folder)
{
    if (!program.Lock()) return false;
    std::string want = JoinPath(folder, "idle.want");
    std::string done = JoinPath(folder, "idle.done");
    if (FILE* file = std::fopen(want.c_str(), "w")) std::fclose(file);
    bool answered = WaitForFileQuietly(done, IdleHandshakeTimeout);
    return program.Unlock("Secret") && answered;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) return 2;
    int lockTrials = std::max(1, std::atoi(argv[1]));
    int hideTrials = std::max(1, std::atoi(argv[2]));
    LockScreenProgram program;
    if (!program.IsStarted()) return 1;
    HWND taskBar = FindWindowA(TaskBarClass, nullptr);
    if (taskBar) ShowWindowAsync(taskBar, SW_SHOWNA);

    std::vector<double> lockTimes;
    LockTrial(program.Program(), taskBar);   // the first lock warms the caches and is not counted
    for (int i = 0; i < lockTrials; ++i) {
        double time = LockTrial(program.Program(), taskBar);
        if (time < 0) {
            std::printf("lock trial %d failed\n", i + 1);
            return 1;
        }
        lockTimes.push_back(time);
    }
    Figures lock = FiguresOf(lockTimes);
    std::printf("lock request to the lock window in front, task bar hidden (%s), warm, %d trials: "
                "min %.1f ms, median %.1f ms, max %.1f ms (target < 100 ms)\n",
                taskBar ? "Wine's Shell_TrayWnd" : "no task bar found", lockTrials, lock.Min, lock.Median, lock.Max);
    std::fflush(stdout);

    if (!IdleLock(program, argv[3])) {
        std::printf("the idle lock failed\n");
        return 1;
    }

    if (!program.Lock()) return 1;
    std::vector<double> delays = HideTrials(hideTrials);
    if (!program.Unlock("Secret") || delays.empty()) return 1;
    Figures hide = FiguresOf(delays);
    std::printf("Task Manager window of another program shown during a lock until hidden again, %zu trials: "
                "p50 %.1f ms, p99 %.1f ms, max %.1f ms (target p99 <= 50 ms)\n",
                delays.size(), hide.Median, hide.P99, hide.Max);
    return delays.size() == static_cast<size_t>(hideTrials) ? 0 : 1;
}
