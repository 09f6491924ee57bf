// While hvxw.exe's lock is up, the rest of the system stays out of reach: the task-switching
// keys reach no other program, the Task Manager and the task bar are hidden until the
// unlock, and no other program's window stays in front of the lock window.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "LockScreenFixture.h"
#include "KeyRecorder.h"
#include "tools/lock_Tools.h"

using namespace harness;
using namespace halvex_test;
using namespace lock_tools;

using key_recorder::CountOf;
using key_recorder::KeyEvent;
using key_recorder::KeyRecorder;

namespace {

// Another program's window in front of the lock is covered again within this, as seen on screen.
constexpr Timeout CoveredAgain{1000};
// The lock hides a shell window at its next pass, every 10 ms; the rest is room for a busy machine.
constexpr Timeout HiddenAtNextPass{300};
constexpr Timeout AnswerTimeout{5000};
// The lock reads every window's title again about every 1.5 s.
constexpr Timeout RenamedWindowHidden{5000};

// --- Other programs' windows ---------------------------------------------------------------------

class Tool {
public:
    Tool(const AppDir& dir, const char* exe, const char* windowClass)
        : Program(StartInAppDir(dir, exe))
    {
        if (Program.IsStarted()) Window = WaitForTopWindow(WindowQuery::OfClass(windowClass).InProcess(Program.Id()));
    }
    HWND Handle() const { return Window; }
    DWORD Id() const { return Program.Id(); }
    bool IsReady() const { return Window != nullptr; }
    // nullopt when the tool did not answer.
    std::optional<LRESULT> Send(HWND window, UINT command, WPARAM wParam = 0) const
    {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(window, command, wParam, 0, SMTO_NORMAL, AnswerTimeout.count(), &answer))
            return std::nullopt;
        return static_cast<LRESULT>(answer);
    }
    std::optional<LRESULT> Send(UINT command, WPARAM wParam = 0) const { return Send(Window, command, wParam); }

private:
    Process Program;
    HWND Window = nullptr;
};

POINT CentreOf(const RECT& rect)
{
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool WaitForScreenColor(POINT point, COLORREF color, Timeout timeout, const std::string& awaited)
{
    COLORREF seen = CLR_INVALID;
    bool shown = PollUntil([&] { return (seen = ScreenColorAt(point)) == color; }, timeout);
    if (!shown) ADD_FAILURE() << "waited for " << awaited << " at " << point.x << "," << point.y << ": the screen shows "
                              << ColorText(seen) << " instead of " << ColorText(color);
    return shown;
}

bool IsTopMost(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

struct Chord {
    const char* Name;
    std::vector<WORD> Held;
    WORD Key;
    bool Swallowed;
};

const Chord Chords[] = {
    {"Alt+Tab", {VK_MENU}, VK_TAB, true},
    {"Alt+Esc", {VK_MENU}, VK_ESCAPE, true},
    {"Ctrl+Esc", {VK_CONTROL}, VK_ESCAPE, true},
    {"Ctrl+Shift+Esc", {VK_CONTROL, VK_SHIFT}, VK_ESCAPE, true},
    {"Tab", {}, VK_TAB, false},
    {"Esc", {}, VK_ESCAPE, false},
    {"Shift+Esc", {VK_SHIFT}, VK_ESCAPE, false},
    {"Ctrl+Tab", {VK_CONTROL}, VK_TAB, false},
    {"A", {}, 'A', false},
    {"F5", {}, VK_F5, false},
};

// A swallowed chord's key reaches no hook after the lock's, neither down nor up; any other
// key arrives both times.
void ExpectChordsArrive(KeyRecorder& recorder, const std::function<void()>& betweenEvents)
{
    for (const Chord& chord : Chords) {
        SCOPED_TRACE(chord.Name);
        std::vector<WORD> keys = chord.Held;
        keys.push_back(chord.Key);
        std::vector<KeyEvent> arrived = recorder.Press(keys, betweenEvents);
        EXPECT_EQ(CountOf(arrived, chord.Key), chord.Swallowed ? 0 : 2) << "key down and up events that arrived";
    }
}

}  // namespace

// Each key event is read by the lock before the next comes, as when a person presses them.
TEST(LockScreenLockdown, TaskSwitchingKeysReachNoOtherProgram)
{
    KeyRecorder recorder;
    ASSERT_TRUE(recorder.IsInstalled());
    LockScreenProgram program;
    ASSERT_TRUE(program.Lock());
    ExpectChordsArrive(recorder, [&] { program.WaitForPass(); });
    EXPECT_EQ(GetForegroundWindow(), program.Window().Form);
    EXPECT_TRUE(program.IsLocked());
    EXPECT_TRUE(program.Unlock("Secret"));
    // Once unlocked nothing is swallowed.
    EXPECT_EQ(CountOf(recorder.Press({VK_MENU, VK_TAB}), VK_TAB), 2);
}

// All events of a chord injected in one call, faster than the lock reads its messages.
TEST(LockScreenInjectedChords, TaskSwitchingKeysReachNoOtherProgram)
{
    KeyRecorder recorder;
    ASSERT_TRUE(recorder.IsInstalled());
    LockScreenProgram program;
    ASSERT_TRUE(program.Lock());
    ExpectChordsArrive(recorder, nullptr);
    EXPECT_TRUE(program.Unlock("Secret"));
}

TEST(LockScreenLockdown, TaskManagersHiddenAtOnceAndShownMinimisedAfter)
{
    LockScreenProgram program;
    Tool taskManagers(program.Dir(), TaskManagerExe, TaskManagerClass);
    ASSERT_TRUE(taskManagers.IsReady());
    HWND classic = FindTopWindow(WindowQuery::Titled(ClassicTaskManagerTitle).InProcess(taskManagers.Id()));
    HWND later = taskManagers.Handle();
    ASSERT_NE(classic, nullptr);
    ASSERT_TRUE(program.Lock());

    ASSERT_EQ(taskManagers.Send(ShowTaskManagersCommand), std::optional<LRESULT>(1));
    for (HWND window : {classic, later}) {
        SCOPED_TRACE(TextOf(window));
        LRESULT delay = -1;
        EXPECT_TRUE(WaitUntil([&] { return (delay = taskManagers.Send(window, HideDelayQuery).value_or(-1)) >= 0; },
                              DefaultTimeout, "the Task Manager hidden"));
        EXPECT_LE(delay, HiddenAtNextPass.count() * 1000) << "microseconds from showing to hiding";
    }

    ASSERT_TRUE(program.Unlock("Secret"));
    for (HWND window : {classic, later}) {
        SCOPED_TRACE(TextOf(window));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) && IsIconic(window); }, DefaultTimeout,
                              "the Task Manager shown minimised"));
    }
}

// The lock reads the titles of windows it has seen before only now and then: a window renamed
// to the Task Manager's title during the lock is hidden all the same, a little later.
TEST(LockScreenLockdown, WindowRenamedToTheTaskManagerIsHidden)
{
    LockScreenProgram program;
    ASSERT_TRUE(program.Lock());
    UniqueWindow window(CreateWindowExA(0, "STATIC", "Notes", WS_OVERLAPPEDWINDOW, 40, 40, 240, 120, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(window);
    ShowWindow(window.Get(), SW_SHOWNOACTIVATE);
    ASSERT_TRUE(program.WaitForPass() && program.WaitForPass());
    ASSERT_TRUE(IsWindowVisible(window.Get())) << "an ordinary window is left alone";

    ASSERT_TRUE(SetWindowTextA(window.Get(), ClassicTaskManagerTitle));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window.Get()); }, RenamedWindowHidden,
                          "the renamed window hidden"));
    ASSERT_TRUE(program.Unlock("Secret"));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window.Get()); }, DefaultTimeout, "the window shown again"));
}

TEST(LockScreenLockdown, TaskBarHiddenWhileLocked)
{
    HWND taskBar = FindWindowA(TaskBarClass, nullptr);
    ASSERT_NE(taskBar, nullptr) << "Wine's explorer has a task bar window";
    // Wine's explorer hides its task bar while no tray icon exists: the program's icon first.
    LockScreenProgram program;
    ASSERT_TRUE(WaitUntil([&] { return HasTrayIcon(program.Program().Window()); }, DefaultTimeout, "the tray icon"));
    // Shown before, so that the lock has something to hide.
    ShowWindowAsync(taskBar, SW_SHOWNA);
    ASSERT_TRUE(WaitForVisible(taskBar));
    ASSERT_TRUE(program.Lock());
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(taskBar); }, WithinPasses, "the task bar hidden"));
    ShowWindowAsync(taskBar, SW_SHOWNA);
    ASSERT_TRUE(program.WaitForPass());
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(taskBar); }, WithinPasses, "the task bar hidden again"));
    ASSERT_TRUE(program.Unlock("Secret"));
    EXPECT_TRUE(WaitForVisible(taskBar));
}

TEST(LockScreenLockdown, AnotherProgramsWindowIsCoveredAgain)
{
    struct Intrusion {
        const char* Name;
        UINT Command;
        bool PassesTheLockWindow;   // the command's wParam is the lock window
    };
    const Intrusion intrusions[] = {
        {"taking the foreground", TakeForegroundCommand, false},
        {"clearing the lock window's top-most state", ClearTopMostCommand, true},
        {"becoming top-most", BecomeTopMostCommand, false},
    };
    for (const Intrusion& intrusion : intrusions) {
        SCOPED_TRACE(intrusion.Name);
        LockScreenProgram program;
        Tool intruder(program.Dir(), IntruderExe, IntruderClass);
        ASSERT_TRUE(intruder.IsReady());
        POINT inside = CentreOf(IntruderBounds);
        // The pixel shows the intruder while nothing covers it, so the checks below can fail.
        ASSERT_TRUE(WaitForScreenColor(inside, IntruderColor, DefaultTimeout, "the intruder before the lock"));
        ASSERT_TRUE(program.Lock());
        HWND form = program.Window().Form;
        ASSERT_TRUE(WaitForScreenColor(inside, LockBlack, CoveredAgain, "the lock window over the intruder"));

        WPARAM target = intrusion.PassesTheLockWindow ? reinterpret_cast<WPARAM>(form) : 0;
        EXPECT_EQ(intruder.Send(intrusion.Command, target), std::optional<LRESULT>(1)) << "the intrusion failed";
        EXPECT_TRUE(WaitForScreenColor(inside, LockBlack, CoveredAgain, "the lock window over the intruder again"));
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == form && IsTopMost(form); }, CoveredAgain,
                              "the lock window top-most in the foreground"));
        EXPECT_TRUE(program.Unlock("Secret"));
    }
}

// A program that takes the foreground and a top-most place every tenth of a second: the lock
// is back in front at nine looks of ten at least.
TEST(LockScreenLockdown, AnIntruderEveryTenthOfASecondIsCoveredAtNineLooksOfTen)
{
    LockScreenProgram program;
    Tool intruder(program.Dir(), IntruderExe, IntruderClass);
    ASSERT_TRUE(intruder.IsReady());
    POINT inside = CentreOf(IntruderBounds);
    ASSERT_TRUE(WaitForScreenColor(inside, IntruderColor, DefaultTimeout, "the intruder before the lock"));
    ASSERT_TRUE(program.Lock());
    HWND form = program.Window().Form;

    int looks = 0, inFront = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < end) {
        intruder.Send(TakeForegroundCommand);
        intruder.Send(BecomeTopMostCommand);
        for (int look = 0; look < 4; ++look) {
            PumpMessagesFor(Timeout{25});
            ++looks;
            inFront += GetForegroundWindow() == form && ScreenColorAt(inside) == LockBlack;
        }
    }
    EXPECT_GE(inFront * 10, looks * 9) << inFront << " of " << looks << " looks";
    EXPECT_TRUE(program.Unlock("Secret"));
}
