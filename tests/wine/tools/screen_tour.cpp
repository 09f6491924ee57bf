// Subsystem: windows
// Walks through the screens of hvxw.exe for scripts/screens.sh: the password
// prompt, each page of the configuration window, the admin prompt, the
// two-field password dialog, the tray menu and the about box. For each
// screen it writes <shots>\<name>.want and waits until the script answers
// with <name>.done, once the screenshot is taken.
//
// screen_tour.exe <shots folder>
#include <windows.h>

#include <cstdio>
#include <string>

#include "../HalvexProgram.h"

using namespace harness;
using namespace halvex_test;

namespace {

constexpr Timeout ShotTimeout{30000};

bool Shot(const std::string& folder, const std::string& name)
{
    std::string want = JoinPath(folder, name + ".want");
    std::string done = JoinPath(folder, name + ".done");
    // Let the screen finish painting first.
    PumpMessagesFor(Timeout{500});
    if (FILE* file = std::fopen(want.c_str(), "w")) std::fclose(file);
    bool taken = PollUntil([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, ShotTimeout);
    DeleteFileA(done.c_str());
    return taken;
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
    TDStorage(dir.PathOf(SettingsName), true).WriteStrings(user, "Text", {"This computer is locked.", "Back at 14:00."});
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
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc != 2) return 2;
    return Tour(__argv[1]);
}
