// The lockdown while the workstation is locked, under Wine: which keys the keyboard hook
// swallows, the shell windows hidden and shown, the covers of other monitors, and the
// conversion the clock guard makes (the clock itself is never set).
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "FrontKeyWatcher.h"
#include "harness/Harness.h"
#include "KeyRecorder.h"
#include "lockscreen/win32/LocalClock.h"
#include "lockscreen/win32/MonitorCoverWindows.h"
#include "lockscreen/win32/ShellWindows.h"
#include "platform/GdiScopes.h"
#include "platform/UniqueHandle.h"
#include "tools/lockdown_Tools.h"

// For failure messages; found by argument-dependent lookup, so beside TRect.
static void PrintTo(const TRect& r, std::ostream* out)
{
    *out << "(" << r.Left << "," << r.Top << ")-(" << r.Right << "," << r.Bottom << ")";
}

using key_recorder::FrontKeyWatcher;
using key_recorder::GenericKey;
using key_recorder::IsHeldForTheSystem;
using key_recorder::KeyEvent;
using key_recorder::KeyInput;
using key_recorder::KeyRecorder;
using key_recorder::ReleaseAtExit;

namespace {

using harness::Timeout;
using harness::WindowQuery;

constexpr Timeout AnswerTimeout{5000};
std::string ToolPath(const char* exeName) { return harness::JoinPath(harness::ExeDir(), exeName); }

// --- Keys ---------------------------------------------------------------------------------

struct Arrival {
    bool Down = false;
    bool Up = false;
};

Arrival ArrivalOf(const std::vector<KeyEvent>& events, WORD key)
{
    Arrival arrival;
    for (const KeyEvent& event : events) {
        if (GenericKey(event.VirtualKey) != key) continue;
        bool up = event.Message == WM_KEYUP || event.Message == WM_SYSKEYUP;
        (up ? arrival.Up : arrival.Down) = true;
    }
    return arrival;
}

struct KeyCase {
    const char* Name;
    std::vector<WORD> HeldKeys;
    WORD Key;
    bool Swallowed;
};

const std::vector<KeyCase> KeyCases = {
    {"Alt+Tab", {VK_MENU}, VK_TAB, true},
    {"Shift+Alt+Tab", {VK_SHIFT, VK_MENU}, VK_TAB, true},
    {"Alt+Esc", {VK_MENU}, VK_ESCAPE, true},
    {"Ctrl+Esc", {VK_CONTROL}, VK_ESCAPE, true},
    {"Ctrl+Shift+Esc", {VK_CONTROL, VK_SHIFT}, VK_ESCAPE, true},
    {"Ctrl+Alt+Esc", {VK_CONTROL, VK_MENU}, VK_ESCAPE, true},
    {"Tab", {}, VK_TAB, false},
    {"Esc", {}, VK_ESCAPE, false},
    {"A", {}, 'A', false},
    {"Ctrl+Tab", {VK_CONTROL}, VK_TAB, false},
    {"Shift+Esc", {VK_SHIFT}, VK_ESCAPE, false},
    {"Alt+F4", {VK_MENU}, VK_F4, false},
    {"left Windows key", {}, VK_LWIN, true},
    {"right Windows key", {}, VK_RWIN, true},
    {"Windows+Tab", {VK_LWIN}, VK_TAB, true},
    {"Windows+R", {VK_RWIN}, 'R', true},
    {"Ctrl+Windows+D", {VK_CONTROL, VK_LWIN}, 'D', true},
    {"Application key", {}, VK_APPS, true},
    {"R", {}, 'R', false},
};

bool IsWindowsKey(WORD key) { return key == VK_LWIN || key == VK_RWIN; }

// Presses each case and checks that its key arrives, both down and up, exactly when the
// lock's hook is expected to let it through; keys held with it always arrive. The key-up
// of a Windows key always arrives, so that no program believes it held.
void ExpectKeys(KeyRecorder& recorder, const std::vector<KeyCase>& cases, bool lockHookActive)
{
    for (const KeyCase& keyCase : cases) {
        SCOPED_TRACE(keyCase.Name);
        std::vector<WORD> keys = keyCase.HeldKeys;
        keys.push_back(keyCase.Key);
        std::vector<KeyEvent> arrived = recorder.Press(keys);
        bool expectArrival = !(lockHookActive && keyCase.Swallowed);
        Arrival key = ArrivalOf(arrived, keyCase.Key);
        EXPECT_EQ(key.Down, expectArrival) << "key down";
        EXPECT_EQ(key.Up, expectArrival || IsWindowsKey(keyCase.Key)) << "key up";
        for (WORD held : keyCase.HeldKeys) {
            Arrival heldArrival = ArrivalOf(arrived, held);
            EXPECT_EQ(heldArrival.Down, !(lockHookActive && IsWindowsKey(held))) << "held key 0x" << std::hex << held;
            EXPECT_TRUE(heldArrival.Up) << "held key 0x" << std::hex << held;
        }
    }
}

const KeyCase& CaseNamed(const char* name)
{
    for (const KeyCase& keyCase : KeyCases) {
        if (std::strcmp(keyCase.Name, name) == 0) return keyCase;
    }
    throw std::logic_error(std::string("no key case ") + name);
}

// lockdown_hook.exe: the lock's hook on a thread that keeps dispatching messages.
class HookTool {
public:
    HookTool() : Program(harness::Process::Start(ToolPath(lockdown::HookToolExe), "", harness::ExeDir()))
    {
        if (Program.IsStarted())
            Window = harness::WaitForTopWindow(WindowQuery::OfClass(lockdown::HookToolClass).InProcess(Program.Id()));
    }
    ~HookTool()
    {
        if (Window && Program.IsRunning()) {
            PostMessageA(Window, WM_CLOSE, 0, 0);
            Program.WaitForExit();
        }
    }
    HookTool(const HookTool&) = delete;
    HookTool& operator=(const HookTool&) = delete;

    bool IsReady() const { return Window != nullptr; }
    // nullopt when the tool did not answer.
    std::optional<bool> Install() const { return Ask(lockdown::InstallHookMessage); }
    std::optional<bool> Remove() const { return Ask(lockdown::RemoveHookMessage); }
    std::optional<bool> Reinstall() const { return Ask(lockdown::ReinstallHookMessage); }

private:
    std::optional<bool> Ask(UINT message) const
    {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(Window, message, 0, 0, SMTO_NORMAL, AnswerTimeout.count(), &answer))
            return std::nullopt;
        return answer != 0;
    }

    harness::Process Program;
    HWND Window = nullptr;
};

// Makes one program see Windows 98 while it lives, as Wine allows per program name.
class Windows98For {
public:
    explicit Windows98For(const std::string& exeName) : KeyPath(std::string(AppDefaultsKey) + "\\" + exeName)
    {
        HKEY raw = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw,
                            nullptr) != ERROR_SUCCESS)
            return;
        UniqueKey key(raw);
        Set = RegSetValueExA(key.Get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(Windows98),
                             sizeof Windows98) == ERROR_SUCCESS;
    }
    ~Windows98For() { RegDeleteKeyA(HKEY_CURRENT_USER, KeyPath.c_str()); }
    Windows98For(const Windows98For&) = delete;
    Windows98For& operator=(const Windows98For&) = delete;

    bool IsSet() const { return Set; }

private:
    static constexpr char AppDefaultsKey[] = "Software\\Wine\\AppDefaults";
    static constexpr char Windows98[] = "win98";
    std::string KeyPath;
    bool Set = false;
};

TEST(LockdownKeyboardHook, SwallowsTheTaskSwitchingKeysOnly)
{
    KeyRecorder recorder;
    ASSERT_TRUE(recorder.IsInstalled()) << harness::DescribeLastError();
    HookTool tool;
    ASSERT_TRUE(tool.IsReady());
    ASSERT_EQ(tool.Install(), std::optional<bool>(true));
    ExpectKeys(recorder, KeyCases, true);
}

TEST(LockdownKeyboardHook, EverythingPassesOnceRemoved)
{
    KeyRecorder recorder;
    ASSERT_TRUE(recorder.IsInstalled()) << harness::DescribeLastError();
    HookTool tool;
    ASSERT_TRUE(tool.IsReady());
    ASSERT_EQ(tool.Install(), std::optional<bool>(true));
    ExpectKeys(recorder, {CaseNamed("Alt+Tab")}, true);
    EXPECT_EQ(tool.Remove(), std::optional<bool>(true));
    ExpectKeys(recorder, KeyCases, false);
    EXPECT_EQ(tool.Remove(), std::optional<bool>(false)) << "removing with none installed";
}

TEST(LockdownKeyboardHook, SecondInstallAddsNoHook)
{
    KeyRecorder recorder;
    ASSERT_TRUE(recorder.IsInstalled()) << harness::DescribeLastError();
    HookTool tool;
    ASSERT_TRUE(tool.IsReady());
    ASSERT_EQ(tool.Install(), std::optional<bool>(true));
    EXPECT_EQ(tool.Install(), std::optional<bool>(false));
    EXPECT_EQ(tool.Remove(), std::optional<bool>(true));
    // A second hook would still be swallowing here.
    ExpectKeys(recorder, {CaseNamed("Alt+Tab"), CaseNamed("Ctrl+Esc")}, false);
    EXPECT_EQ(tool.Remove(), std::optional<bool>(false));
}

// The hook never saw this key go down; only the system's key state tells that it is held.
TEST(LockdownKeyboardHook, WindowsKeyHeldBeforeTheHookHoldsKeysBack)
{
    // Declared first, so that it lets the key go once nothing swallows it any more.
    ReleaseAtExit release(VK_RWIN);
    KeyRecorder recorder;
    ASSERT_TRUE(recorder.IsInstalled()) << harness::DescribeLastError();
    HookTool tool;
    ASSERT_TRUE(tool.IsReady());
    ASSERT_TRUE(ArrivalOf(recorder.Send({KeyInput(VK_RWIN, false)}), VK_RWIN).Down);
    ASSERT_TRUE(harness::WaitUntil([] { return IsHeldForTheSystem(VK_RWIN); }, AnswerTimeout, "the key held"));
    ASSERT_EQ(tool.Install(), std::optional<bool>(true));

    // Let go in the same breath: while it is held, the recorder's marker key is held back too.
    std::vector<KeyEvent> arrived = recorder.Send({KeyInput('R', false), KeyInput('R', true), KeyInput(VK_RWIN, true)});
    Arrival r = ArrivalOf(arrived, 'R');
    EXPECT_FALSE(r.Down || r.Up) << "Windows+R with the Windows key held since before the hook";
    EXPECT_TRUE(ArrivalOf(arrived, VK_RWIN).Up);
    EXPECT_TRUE(harness::WaitUntil([] { return !IsHeldForTheSystem(VK_RWIN); }, AnswerTimeout, "the key let go"));
    r = ArrivalOf(recorder.Press({'R'}), 'R');
    EXPECT_TRUE(r.Down && r.Up) << "R once the Windows key is let go";
    EXPECT_EQ(tool.Remove(), std::optional<bool>(true));
}

// A watcher installed after the lock's hook is called before it, until the hook is renewed.
TEST(LockdownKeyboardHook, ReinstallPutsOneFreshHookInFront)
{
    KeyRecorder recorder;
    ASSERT_TRUE(recorder.IsInstalled()) << harness::DescribeLastError();
    HookTool tool;
    ASSERT_TRUE(tool.IsReady());
    ASSERT_EQ(tool.Install(), std::optional<bool>(true));
    FrontKeyWatcher watcher;
    ASSERT_TRUE(watcher.IsInstalled()) << harness::DescribeLastError();
    ExpectKeys(recorder, {CaseNamed("Application key")}, true);
    ASSERT_TRUE(watcher.SawDown(VK_APPS)) << "the watcher is in front of the lock's hook";

    EXPECT_EQ(tool.Reinstall(), std::optional<bool>(true));
    watcher.Forget();
    ExpectKeys(recorder, KeyCases, true);
    EXPECT_FALSE(watcher.SawDown(VK_APPS)) << "the fresh hook is in front of the watcher";
    EXPECT_TRUE(watcher.SawDown('A')) << "keys the hook lets through reach the watcher";

    EXPECT_EQ(tool.Remove(), std::optional<bool>(true));
    // The hook that was renewed would still be swallowing here.
    ExpectKeys(recorder, KeyCases, false);
    EXPECT_EQ(tool.Remove(), std::optional<bool>(false));
}

// A lock whose hook the system refused at first gets one at the next renewal.
TEST(LockdownKeyboardHook, ReinstallWithoutAHookInstallsOne)
{
    KeyRecorder recorder;
    ASSERT_TRUE(recorder.IsInstalled()) << harness::DescribeLastError();
    HookTool tool;
    ASSERT_TRUE(tool.IsReady());
    EXPECT_EQ(tool.Reinstall(), std::optional<bool>(true));
    ExpectKeys(recorder, {CaseNamed("Windows+R"), CaseNamed("R")}, true);
    EXPECT_EQ(tool.Remove(), std::optional<bool>(true));
    ExpectKeys(recorder, {CaseNamed("Windows+R")}, false);
}

TEST(LockdownKeyboardHook, NoHookOnWindows98)
{
    Windows98For windows98(lockdown::HookToolExe);
    ASSERT_TRUE(windows98.IsSet());
    KeyRecorder recorder;
    ASSERT_TRUE(recorder.IsInstalled()) << harness::DescribeLastError();
    HookTool tool;
    ASSERT_TRUE(tool.IsReady());
    EXPECT_EQ(tool.Install(), std::optional<bool>(false));
    EXPECT_EQ(tool.Reinstall(), std::optional<bool>(false));
    ExpectKeys(recorder, {CaseNamed("Alt+Tab"), CaseNamed("Ctrl+Esc"), CaseNamed("Windows+R")}, false);
    EXPECT_EQ(tool.Remove(), std::optional<bool>(false));
}

// --- Shell windows ---------------------------------------------------------------------------

constexpr char ClassicTaskManagerTitle[] = "Windows Task Manager";
constexpr char TaskManagerClass[] = "TaskManagerWindow";
constexpr char TaskBarClass[] = "Shell_TrayWnd";
constexpr char DesktopClass[] = "Progman";

class NamedEvent {
public:
    explicit NamedEvent(const std::string& name) : Event(CreateEventA(nullptr, TRUE, FALSE, name.c_str())) {}
    bool IsCreated() const { return static_cast<bool>(Event); }
    bool IsSet() const { return WaitForSingleObject(Event.Get(), 0) == WAIT_OBJECT_0; }
    void Set() const { SetEvent(Event.Get()); }

private:
    UniqueKernelHandle Event;
};

// Lets the hung tool go however the test ends.
class ReleaseOnExit {
public:
    explicit ReleaseOnExit(const NamedEvent& release) : Release(release) {}
    ~ReleaseOnExit() { Release.Set(); }
    ReleaseOnExit(const ReleaseOnExit&) = delete;
    ReleaseOnExit& operator=(const ReleaseOnExit&) = delete;

private:
    const NamedEvent& Release;
};

// By the title the system keeps: asking the hung window for its text would hang the test.
HWND FindTitledWindowOf(const char* title, DWORD processId)
{
    HWND window = FindWindowA(nullptr, title);
    return window && harness::ProcessOf(window) == processId ? window : nullptr;
}

TEST(LockdownShellWindows, HungTaskManagerStallsNeitherHidingNorTheHook)
{
    constexpr int Calls = 20;
    constexpr auto LongestCall = std::chrono::milliseconds(100);
    ASSERT_EQ(FindWindowA(nullptr, ClassicTaskManagerTitle), nullptr) << "a Task Manager window left over";

    KeyRecorder recorder;
    ASSERT_TRUE(recorder.IsInstalled()) << harness::DescribeLastError();
    HookTool hookTool;
    ASSERT_TRUE(hookTool.IsReady());
    ASSERT_EQ(hookTool.Install(), std::optional<bool>(true));

    std::string eventName = "HalvexLockdownHung." + std::to_string(GetCurrentProcessId());
    NamedEvent hanging(eventName + lockdown::HangingSuffix);
    NamedEvent release(eventName + lockdown::ReleaseSuffix);
    ASSERT_TRUE(hanging.IsCreated() && release.IsCreated()) << harness::DescribeLastError();
    harness::Process hung = harness::Process::Start(ToolPath(lockdown::HungToolExe), eventName, harness::ExeDir());
    ReleaseOnExit releaseOnExit(release);
    ASSERT_TRUE(hung.IsStarted());
    ASSERT_TRUE(harness::WaitUntil([&] { return hanging.IsSet(); }, harness::DefaultTimeout, "the window to hang"));
    HWND taskManager = FindTitledWindowOf(ClassicTaskManagerTitle, hung.Id());
    ASSERT_NE(taskManager, nullptr);
    ASSERT_TRUE(IsWindowVisible(taskManager));

    for (int call = 0; call < Calls; ++call) {
        auto start = std::chrono::steady_clock::now();
        HideShellWindows();
        auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        EXPECT_LT(took.count(), LongestCall.count()) << "milliseconds taken by call " << call;
    }
    // Still shown: its program really has not looked at its messages.
    EXPECT_TRUE(IsWindowVisible(taskManager));
    ExpectKeys(recorder, {CaseNamed("Alt+Tab")}, true);

    release.Set();
    EXPECT_TRUE(harness::WaitForHidden(taskManager));
    PostMessageA(taskManager, WM_CLOSE, 0, 0);
    EXPECT_TRUE(hung.WaitForExit());
}

enum class Restored { Shown, Minimized, Untouched };

struct ShellWindowCase {
    const char* Role;
    const char* ClassName;
    const char* Title;
    bool Hidden;
    Restored After;
};

const std::vector<ShellWindowCase> ShellWindowCases = {
    {"desktop", DesktopClass, "Program Manager", true, Restored::Shown},
    {"Task Manager found by its title", "LockdownTaskManager", ClassicTaskManagerTitle, true, Restored::Minimized},
    {"Task Manager found by its class", TaskManagerClass, "Task Manager", true, Restored::Minimized},
    {"second window of the Task Manager's class", TaskManagerClass, "Task Manager 2", true, Restored::Minimized},
    {"Task Manager under a translated title", "LockdownTaskManager", "Windows Task-Manager", false,
     Restored::Untouched},
};
const ShellWindowCase TaskBarCase = {"task bar", TaskBarClass, "", true, Restored::Shown};

// Wine's own task bar, hidden in its virtual desktop, is used as the task bar when it exists;
// it gets its visibility back at the end.
class TaskBarKept {
public:
    explicit TaskBarKept(HWND taskBar) : TaskBar(taskBar), WasVisible(taskBar && IsWindowVisible(taskBar)) {}
    ~TaskBarKept()
    {
        if (!TaskBar || !IsWindow(TaskBar)) return;
        ShowWindowAsync(TaskBar, WasVisible ? SW_SHOWNA : SW_HIDE);
        harness::WaitUntil([this] { return (IsWindowVisible(TaskBar) != FALSE) == WasVisible; },
                           harness::DefaultTimeout, "the task bar's visibility back");
    }
    TaskBarKept(const TaskBarKept&) = delete;
    TaskBarKept& operator=(const TaskBarKept&) = delete;

private:
    HWND TaskBar;
    bool WasVisible;
};

std::string QuotedArgument(const ShellWindowCase& shellCase)
{
    return std::string("\"") + shellCase.ClassName + lockdown::ClassTitleSeparator + shellCase.Title + "\"";
}

bool IsShownAs(HWND window, Restored state)
{
    bool iconic = IsIconic(window) != FALSE;
    return IsWindowVisible(window) && (state == Restored::Minimized ? iconic : !iconic);
}

TEST(LockdownShellWindows, HiddenWhileLockedAndRestoredAfter)
{
    ASSERT_EQ(FindWindowA(DesktopClass, nullptr), nullptr) << "a desktop window already exists";
    ASSERT_EQ(FindWindowA(TaskManagerClass, nullptr), nullptr) << "a Task Manager window left over";
    ASSERT_EQ(FindWindowA(nullptr, ClassicTaskManagerTitle), nullptr) << "a Task Manager window left over";

    HWND systemTaskBar = FindWindowA(TaskBarClass, nullptr);
    TaskBarKept keptTaskBar(systemTaskBar);
    std::vector<ShellWindowCase> toolCases = ShellWindowCases;
    if (systemTaskBar) {
        ShowWindowAsync(systemTaskBar, SW_SHOWNA);
        ASSERT_TRUE(harness::WaitForVisible(systemTaskBar));
    } else {
        toolCases.push_back(TaskBarCase);
    }
    std::string arguments;
    for (const ShellWindowCase& shellCase : toolCases) arguments += QuotedArgument(shellCase) + " ";
    harness::Process shell = harness::Process::Start(ToolPath(lockdown::ShellToolExe), arguments, harness::ExeDir());
    ASSERT_TRUE(shell.IsStarted());

    struct Found {
        ShellWindowCase Case;
        HWND Window;
    };
    std::vector<Found> windows;
    for (const ShellWindowCase& shellCase : toolCases) {
        HWND window = harness::WaitForTopWindow(
            WindowQuery::OfClass(shellCase.ClassName).WithTitle(shellCase.Title).InProcess(shell.Id()));
        ASSERT_NE(window, nullptr) << shellCase.Role;
        windows.push_back({shellCase, window});
    }
    if (systemTaskBar) windows.push_back({TaskBarCase, systemTaskBar});
    for (const Found& found : windows) ASSERT_TRUE(harness::WaitForVisible(found.Window)) << found.Case.Role;
    HWND foreground = harness::WaitForTopWindow(WindowQuery::OfClass(lockdown::ForegroundClass).InProcess(shell.Id()));
    ASSERT_TRUE(harness::WaitUntil([&] { return GetForegroundWindow() == foreground; }, harness::DefaultTimeout,
                                   "the tool's window in the foreground"));

    HideShellWindows();
    for (const Found& found : windows) {
        SCOPED_TRACE(found.Case.Role);
        if (found.Case.Hidden) {
            EXPECT_TRUE(harness::WaitForHidden(found.Window));
        }
    }
    // The tool's thread has handled every hide by now: one left shown was not asked to hide.
    for (const Found& found : windows) {
        if (!found.Case.Hidden) {
            EXPECT_TRUE(IsWindowVisible(found.Window)) << found.Case.Role;
        }
    }

    RestoreShellWindows();
    for (const Found& found : windows) {
        SCOPED_TRACE(found.Case.Role);
        Restored state = found.Case.After == Restored::Untouched ? Restored::Shown : found.Case.After;
        EXPECT_TRUE(harness::WaitUntil([&] { return IsShownAs(found.Window, state); }, harness::DefaultTimeout,
                                       "the window restored"));
    }
    // The desktop and the task bar are shown with activation; the Task Manager never is.
    HWND nowForeground = GetForegroundWindow();
    for (const Found& found : windows) {
        if (found.Case.After == Restored::Minimized) {
            EXPECT_NE(nowForeground, found.Window) << found.Case.Role << " took the foreground";
        }
    }

    PostMessageA(foreground, WM_CLOSE, 0, 0);
    EXPECT_TRUE(shell.WaitForExit());
}

// --- Monitor covers --------------------------------------------------------------------------

constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);
constexpr char BackdropClass[] = "LockdownBackdrop";

POINT CenterOf(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

COLORREF ScreenPixel(POINT point)
{
    WindowDcScope screen(nullptr);
    return GetPixel(screen.Get(), point.x, point.y);
}

bool WaitForPixel(const TRect& area, COLORREF color, const std::string& what)
{
    POINT center = CenterOf(area);
    return harness::WaitUntil([&] { return ScreenPixel(center) == color; }, harness::DefaultTimeout,
                              what + " at " + std::to_string(center.x) + "," + std::to_string(center.y));
}

TRect WindowRectangle(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

std::string Describe(const TRect& r)
{
    std::ostringstream text;
    PrintTo(r, &text);
    return text.str();
}

bool IsTopMost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// Fake monitors inside the one Wine shows, so that the covers can be seen on it.
const TRect LockMonitor = {20, 20, 400, 300};
const TRect RightMonitor = {420, 20, 740, 260};
const TRect LowerMonitor = {60, 340, 360, 600};
const std::vector<TRect> Monitors = {RightMonitor, LockMonitor, LowerMonitor};
const std::vector<TRect> CoveredMonitors = {RightMonitor, LowerMonitor};

// A white window of this process under the fake monitors, holding the foreground: what
// is drawn there is either a cover or white.
class LockdownMonitorCovers : public testing::Test {
protected:
    void SetUp() override
    {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA backdropClass = {};
        if (!GetClassInfoA(instance, BackdropClass, &backdropClass)) {
            backdropClass.lpfnWndProc = DefWindowProcA;
            backdropClass.hInstance = instance;
            backdropClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
            backdropClass.lpszClassName = BackdropClass;
            ASSERT_NE(RegisterClassA(&backdropClass), 0) << harness::DescribeLastError();
        }
        Backdrop.Reset(CreateWindowExA(0, BackdropClass, "Backdrop", WS_POPUP | WS_VISIBLE, 0, 0, 760, 620, nullptr,
                                       nullptr, instance, nullptr));
        ASSERT_TRUE(Backdrop) << harness::DescribeLastError();
        SetForegroundWindow(Backdrop.Get());
        for (const TRect& monitor : Monitors) ASSERT_TRUE(WaitForPixel(monitor, White, "the white backdrop"));
    }

    // The cover of each covered monitor, in their order; nullptr where none is.
    static std::vector<HWND> CoversByMonitor(const TMonitorCovers& covers)
    {
        std::vector<HWND> found;
        for (const TRect& monitor : CoveredMonitors) {
            HWND match = nullptr;
            for (HWND cover : covers.Windows()) {
                if (WindowRectangle(cover) == monitor) match = cover;
            }
            found.push_back(match);
        }
        return found;
    }

    UniqueWindow Backdrop;
};

TEST(LockdownMonitorCoversSystem, OneMonitorGetsNoCover)
{
    std::vector<TRect> monitors = MonitorRectangles();
    ASSERT_EQ(monitors.size(), 1u) << "Wine under Xvfb shows one monitor";
    EXPECT_EQ(monitors[0], (TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
    const HMONITOR lockMonitors[] = {MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), nullptr};
    for (HMONITOR lockMonitor : lockMonitors) {
        TMonitorCovers covers(lockMonitor);
        EXPECT_TRUE(covers.Windows().empty()) << "lock monitor " << lockMonitor;
        EXPECT_EQ(harness::FindTopWindow(WindowQuery::OfClass(MonitorCoverClass).InProcess(GetCurrentProcessId())),
                  nullptr);
    }
}

TEST_F(LockdownMonitorCovers, BlackTopMostToolWindowsOverTheOtherMonitors)
{
    TMonitorCovers covers(Monitors, LockMonitor);
    ASSERT_EQ(covers.Windows().size(), CoveredMonitors.size());
    std::vector<HWND> byMonitor = CoversByMonitor(covers);
    for (size_t i = 0; i < CoveredMonitors.size(); ++i) {
        SCOPED_TRACE("monitor " + Describe(CoveredMonitors[i]));
        HWND cover = byMonitor[i];
        ASSERT_NE(cover, nullptr) << "no cover there";
        LONG style = GetWindowLongA(cover, GWL_STYLE);
        LONG exStyle = GetWindowLongA(cover, GWL_EXSTYLE);
        EXPECT_TRUE(IsWindowVisible(cover));
        EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_BORDER), WS_POPUP);
        EXPECT_EQ(exStyle & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST), WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
        EXPECT_TRUE(WaitForPixel(CoveredMonitors[i], Black, "the black cover"));
    }
    EXPECT_EQ(ScreenPixel(CenterOf(LockMonitor)), White) << "the lock window's monitor is covered";
    EXPECT_EQ(GetForegroundWindow(), Backdrop.Get()) << "a cover took the foreground";
}

struct RefusedMessage {
    const char* Name;
    UINT Message;
    WPARAM WParam;
    DWORD Answer;
};

const std::vector<RefusedMessage> RefusedMessages = {
    {"WM_CLOSE", WM_CLOSE, 0, 0},
    {"SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE, 0},
    {"SC_MINIMIZE", WM_SYSCOMMAND, SC_MINIMIZE, 0},
    {"SC_MAXIMIZE", WM_SYSCOMMAND, SC_MAXIMIZE, 0},
    {"WM_MOUSEACTIVATE", WM_MOUSEACTIVATE, 0, MA_NOACTIVATE},
};

TEST_F(LockdownMonitorCovers, StayWhateverAnotherProgramSends)
{
    TMonitorCovers covers(Monitors, LockMonitor);
    std::vector<HWND> byMonitor = CoversByMonitor(covers);
    for (size_t i = 0; i < CoveredMonitors.size(); ++i) {
        HWND cover = byMonitor[i];
        ASSERT_NE(cover, nullptr) << "no cover over " << Describe(CoveredMonitors[i]);
        for (const RefusedMessage& refused : RefusedMessages) {
            SCOPED_TRACE(std::string(refused.Name) + " to the cover over " + Describe(CoveredMonitors[i]));
            char arguments[64];
            std::snprintf(arguments, sizeof arguments, "%lx %u %lu", static_cast<unsigned long>(
                              reinterpret_cast<uintptr_t>(cover)), refused.Message,
                          static_cast<unsigned long>(refused.WParam));
            harness::Process sender =
                harness::Process::Start(ToolPath(lockdown::SendToolExe), arguments, harness::ExeDir());
            // The wait dispatches this thread's messages: the cover answers meanwhile.
            ASSERT_TRUE(sender.WaitForExit());
            EXPECT_EQ(sender.ExitCode(), std::optional<DWORD>(refused.Answer));
            EXPECT_TRUE(IsWindow(cover) && IsWindowVisible(cover));
            EXPECT_FALSE(IsIconic(cover));
            EXPECT_EQ(WindowRectangle(cover), CoveredMonitors[i]);
        }
    }
    EXPECT_EQ(GetForegroundWindow(), Backdrop.Get()) << "a cover took the foreground";
}

TEST_F(LockdownMonitorCovers, BackOnTopAfterAnotherWindowWentAbove)
{
    TMonitorCovers covers(Monitors, LockMonitor);
    ASSERT_EQ(covers.Windows().size(), CoveredMonitors.size());
    for (const TRect& monitor : CoveredMonitors) ASSERT_TRUE(WaitForPixel(monitor, Black, "the black cover"));
    // As another program may: clear their top-most state and raise a window above them.
    for (HWND cover : covers.Windows())
        SetWindowPos(cover, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(Backdrop.Get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(Backdrop.Get());
    for (const TRect& monitor : CoveredMonitors) ASSERT_TRUE(WaitForPixel(monitor, White, "the backdrop above"));

    covers.KeepOnTop();
    for (HWND cover : covers.Windows()) EXPECT_TRUE(IsTopMost(cover));
    for (const TRect& monitor : CoveredMonitors) EXPECT_TRUE(WaitForPixel(monitor, Black, "the cover back on top"));
    EXPECT_EQ(GetForegroundWindow(), Backdrop.Get()) << "a cover took the foreground";
}

TEST_F(LockdownMonitorCovers, GoneWithTheirOwner)
{
    std::vector<HWND> windows;
    {
        TMonitorCovers covers(Monitors, LockMonitor);
        windows = covers.Windows();
        ASSERT_EQ(windows.size(), CoveredMonitors.size());
        for (const TRect& monitor : CoveredMonitors) ASSERT_TRUE(WaitForPixel(monitor, Black, "the black cover"));
    }
    for (HWND window : windows) EXPECT_FALSE(IsWindow(window));
    for (const TRect& monitor : CoveredMonitors) EXPECT_TRUE(WaitForPixel(monitor, White, "the backdrop again"));
}

// --- Clock conversion ----------------------------------------------------------------------

TDateTime Encoded(int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    return EncodeDateTime({year, month, day, hour, minute, second, millisecond}).value();
}

TEST(LockdownLocalClock, RoundTripsInTheSessionZone)
{
    const TDateTime locals[] = {
        Encoded(2026, 1, 15, 12, 0, 0, 0),    Encoded(2026, 7, 15, 12, 0, 0, 0),
        Encoded(2024, 2, 29, 23, 59, 59, 999), Encoded(2000, 1, 1, 0, 0, 0, 0),
        Encoded(2031, 12, 31, 6, 30, 15, 500),
    };
    for (TDateTime local : locals) {
        CalendarDateTime expected = DecodeDateTime(local);
        SCOPED_TRACE(std::to_string(expected.Year) + "-" + std::to_string(expected.Month) + "-" +
                     std::to_string(expected.Day) + " " + std::to_string(expected.Hour) + ":" +
                     std::to_string(expected.Minute));
        SYSTEMTIME utc = {};
        ASSERT_TRUE(LocalToSystemTime(local, utc));
        SYSTEMTIME back = {};
        ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &back));
        CalendarDateTime roundTrip{back.wYear, back.wMonth,  back.wDay,         back.wHour,
                                   back.wMinute, back.wSecond, back.wMilliseconds};
        EXPECT_EQ(roundTrip, expected);
    }
}

constexpr char UnixTimeout[] = "Z:\\usr\\bin\\timeout";
constexpr int UnixToolSeconds = 60;
constexpr Timeout ClockToolTimeout{30000};

struct ZoneCase {
    const char* Zone;
    const char* Conversion;
    const char* Local;
    const char* Utc;
};

const std::vector<ZoneCase> ZoneCases = {
    {"Europe/Berlin", lockdown::ByZoneRules, "2026-01-15 12:00:00.000", "2026-01-15 11:00:00.000"},
    {"Europe/Berlin", lockdown::ByZoneRules, "2026-07-15 12:00:00.000", "2026-07-15 10:00:00.000"},
    {"Europe/Berlin", lockdown::ByZoneRules, "2026-01-01 00:30:00.000", "2025-12-31 23:30:00.000"},
    {"America/New_York", lockdown::ByZoneRules, "2026-01-15 12:00:00.000", "2026-01-15 17:00:00.000"},
    {"America/New_York", lockdown::ByZoneRules, "2026-07-15 22:15:30.250", "2026-07-16 02:15:30.250"},
    {"Australia/Sydney", lockdown::ByZoneRules, "2026-01-15 12:00:00.000", "2026-01-15 01:00:00.000"},
    {"Australia/Sydney", lockdown::ByZoneRules, "2026-07-15 12:00:00.000", "2026-07-15 02:00:00.000"},
    {"Asia/Kolkata", lockdown::ByZoneRules, "2026-03-01 00:10:00.000", "2026-02-28 18:40:00.000"},
    {"UTC", lockdown::ByZoneRules, "2024-02-29 23:59:59.999", "2024-02-29 23:59:59.999"},
    // Zones without daylight saving have one offset all year, whatever today's date.
    {"Asia/Kolkata", lockdown::ByCurrentBias, "2026-03-01 00:10:00.000", "2026-02-28 18:40:00.000"},
    {"Asia/Tokyo", lockdown::ByCurrentBias, "2026-07-15 12:00:00.000", "2026-07-15 03:00:00.000"},
    {"UTC", lockdown::ByCurrentBias, "2024-02-29 23:59:59.999", "2024-02-29 23:59:59.999"},
};

struct EnvironmentStringsFree {
    void operator()(char* strings) const { FreeEnvironmentStringsA(strings); }
};

// This process's environment with TZ replaced.
std::vector<char> EnvironmentWithZone(const std::string& zone)
{
    std::vector<char> block;
    std::unique_ptr<char, EnvironmentStringsFree> current(GetEnvironmentStringsA());
    for (const char* entry = current.get(); entry && *entry; entry += std::strlen(entry) + 1) {
        if (_strnicmp(entry, "TZ=", 3) == 0) continue;
        block.insert(block.end(), entry, entry + std::strlen(entry) + 1);
    }
    std::string zoneEntry = "TZ=" + zone;
    block.insert(block.end(), zoneEntry.c_str(), zoneEntry.c_str() + zoneEntry.size() + 1);
    block.push_back('\0');
    return block;
}

// Wine takes a process's zone from the Unix TZ of its wine process, and a Windows program
// it starts inherits the Unix environment, not the block given to CreateProcess. A Unix
// program started from Wine does get that block: so the tool runs through a Unix
// "timeout ... wine", which also bounds it. Its Unix process gives back no handle to wait
// on; the tool's output file, moved into place as its last step, says it is done.
bool StartClockToolInZone(const std::string& zone, const std::string& arguments)
{
    std::string commandLine = std::string("timeout ") + std::to_string(UnixToolSeconds) + " wine \"" +
                              ToolPath(lockdown::ClockToolExe) + "\" " + arguments;
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    std::vector<char> environment = EnvironmentWithZone(zone);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(UnixTimeout, writable.data(), nullptr, nullptr, FALSE, 0, environment.data(),
                        harness::ExeDir().c_str(), &startup, &started)) {
        ADD_FAILURE() << "Cannot start " << commandLine << ": " << harness::DescribeLastError();
        return false;
    }
    UniqueKernelHandle process(started.hProcess);
    UniqueKernelHandle thread(started.hThread);
    return true;
}

TEST(LockdownLocalClock, OtherZonesConvertByTheirRules)
{
    harness::AppDir dir;
    ASSERT_FALSE(dir.Path().empty());
    for (size_t i = 0; i < ZoneCases.size(); ++i) {
        const ZoneCase& zoneCase = ZoneCases[i];
        SCOPED_TRACE(std::string(zoneCase.Zone) + " " + zoneCase.Conversion + " " + zoneCase.Local);
        std::string outputName = "utc" + std::to_string(i) + ".txt";
        std::string arguments = "\"" + dir.PathOf(outputName) + "\" " + zoneCase.Conversion + " \"" +
                                zoneCase.Local + "\"";
        ASSERT_TRUE(StartClockToolInZone(zoneCase.Zone, arguments));
        ASSERT_TRUE(harness::WaitUntil([&] { return dir.Contains(outputName); }, ClockToolTimeout,
                                       "the clock tool's " + outputName));
        EXPECT_EQ(dir.ReadFile(outputName), std::optional<std::string>(std::string(zoneCase.Utc) + "\n"));
    }
}

}  // namespace
