// hvxw.exe's lock window as a user and other programs meet it: how it covers the screen,
// what it shows, that a second request and another program's commands change nothing,
// the Shut Down button's setting, no cover windows on a single monitor, and the scrolling text.
#include <windows.h>

#include <gtest/gtest.h>

#include "LockScreenFixture.h"

using namespace harness;
using namespace halvex_test;

namespace {

RECT PrimaryMonitor()
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcMonitor;
}

std::vector<HWND> VisibleLockWindows(DWORD processId)
{
    std::vector<HWND> visible;
    for (HWND window : FindTopWindows(WindowQuery::OfClass(LockFormClass).InProcess(processId)))
        if (IsWindowVisible(window)) visible.push_back(window);
    return visible;
}

// What stays true while the lock is up, whatever another program did to it.
void ExpectStillLocked(const LockScreenProgram& program)
{
    HWND form = program.Window().Form;
    ASSERT_TRUE(IsWindow(form));
    EXPECT_TRUE(IsWindowVisible(form));
    EXPECT_FALSE(IsIconic(form));
    RECT expected = PrimaryMonitor(), actual = ScreenRectOf(form);
    EXPECT_TRUE(EqualRect(&expected, &actual)) << "the lock window no longer covers the screen";
    EXPECT_TRUE(MutexExists(LockRunningMutex));
}

// The text pixels of the scrolling panel as the screen shows them.
struct TextOnScreen {
    int Pixels = 0;
    int Top = -1;      // first row with text, screen coordinates; -1: none
    int Bottom = -1;   // last row with text
};

TextOnScreen TextShownBy(HWND panel)
{
    RECT rect = ScreenRectOf(panel);
    ScreenArea area(rect);
    TextOnScreen text;
    if (!area.Taken()) return text;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) {
            if (area.At(x, y) == LockBlack) continue;
            ++text.Pixels;
            if (text.Top < 0) text.Top = y;
            text.Bottom = y;
        }
    return text;
}

}  // namespace

TEST(LockScreenWindow, CoversTheScreenTopMostWithoutCaptionAndShowsTheUser)
{
    LockScreenProgram program;
    ASSERT_TRUE(program.IsStarted());
    EXPECT_FALSE(MutexExists(LockRunningMutex));
    ASSERT_TRUE(program.Lock());
    const LockWindow& lock = program.Window();

    EXPECT_EQ(VisibleLockWindows(program.Program().Id()).size(), 1u);
    RECT screen = PrimaryMonitor(), covered = ScreenRectOf(lock.Form);
    EXPECT_TRUE(EqualRect(&screen, &covered));
    LONG style = GetWindowLongA(lock.Form, GWL_STYLE);
    LONG exStyle = GetWindowLongA(lock.Form, GWL_EXSTYLE);
    EXPECT_EQ(style & WS_CAPTION, 0) << std::hex << style;
    EXPECT_NE(exStyle & WS_EX_TOPMOST, 0) << std::hex << exStyle;
    EXPECT_NE(exStyle & WS_EX_TOOLWINDOW, 0) << std::hex << exStyle;
    EXPECT_EQ(GetForegroundWindow(), lock.Form);

    ASSERT_NE(lock.UserLabel, nullptr) << "no label \"" << UserPrefix << LogonUser() << "\"";
    EXPECT_TRUE(IsWindowVisible(lock.UserLabel));
    EXPECT_EQ(program.Prompt(), EnterPrompt);
    EXPECT_TRUE(IsWindowVisible(lock.PromptLabel));
    EXPECT_NE(GetWindowLongA(lock.Edit, GWL_STYLE) & ES_PASSWORD, 0);
    EXPECT_EQ(ClassOf(lock.MainPanel), LockPanelClass);
    EXPECT_TRUE(MutexExists(LockRunningMutex));

    ASSERT_TRUE(program.Unlock("Secret"));
    EXPECT_FALSE(MutexExists(LockRunningMutex));
}

TEST(LockScreenWindow, SecondRequestShowsNoSecondWindow)
{
    LockScreenProgram program;
    ASSERT_TRUE(program.Lock());
    program.Program().PostRequest(LockRequest);
    ASSERT_TRUE(program.Program().Settle());
    ASSERT_TRUE(program.WaitForPass());
    EXPECT_EQ(FindTopWindows(WindowQuery::OfClass(LockFormClass).InProcess(program.Program().Id())).size(), 1u);
    ExpectStillLocked(program);
    // The running lock is untouched: it still opens with its password.
    EXPECT_TRUE(program.Unlock("Secret"));
}

TEST(LockScreenWindow, CommandsOfAnotherProgramLeaveItUp)
{
    struct Command {
        const char* Name;
        UINT Message;
        WPARAM WParam;
    };
    const Command commands[] = {
        {"SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE},       {"SC_MINIMIZE", WM_SYSCOMMAND, SC_MINIMIZE},
        {"SC_RESTORE", WM_SYSCOMMAND, SC_RESTORE},   {"SC_MOVE", WM_SYSCOMMAND, SC_MOVE},
        {"SC_SIZE", WM_SYSCOMMAND, SC_SIZE},         {"SC_KEYMENU", WM_SYSCOMMAND, SC_KEYMENU},
        {"SC_SCREENSAVE", WM_SYSCOMMAND, SC_SCREENSAVE}, {"WM_CLOSE", WM_CLOSE, 0},
    };
    LockScreenProgram program;
    ASSERT_TRUE(program.Lock());
    for (const Command& command : commands) {
        SCOPED_TRACE(command.Name);
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(SendMessageTimeoutA(program.Window().Form, command.Message, command.WParam, 0, SMTO_NORMAL, 5000,
                                        &ignored))
            << "the lock window stopped answering";
        ASSERT_TRUE(program.WaitForPass());
        ExpectStillLocked(program);
    }
    EXPECT_TRUE(program.Unlock("Secret"));
}

TEST(LockScreenWindow, ShutDownButtonFollowsTheSetting)
{
    for (bool allowed : {false, true}) {
        SCOPED_TRACE(allowed ? "ShutDown=1" : "ShutDown absent");
        LockSettings settings;
        settings.ShutDown = allowed;
        LockScreenProgram program(settings);
        ASSERT_TRUE(program.Lock());
        EXPECT_EQ(IsWindowEnabled(program.Window().ShutDownButton) != FALSE, allowed);
        EXPECT_TRUE(IsWindowEnabled(program.Window().UnLockButton));
        EXPECT_TRUE(program.Unlock("Secret"));
    }
}

// Wine shows a single monitor, which the lock window itself covers.
TEST(LockScreenWindow, NoCoverWindowOnASingleMonitor)
{
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
    LockScreenProgram program;
    ASSERT_TRUE(program.Lock());
    for (HWND window : FindTopWindows(WindowQuery().InProcess(program.Program().Id()))) {
        if (window == program.Window().Form || !IsWindowVisible(window)) continue;
        EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0)
            << "a visible top-most window of class \"" << ClassOf(window) << "\" besides the lock window";
    }
    EXPECT_TRUE(program.Unlock("Secret"));
}

// The panel moves what it drew and draws only the strip it uncovers: the lines must rise
// whole, leaving no trail and losing no pixel on the way.
TEST(LockScreenWindow, ScrollingTextRisesWholeWithoutTrails)
{
    LockSettings settings;
    settings.Text = {"Locked for a moment.", "Back soon."};
    LockScreenProgram program(settings);
    ASSERT_TRUE(program.Lock());
    HWND panel = FindControl(program.Window().Form, ControlQuery::OfClass("HalvexScrollPanel"));
    ASSERT_TRUE(panel);
    const RECT rect = ScreenRectOf(panel);
    // Both lines well inside the panel: they entered at its bottom.
    TextOnScreen first;
    ASSERT_TRUE(WaitUntil([&] { return (first = TextShownBy(panel)).Bottom >= 0 && first.Bottom < rect.bottom - 40; },
                          Timeout{20000}, "both lines inside the panel"));
    TextOnScreen later;
    ASSERT_TRUE(WaitUntil([&] { return (later = TextShownBy(panel)).Top >= 0 && later.Top <= first.Top - 20; },
                          Timeout{5000}, "the lines to rise"));
    EXPECT_EQ(later.Pixels, first.Pixels) << "text pixels at row " << first.Top << " and at row " << later.Top;
    EXPECT_EQ(later.Bottom - later.Top, first.Bottom - first.Top) << "height of the text";
    EXPECT_TRUE(program.Unlock("Secret"));
}
