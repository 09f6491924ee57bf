// Subsystem: windows
// Walks through the screens of hvxw.exe for scripts/screens.sh: the password
// prompt, each page of the configuration window, the admin prompt, the
// two-field password dialog, the tray menu, the about box, the lock window
// (with its picture and scrolling text, with the red notices, blanked), the log
// page with lines, the Admin page with a profile, the tray icon's warning
// balloon and the lock's time warning. For each screen it writes <shots>\<name>.want and waits until the script answers
// with <name>.done, once the screenshot is taken.
//
// screen_tour.exe <shots folder>
#include <windows.h>

#include <string>

#include "../LockScreenFixture.h"
#include "../MainSettingsFixture.h"
#include "../TrayObserver.h"
#include "ScreenshotRequest.h"

using namespace harness;
using namespace halvex_test;

namespace {

// The lock window once it is up in front, with the parts a user sees on it.
LockWindow ShowLock(const RunningProgram& program)
{
    program.PostRequest(LockRequest);
    HWND form = WaitForTopWindow(WindowQuery::OfClass(LockFormClass).InProcess(program.Id()));
    if (!form || !WaitForVisible(form)) return {};
    return FindLockParts(form);
}

bool Unlock(const LockWindow& lock)
{
    return SetText(lock.Edit, "lock") && Click(lock.UnLockButton) && WaitForDestroyed(lock.Form);
}

bool ShowPage(const RunningProgram& program, int index)
{
    ClickPageTab(program, index);
    return program.Settle();
}

int LockTour(const std::string& shots, const RunningProgram& program)
{
    LockWindow lock = ShowLock(program);
    if (!lock.Form) return 1;
    // The first lines start below the scrolling area and rise 33 pixels a second.
    PumpMessagesFor(Timeout{3000});
    if (!Shot(shots, "lock")) return 1;
    if (!Unlock(lock)) return 1;

    // "Shut Down" can be armed only where the setting allows it.
    Click(program.Control(IdShutDownCheckBox));
    program.Settle();
    lock = ShowLock(program);
    if (!lock.Form) return 1;
    SetText(lock.Edit, "wrong");
    Click(lock.UnLockButton);
    Click(lock.ShutDownButton);
    // Both notices last two heartbeats, much longer than the shot takes.
    if (!WaitUntil([&] { return TextOf(lock.PromptLabel) == IncorrectPrompt; }, DefaultTimeout, "the red prompt") ||
        !Shot(shots, "lock-notices"))
        return 1;
    if (!Unlock(lock)) return 1;

    // A time-out of 0 blanks the screen at the lock's first heartbeat.
    SetText(program.Control(IdTimeOutEdit), "0");
    program.Settle();
    lock = ShowLock(program);
    if (!lock.Form ||
        !WaitUntil([&] { return !IsWindowVisible(lock.MainPanel); }, DefaultTimeout, "the blanked screen") ||
        !Shot(shots, "lock-blank"))
        return 1;
    if (!Unlock(lock)) return 1;

    // Every refused and accepted password of the tour is in the log by now.
    return ShowPage(program, 2) && Shot(shots, "page-logfile-lines") ? 0 : 1;
}

// Red pixels of the lock window's scrolling text: the time warning.
int RedScrollingText(HWND form)
{
    HWND panel = FindControl(form, ControlQuery::OfClass("HalvexScrollPanel"));
    ScreenArea area(ScreenRectOf(panel));
    return panel && area.Taken() ? area.Count(NoticeRed) : 0;
}

// The hours of the day nearly used up: the warning balloon; then used up: the lock's warning.
int UsageTour(const std::string& shots)
{
    const std::string user = LogonUser();
    const std::string today = std::to_string(static_cast<long>(DatePart(Now())));
    // Used up at start, the time would request the shutdown at once: the last 3 s are left.
    for (int counted : {3600 - 303, 3597}) {
        AppDir dir;
        WriteSettings(dir, {{user, "ProfileName", user},
                            {user, "LockPwd", "lock"},
                            {user, "Duration", "1"},
                            {user, "DurationHours", "1"},
                            {user, "DurationDay", today},
                            {user, "DurationTick", std::to_string(counted)}});
        RunningProgram program(dir);
        if (!program.Window()) return 1;
        if (counted < 3597) {
            if (!WaitUntil([] { return !BalloonTexts().empty(); }, Timeout{15000}, "the warning balloon") ||
                !Shot(shots, "tray-balloon"))
                return 1;
            continue;
        }
        HWND form = WaitForTopWindow(WindowQuery::OfClass(LockFormClass).InProcess(program.Id()), Timeout{15000});
        // The warning scrolls in from below the scrolling area.
        if (!form || !WaitUntil([&] { return RedScrollingText(form) > 1500; }, Timeout{30000}, "the time warning") ||
            !Shot(shots, "lock-time-warning"))
            return 1;
        LockWindow lock = FindLockParts(form);
        if (!Unlock(lock)) return 1;
    }
    return 0;
}

int Tour(const std::string& shots)
{
    AppDir dir;
    dir.CopyIn(JoinPath(ExeDir(), "Logo.bmp"));
    std::string user = LogonUser();
    WriteSettings(dir, {{user, "ProfileName", user},
                        {user, "LockPwd", "lock"},
                        {user, "TimeOut", "60"},
                        {user, "PowerMode", "1"},
                        {user, "Picture", dir.PathOf("Logo.bmp")},
                        {"", "APwd", "admin"},
                        {"", "HotKey", "16576"},
                        {user, "LogFile", "1"},
                        // Shown on the Admin page; everyone without a profile works 8:00 to 18:00, 4 hours a day.
                        {".Default", "TimeLimit", "1"},
                        {".Default", "LeftTimeBound", "0.333333333333333"},
                        {".Default", "RightTimeBound", "0.75"},
                        {".Default", "Duration", "1"},
                        {".Default", "DurationHours", "4"}});
    TDStorage(dir.PathOf(SettingsName), true)
        .WriteStrings(user, "Text", {"This computer is locked.", "Back at 14:00.", "Please do not switch it off."});
    RunningProgram program(dir);
    if (!program.Window()) return 1;

    program.PostRequest(ShowRequest);
    HWND prompt = WaitForPrompt("Halvex", program.Id());
    if (!prompt || !Shot(shots, "password-prompt")) return 1;
    AnswerPrompt(prompt, "lock");
    if (!WaitForVisible(program.Window()) || !Shot(shots, "page-general")) return 1;

    if (!ShowPage(program, 1) || !Shot(shots, "page-scrolltext")) return 1;
    if (!ShowPage(program, 2) || !Shot(shots, "page-logfile")) return 1;
    ClickPageTab(program, 3);
    HWND adminPrompt = WaitForPrompt("Admin privilege checking", program.Id());
    if (!adminPrompt || !Shot(shots, "admin-prompt")) return 1;
    AnswerPrompt(adminPrompt, "admin");
    if (!WaitUntil([&] { return IsWindowVisible(program.Page(IdAdminPage)) != FALSE; }, DefaultTimeout,
                   "the Admin page") ||
        !Shot(shots, "page-admin"))
        return 1;
    if (!main_settings::SelectProfile(program, ".Default") || !Shot(shots, "page-admin-profile")) return 1;

    Click(program.Control(IdAPwdBitBtn));
    HWND pair = WaitForPrompt("Set Admin Password", program.Id());
    if (!pair || !Shot(shots, "password-pair")) return 1;
    Click(GetDlgItem(pair, IDCANCEL));
    WaitForHidden(pair);

    program.Post(TrayIconMessage, 1, WM_RBUTTONUP);
    HWND menu = WaitForTopWindow(WindowQuery::OfClass("#32768").InProcess(program.Id()));
    if (!menu || !WaitForVisible(menu) || !Shot(shots, "tray-menu")) return 1;
    PressKeys({VK_ESCAPE});
    WaitForHidden(menu);

    program.PostRequest(AboutRequest);
    HWND about = WaitForPrompt("About Halvex", program.Id());
    if (!about || !Shot(shots, "about")) return 1;
    Click(GetDlgItem(about, IDOK));
    if (!WaitForHidden(about)) return 1;
    if (LockTour(shots, program) != 0) return 1;
    program.Program().End();
    return UsageTour(shots);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc != 2) return 2;
    return Tour(__argv[1]);
}
