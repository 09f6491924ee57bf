// What another program can do to hvxw.exe's lock: window calls on the lock window,
// the end-of-session, close and quit messages and the program's own requests. The
// lock stays up through each: visible, covering the screen, enabled, the window at
// the screen's centre, and the program still runs. Outside a lock, the same
// messages leave the program running, but for the real end of the session.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "LockScreenFixture.h"

using namespace harness;
using namespace halvex_test;

namespace {

constexpr char DialogClassName[] = "#32770";

RECT ScreenRect()
{
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool LockHolds(HWND form)
{
    RECT area = {};
    GetWindowRect(form, &area);
    const RECT screen = ScreenRect();
    POINT centre = {screen.right / 2, screen.bottom / 2};
    return IsWindowVisible(form) && !IsIconic(form) && IsWindowEnabled(form) && EqualRect(&area, &screen) &&
           GetAncestor(WindowFromPoint(centre), GA_ROOT) == form;
}

// Within the deadline the lock is whole again, and the program still runs.
void ExpectLockHolds(LockScreenProgram& program, CallSite at = CallSite::Here())
{
    HWND form = program.Window().Form;
    EXPECT_TRUE(WaitUntil([&] { return LockHolds(form); }, WithinPasses, "the lock window whole again", at));
    // And it stays so for a few more passes.
    EXPECT_TRUE(program.WaitForPass(at));
    EXPECT_TRUE(LockHolds(form));
    EXPECT_TRUE(program.Program().Program().IsRunning());
    EXPECT_TRUE(MutexExists(LockRunningMutex));
    EXPECT_EQ(FindTopWindow(WindowQuery::OfClass(DialogClassName).InProcess(program.Program().Id())), nullptr)
        << "a dialog of the program opened during the lock";
    EXPECT_FALSE(IsWindowVisible(program.Program().Window())) << "the configuration window showed over the lock";
}

std::vector<HWND> TopWindowsOf(DWORD process)
{
    return FindTopWindows(WindowQuery().InProcess(process));
}

// A window of this test to re-parent the lock window into.
class Adopter {
public:
    Adopter()
    {
        Window.Reset(CreateWindowExA(0, "STATIC", "adopter", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr));
    }
    HWND Get() const { return Window.Get(); }

private:
    UniqueWindow Window;
};

struct Attack {
    const char* Name;
    std::function<void(LockScreenProgram&)> Run;
};

void RunEachFromAFreshLock(const std::vector<Attack>& attacks)
{
    LockScreenProgram program;
    ASSERT_TRUE(program.IsStarted());
    for (const Attack& attack : attacks) {
        SCOPED_TRACE(attack.Name);
        ASSERT_TRUE(program.Lock());
        attack.Run(program);
        ExpectLockHolds(program);
        ASSERT_TRUE(program.Unlock("Secret"));
    }
}

}  // namespace

TEST(LockAttacks, WindowCallsOnTheLockWindowAreUndoneWithinAPass)
{
    Adopter adopter;
    RunEachFromAFreshLock({
        {"hidden", [](LockScreenProgram& p) { ShowWindowAsync(p.Window().Form, SW_HIDE); }},
        {"minimised", [](LockScreenProgram& p) { ShowWindowAsync(p.Window().Form, SW_MINIMIZE); }},
        {"shrunk", [](LockScreenProgram& p) {
             SetWindowPos(p.Window().Form, HWND_BOTTOM, 10, 10, 100, 100, SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
         }},
        {"disabled", [](LockScreenProgram& p) { EnableWindow(p.Window().Form, FALSE); }},
        {"re-parented", [&](LockScreenProgram& p) { SetParent(p.Window().Form, adopter.Get()); }},
    });
}

TEST(LockAttacks, EndOfSessionCloseQuitAndRequestsLeaveTheLockUp)
{
    auto toEveryWindow = [](UINT message, WPARAM wParam) {
        return [message, wParam](LockScreenProgram& p) {
            for (HWND window : TopWindowsOf(p.Program().Id())) {
                DWORD_PTR ignored = 0;
                SendMessageTimeoutA(window, message, wParam, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
            }
        };
    };
    RunEachFromAFreshLock({
        {"WM_QUERYENDSESSION", toEveryWindow(WM_QUERYENDSESSION, 0)},
        {"WM_ENDSESSION FALSE", toEveryWindow(WM_ENDSESSION, FALSE)},
        {"WM_ENDSESSION TRUE", toEveryWindow(WM_ENDSESSION, TRUE)},
        {"WM_CLOSE", [](LockScreenProgram& p) {
             for (HWND window : TopWindowsOf(p.Program().Id())) PostMessageA(window, WM_CLOSE, 0, 0);
         }},
        {"WM_QUIT", [](LockScreenProgram& p) {
             DWORD thread = GetWindowThreadProcessId(p.Program().Window(), nullptr);
             PostThreadMessageA(thread, WM_QUIT, 0, 0);
         }},
        // The close box and the tray's show command would ask for a password to show the
        // configuration window: a prompt no throttle slows, to guess the lock's password at.
        {"WM_SYSCOMMAND SC_CLOSE", [](LockScreenProgram& p) {
             for (HWND window : TopWindowsOf(p.Program().Id())) PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
         }},
        {"the show command", [](LockScreenProgram& p) {
             PostMessageA(p.Program().Window(), WM_COMMAND, MAKEWPARAM(CmdHideShow, 0), 0);
         }},
        {"Hvxms01 0", [](LockScreenProgram& p) { p.Program().PostRequest(ShowRequest); }},
        {"Hvxms01 2", [](LockScreenProgram& p) { p.Program().PostRequest(AboutRequest); }},
    });
}

TEST(LockAttacks, OutsideALockOnlyTheRealEndOfTheSessionEndsTheProgram)
{
    LockScreenProgram program;
    ASSERT_TRUE(program.IsStarted());
    RunningProgram& running = program.Program();
    HWND window = running.Window();
    DWORD_PTR answer = 0;

    ASSERT_TRUE(SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, TRUE) << "a question is answered, not acted on";
    ASSERT_TRUE(SendMessageTimeoutA(window, WM_ENDSESSION, FALSE, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    PostThreadMessageA(GetWindowThreadProcessId(window, nullptr), WM_QUIT, 0, 0);
    ASSERT_TRUE(running.Settle());
    EXPECT_TRUE(running.Program().IsRunning());

    // A close from anyone is the close box: the window hides.
    running.PostRequest(ShowRequest);
    HWND prompt = WaitForPrompt("Halvex", running.Id());
    ASSERT_NE(prompt, nullptr);
    AnswerPrompt(prompt, "Secret");
    ASSERT_TRUE(WaitForVisible(window));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitForHidden(window));
    ASSERT_TRUE(running.Settle());
    EXPECT_TRUE(running.Program().IsRunning());
    // Hidden, another close shows nothing.
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(running.Settle());
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(FindTopWindow(WindowQuery::OfClass(DialogClassName).InProcess(running.Id())), nullptr);

    // The session ends for real.
    SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    EXPECT_TRUE(running.Program().WaitForExit(DefaultTimeout));
}

// The name a lock holds tells the screen saver that one is up; another program that takes it
// first, or puts an object of another kind under it, must not keep the lock away.
TEST(LockAttacks, TheLockNameTakenByAnotherProgramKeepsNoLockAway)
{
    const struct {
        const char* Name;
        bool AsMutex;
    } squatters[] = {{"a mutex held", true}, {"an event of the same name", false}};
    for (const auto& squatter : squatters) {
        SCOPED_TRACE(squatter.Name);
        UniqueKernelHandle taken(squatter.AsMutex ? CreateMutexA(nullptr, TRUE, LockRunningMutex)
                                                  : CreateEventA(nullptr, TRUE, FALSE, LockRunningMutex));
        ASSERT_TRUE(taken);
        LockScreenProgram program;
        ASSERT_TRUE(program.Lock());
        EXPECT_TRUE(program.IsLocked());
        // Still one lock at a time.
        program.Program().PostRequest(LockRequest);
        ASSERT_TRUE(program.Program().Settle());
        EXPECT_EQ(FindTopWindows(WindowQuery::OfClass(LockFormClass).InProcess(program.Program().Id())).size(), 1u);
        EXPECT_TRUE(program.Unlock("Secret"));
    }
}
