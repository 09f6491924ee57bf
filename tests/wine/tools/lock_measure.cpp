// Measures hvxw.exe's lock for scripts/measure-lock.sh and prints the figures: the time
// from the lock request to the lock window in front with the task bar hidden (warm
// trials), and the time another program's Task Manager window stays visible during a lock
// before the lock hides it. In between it keeps one lock up, idle, while the script reads
// the program's processor time from the host: it writes <folder>\idle.want and waits for
// <folder>\idle.done; then the same with a scrolling message (scroll.want, scroll.done). Last, the guessing rate of an automated loop that sends wrong
// passwords to a lock as fast as it answers, with logging on.
//
// lock_measure.exe <lock trials> <hide trials> <folder> [<guessing seconds>]
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../LockScreenFixture.h"
#include "../PasswordGuessing.h"

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
    program.PostRequest(LockRequest);
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

// phase names the handshake files: <phase>.want and <phase>.done.
bool IdleLock(LockScreenProgram& program, const std::string& folder, const std::string& phase)
{
    if (!program.Lock()) return false;
    std::string want = JoinPath(folder, phase + ".want");
    std::string done = JoinPath(folder, phase + ".done");
    if (FILE* file = std::fopen(want.c_str(), "w")) std::fclose(file);
    bool answered = WaitForFileQuietly(done, IdleHandshakeTimeout);
    return program.Unlock("Secret") && answered;
}

// Entries sent as fast as the lock answers them, each waited for. A try is an entry the lock
// judged, not one it refused unseen during a wait: the prompt tells them apart, read before
// and after each entry (no wait before it, none after it, or a new, longer one).
bool MeasureGuessing(int seconds)
{
    LockScreenProgram program(LoggingLock());
    if (!program.Lock()) return false;
    const LockWindow& lock = program.Window();
    int sent = 0, tried = 0;
    Stopwatch watch;
    while (watch.Milliseconds() < seconds * 1000.0) {
        int before = WaitSecondsShown(program.Prompt());
        if (!SendEntry(lock, "guess" + std::to_string(sent))) return false;
        ++sent;
        int after = WaitSecondsShown(program.Prompt());
        if (before == 0 || after == 0 || after > before) ++tried;
    }
    double elapsed = watch.Milliseconds() / 1000.0;
    int denied = LogLinesOf(program.Dir(), AccessDenied);
    std::printf("the guessing rate of an automated loop over %d s: %.2f tries a second (%d passwords tried of %d "
                "entries sent, %.0f an hour at this rate; target <= 2.8 a second)\n",
                seconds, tried / elapsed, tried, sent, tried / elapsed * 3600);
    std::printf("entries refused, each logged: %d \"Access Denied\" lines, %.1f a second\n", denied,
                denied / elapsed);
    return denied == sent && program.IsLocked();
}

// The lock's timings with one program, which has ended when it returns.
bool MeasureLocking(int lockTrials, int hideTrials, const std::string& folder)
{
    LockScreenProgram program;
    if (!program.IsStarted()) return false;
    HWND taskBar = FindWindowA(TaskBarClass, nullptr);
    if (taskBar) ShowWindowAsync(taskBar, SW_SHOWNA);

    std::vector<double> lockTimes;
    LockTrial(program.Program(), taskBar);   // the first lock warms the caches and is not counted
    for (int i = 0; i < lockTrials; ++i) {
        double time = LockTrial(program.Program(), taskBar);
        if (time < 0) {
            std::printf("lock trial %d failed\n", i + 1);
            return false;
        }
        lockTimes.push_back(time);
    }
    Figures lock = FiguresOf(lockTimes);
    std::printf("lock request to the lock window in front, task bar hidden (%s), warm, %d trials: "
                "min %.1f ms, median %.1f ms, max %.1f ms (target < 100 ms)\n",
                taskBar ? "Wine's Shell_TrayWnd" : "no task bar found", lockTrials, lock.Min, lock.Median, lock.Max);
    std::fflush(stdout);

    if (!IdleLock(program, folder, "idle")) {
        std::printf("the idle lock failed\n");
        return false;
    }

    if (!program.Lock()) return false;
    std::vector<double> delays = HideTrials(hideTrials);
    if (!program.Unlock("Secret") || delays.empty()) return false;
    Figures hide = FiguresOf(delays);
    std::printf("Task Manager window of another program shown during a lock until hidden again, %zu trials: "
                "p50 %.1f ms, p99 %.1f ms, max %.1f ms (target p99 <= 50 ms)\n",
                delays.size(), hide.Median, hide.P99, hide.Max);
    std::fflush(stdout);
    return delays.size() == static_cast<size_t>(hideTrials);
}

// A lock with a scrolling message wakes to move it; a program of its own, ended when it returns.
bool ScrollingIdleLock(const std::string& folder)
{
    LockSettings settings;
    settings.Text = {"This computer is locked.", "Ask at the front desk for the password."};
    LockScreenProgram program(settings);
    return IdleLock(program, folder, "scroll");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) return 2;
    int lockTrials = std::max(1, std::atoi(argv[1]));
    int hideTrials = std::max(1, std::atoi(argv[2]));
    int guessingSeconds = argc == 5 ? std::max(1, std::atoi(argv[4])) : 60;
    if (!MeasureLocking(lockTrials, hideTrials, argv[3])) return 1;
    if (!ScrollingIdleLock(argv[3])) {
        std::printf("the idle lock with a scrolling message failed\n");
        return 1;
    }
    // A program of its own, with logging on, left locked in a wait and ended when it returns.
    if (!MeasureGuessing(guessingSeconds)) {
        std::printf("the guessing measurement failed\n");
        return 1;
    }
    return 0;
}
