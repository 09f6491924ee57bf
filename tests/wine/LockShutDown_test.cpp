// hvxw.exe's "Shut Down" button on the lock window: one press turns its caption red for
// two heartbeats; a second press within them ends the program and shuts Windows down.
// Under Wine that shutdown ends every process of the Wine session, this test included,
// so it runs in a session of its own (a suite named *Isolated).
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "LockScreenFixture.h"
#include "tools/lock_Tools.h"

using namespace harness;
using namespace halvex_test;
using namespace lock_tools;

namespace {

// The broadcasts come just before the shutdown, which ends this test about a second later.
constexpr Timeout BroadcastTimeout{5000};

// Red in the caption, right of the cross glyph that is red in any case.
int RedCaptionPixels(HWND button)
{
    RECT caption = ScreenRectOf(button);
    int glyph = (caption.bottom - caption.top) / 2;
    caption.left += glyph * 2;
    ScreenArea area(caption);
    return area.Taken() ? area.Count(NoticeRed) : -1;
}

LockSettings ShutDownAllowed()
{
    LockSettings settings;
    settings.ShutDown = true;
    return settings;
}

}  // namespace

TEST(LockScreenShutDown, OnePressTurnsTheCaptionRedForTwoHeartbeats)
{
    LockSettings settings = ShutDownAllowed();
    settings.TimeOut = 0;   // the heartbeats show as blanking
    settings.PowerMode = 1;
    LockScreenProgram program(settings);
    ASSERT_TRUE(program.Lock());
    HWND button = program.Window().ShutDownButton;
    ASSERT_TRUE(program.WaitForHeartbeat());
    auto pressed = std::chrono::steady_clock::now();
    // The press wakes the screen as well.
    ASSERT_TRUE(Click(button));
    EXPECT_TRUE(WaitUntil([&] { return RedCaptionPixels(button) > 0; }, WithinPasses, "a red caption"));

    // The next heartbeat blanks the screen; woken, the caption is still red.
    ASSERT_TRUE(program.WaitForHeartbeat());
    ASSERT_TRUE(program.WakeWithAKey());
    EXPECT_TRUE(WaitUntil([&] { return RedCaptionPixels(button) > 0; }, WithinPasses, "a red caption"));
    // The second one reverts it.
    ASSERT_TRUE(program.WaitForHeartbeat());
    auto reverted = std::chrono::steady_clock::now() - pressed;
    EXPECT_GE(reverted, SecondHeartbeatAfter);
    EXPECT_LE(reverted, SecondHeartbeatBy);
    ASSERT_TRUE(program.WakeWithAKey());
    EXPECT_TRUE(WaitUntil([&] { return RedCaptionPixels(button) == 0; }, WithinPasses, "the caption back"));

    // Disarmed: one more press arms it again instead of shutting down.
    ASSERT_TRUE(Click(button));
    EXPECT_TRUE(WaitUntil([&] { return RedCaptionPixels(button) > 0; }, WithinPasses, "a red caption again"));
    EXPECT_TRUE(program.Program().Program().IsRunning());
    EXPECT_TRUE(program.Unlock("Secret"));
}

TEST(LockShutdownIsolated, SecondPressEndsTheProgramAndShutsDown)
{
    LockScreenProgram program(ShutDownAllowed());
    Process observer = StartInAppDir(program.Dir(), ObserverExe);
    ASSERT_TRUE(WaitForTopWindow(WindowQuery::OfClass(ObserverClass).InProcess(observer.Id())));
    ASSERT_TRUE(program.Lock());
    HWND button = program.Window().ShutDownButton;
    ASSERT_TRUE(Click(button));
    ASSERT_TRUE(Click(button));

    std::string log;
    auto both = [&] {
        log = program.Dir().ReadFile(ObserverLog).value_or("");
        return log.find(QueryEndSessionLine) != std::string::npos &&
               log.find(std::string(EndSessionLine) + " ") != std::string::npos;
    };
    ASSERT_TRUE(PollUntil(both, BroadcastTimeout)) << "the observer saw: " << log;
    EXPECT_LT(log.find(QueryEndSessionLine), log.find(EndSessionLine)) << log;
    // The program broadcasts only once its main window is closed and its loop has ended.
    EXPECT_FALSE(IsWindow(program.Window().Form));
    EXPECT_FALSE(IsWindow(program.Program().Window()));
}
