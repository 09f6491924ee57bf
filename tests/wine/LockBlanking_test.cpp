// hvxw.exe's lock blanks the screen after the monitor time-out: the main panel goes at
// the heartbeat the time-out gives, for every power mode but "None"; the first mouse move
// after blanking does not wake it, the second does, and so does a key.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

#include "LockScreenFixture.h"

using namespace harness;
using namespace halvex_test;

namespace {

constexpr POINT ScreenCentre = {512, 384};
constexpr int MoveStep = 8;

bool PanelShown(const LockScreenProgram& program)
{
    return IsWindowVisible(program.Window().MainPanel) != FALSE;
}

bool WaitForBlank(const LockScreenProgram& program, Timeout timeout, CallSite at = CallSite::Here())
{
    return WaitUntil([&] { return !PanelShown(program); }, timeout, "the main panel hidden", at);
}

bool WaitForWake(const LockScreenProgram& program, CallSite at = CallSite::Here())
{
    return WaitUntil([&] { return PanelShown(program); }, WithinPasses, "the main panel shown", at);
}

void MoveMouseBy(int dx)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = 0;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    ASSERT_EQ(SendInput(1, &input, sizeof input), 1u);
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// The user label sits on the gray password panel; blanked, the black window shows there.
POINT OnThePasswordPanel(const LockScreenProgram& program)
{
    RECT label = ScreenRectOf(program.Window().UserLabel);
    return {label.left - 2, label.top};
}

}  // namespace

// A key wakes the screen at once, whatever the power mode.
TEST(LockScreenBlanking, EveryPowerModeButNoneBlanksAtTheFirstHeartbeat)
{
    struct Mode {
        const char* Name;
        int PowerMode;
        bool Blanks;
    };
    const Mode modes[] = {
        {"Blank Screen", 1, true}, {"Suspend", 2, true}, {"StandBy", 3, true}, {"None", 0, false}};
    for (const Mode& mode : modes) {
        SCOPED_TRACE(mode.Name);
        LockSettings settings;
        settings.TimeOut = 0;
        settings.PowerMode = mode.PowerMode;
        LockScreenProgram program(settings);
        ASSERT_TRUE(program.Lock());
        if (mode.Blanks) {
            EXPECT_TRUE(WaitForBlank(program, WithinPasses));
            EXPECT_TRUE(program.IsLocked());
            EXPECT_EQ(ScreenColorAt(OnThePasswordPanel(program)), LockBlack);
            ASSERT_TRUE(PressKeys({VK_SHIFT}));
            EXPECT_TRUE(WaitForWake(program));
            EXPECT_EQ(FocusOf(program.Window().Form), program.Window().Edit);
        } else {
            // Past the next heartbeat as well.
            EXPECT_FALSE(PollUntil([&] { return !PanelShown(program); }, Heartbeat + WithinPasses))
                << "the main panel was hidden";
            EXPECT_EQ(ScreenColorAt(OnThePasswordPanel(program)), LockGray);
        }
        EXPECT_TRUE(program.Unlock("Secret"));
    }
}

// A time-out of 6 s is two heartbeats: the screen blanks at the second timer tick after the
// lock's first pass. Locked just after a heartbeat, that is about 6 s later.
TEST(LockScreenBlanking, BlanksAtTheHeartbeatTheTimeOutGives)
{
    LockSettings settings;
    settings.TimeOut = 0;   // the first lock shows when a heartbeat comes
    settings.PowerMode = 1;
    LockScreenProgram program(settings);
    ASSERT_TRUE(program.Lock());
    ASSERT_TRUE(program.WaitForHeartbeat());
    ASSERT_TRUE(program.Unlock("Secret"));
    // The lock takes its time-out from the configuration window's edit.
    ASSERT_TRUE(SetText(program.Program().Control(IdTimeOutEdit), "6"));
    auto requested = std::chrono::steady_clock::now();
    ASSERT_TRUE(program.Lock());
    EXPECT_TRUE(PanelShown(program));
    ASSERT_TRUE(WaitForBlank(program, SecondHeartbeatBy));
    EXPECT_GE(std::chrono::steady_clock::now() - requested, SecondHeartbeatAfter) << "blanked too early";
    EXPECT_TRUE(program.Unlock("Secret"));
}

// The first mouse move after blanking is taken for the one the platform reports when the
// panel under the cursor goes, and ignored; the second wakes the screen. Moves posted to
// the window arrive exactly as sent. A move made with the mouse may arrive under Wine as
// two, one where the cursor was and one where it is (when the window under the cursor has
// changed since the last move), so one such move may already wake it; two always do.
TEST(LockScreenBlanking, FirstMouseMoveAfterBlankingIsIgnoredTheSecondWakes)
{
    SetCursorPos(ScreenCentre.x, ScreenCentre.y);
    LockSettings settings;
    settings.TimeOut = 3;
    settings.PowerMode = 1;
    LockScreenProgram program(settings);
    ASSERT_TRUE(program.Lock());
    HWND form = program.Window().Form;
    // Blanked at a heartbeat, long after the moves that showing the window makes.
    ASSERT_TRUE(WaitForBlank(program, Heartbeat + 2 * WithinPasses));
    EXPECT_FALSE(PollUntil([&] { return PanelShown(program); }, WithinPasses)) << "woken without any input";

    LPARAM atTheCursor = MAKELPARAM(ScreenCentre.x, ScreenCentre.y);
    ASSERT_TRUE(PostMessageA(form, WM_MOUSEMOVE, 0, atTheCursor));
    ASSERT_TRUE(program.Program().Settle());
    ASSERT_TRUE(program.WaitForPass());
    EXPECT_FALSE(PanelShown(program)) << "the first move woke the screen";
    ASSERT_TRUE(PostMessageA(form, WM_MOUSEMOVE, 0, atTheCursor));
    ASSERT_TRUE(WaitForWake(program));
    EXPECT_EQ(FocusOf(form), program.Window().Edit);

    // With the mouse, once blanked again after the wake.
    ASSERT_TRUE(WaitForBlank(program, 2 * Heartbeat + 2 * WithinPasses));
    for (int direction : {1, -1}) {
        POINT before = {}, after = {};
        GetCursorPos(&before);
        MoveMouseBy(direction * MoveStep);
        ASSERT_TRUE(WaitUntil([&] { return GetCursorPos(&after) && after.x != before.x; }, WithinPasses, "a move"));
        ASSERT_TRUE(program.WaitForPass());
    }
    EXPECT_TRUE(WaitForWake(program));
    EXPECT_TRUE(program.Unlock("Secret"));
}
