// Subsystem: windows
// Walks through the screens of hvxw.exe for scripts/screens.sh: the password
// prompt, each page of the configuration window, the admin prompt, the
// two-field password dialog, the tray menu, the about box, and the lock
// window: with its picture and scrolling text, with the red notices, and
// blanked. For each
// screen it writes <shots>\<name>.want and waits until the script answers
// with <name>.done, once the screenshot is taken.
//
// screen_tour.exe <shots folder>
#include <windows.h>

#include <string>

#include "../LockScreenFixture.h"
#include "ScreenshotRequest.h"

using namespace harness;
using namespace halvex_test;

namespace {

// The lock window once it is up in front, with the parts a user sees on it.
LockWindow ShowLock(const RunningProgram& program)
{
    program.PostRequest(1);
    HWND form = WaitForTopWindow(WindowQuery::OfClass(LockFormClass).InProcess(program.Id()));
    if (!form || !WaitForVisible(form)) return {};
    return FindLockParts(form);
}

bool Unlock(const LockWindow& lock)
{
    return SetText(lock.Edit, "lock") && Click(lock.UnLockButton) && WaitForDestroyed(lock.Form);
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
    return Unlock(lock) ? 0 : 1;
}

bool ShowPage(const RunningProgram& program, int index)
{
    ClickPageTab(program, index);
    return program.Settle();
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
                        {"", "HotKey", "16576"}});
    TDStorage(dir.PathOf(SettingsName), true)
        .WriteStrings(user, "Text", {"This computer is locked.", "Back at 14:00.", "Please do not switch it off."});
    RunningProgram program(dir);
    if (!program.Window()) return 1;

    program.PostRequest(0);
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

    program.PostRequest(2);
    HWND about = WaitForPrompt("About Halvex", program.Id());
    if (!about || !Shot(shots, "about")) return 1;
    Click(GetDlgItem(about, IDOK));
    if (!WaitForHidden(about)) return 1;
    return LockTour(shots, program);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc != 2) return 2;
    return Tour(__argv[1]);
}
