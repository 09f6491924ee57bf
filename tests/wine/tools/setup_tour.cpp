// Subsystem: windows
// Walks through the setup program and its uninstaller for scripts/screens.sh, as an
// administrator would: the setup's welcome, folder, options, progress (done) and finish
// pages, then the uninstaller's confirmation page, the program's question on the system
// options and the uninstaller's question on the settings. For each screen it writes
// <shots>\<name>.want and waits until the script answers with <name>.done.
//
// setup_tour.exe <shots folder> <setup.exe>
#include <windows.h>

#include <string>

#include "../SetupWindows.h"
#include "ScreenshotRequest.h"
#include "core/Version.h"

using namespace harness;
using namespace halvex_test;
using namespace setup_windows;

namespace {

constexpr char SetupCaption[] = "Halvex Setup";
constexpr char UninstallerCaption[] = "Halvex " HALVEX_VERSION_TEXT " Uninstall";
constexpr char ProgramQuestionCaption[] = "Halvex Uninstall";
constexpr char ProgramQuestionStart[] = "Do you wish to clear";
constexpr char KeepQuestionStart[] = "Keep the Halvex settings";
constexpr Timeout PageTimeout{30000};

// Waits for a control of the page now shown, then for the page to take its screenshot.
bool ShotPage(HWND wizard, const ControlQuery& pageControl, const std::string& shots, const std::string& name)
{
    HWND control = WaitForControl(wizard, pageControl, PageTimeout);
    return control && WaitForVisible(control, PageTimeout) && Shot(shots, name);
}

bool Next(HWND wizard)
{
    HWND next = WaitForNextEnabled(wizard, PageTimeout);
    return next && Click(next);
}

bool SetupTour(const std::string& shots, const std::string& setup)
{
    Process process = Process::Start(setup, "", ScratchRoot());
    HWND wizard = WaitForDialog(SetupCaption, "", PageTimeout);
    if (!wizard || !WaitForNextEnabled(wizard, PageTimeout) || !Shot(shots, "setup-welcome")) return false;
    if (!Next(wizard) || !ShotPage(wizard, ControlQuery::OfClass("Edit"), shots, "setup-folder")) return false;
    if (!Next(wizard) || !ShotPage(wizard, ControlQuery::OfClass("SysTreeView32"), shots, "setup-options")) return false;
    // The progress page stays, its list of what was done shown, until Next.
    if (!Next(wizard) || !WaitForControl(wizard, ControlQuery::OfClass("msctls_progress32"), PageTimeout) ||
        !WaitForNextEnabled(wizard, PageTimeout) || !Shot(shots, "setup-progress"))
        return false;
    if (!Next(wizard) || !ShotPage(wizard, ControlQuery::WithText("Show the help page"), shots, "setup-finish"))
        return false;
    return Next(wizard) && WaitForDestroyed(wizard, PageTimeout) && process.WaitForExit(PageTimeout);
}

bool UninstallerTour(const std::string& shots, const std::string& uninstaller)
{
    Process process = Process::Start(uninstaller, "", ScratchRoot());
    HWND wizard = WaitForDialog(UninstallerCaption, "", PageTimeout);
    if (!wizard || !WaitForNextEnabled(wizard, PageTimeout) || !Shot(shots, "uninstall-confirm")) return false;
    if (!Next(wizard)) return false;
    HWND question = WaitForDialog(ProgramQuestionCaption, ProgramQuestionStart, PageTimeout);
    if (!question || !Shot(shots, "uninstall-system-options") || !PressMessageBoxButton(question, IDNO)) return false;
    HWND keep = WaitForDialog(UninstallerCaption, KeepQuestionStart, PageTimeout);
    if (!keep || !Shot(shots, "uninstall-keep-settings") || !PressMessageBoxButton(keep, IDYES)) return false;
    if (!WaitForNextEnabled(wizard, PageTimeout) || !Shot(shots, "uninstall-done")) return false;
    return Next(wizard) && WaitForDestroyed(wizard, PageTimeout);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc != 3) return 2;
    const std::string shots = __argv[1];
    if (!SetupTour(shots, __argv[2])) return 1;
    char programFiles[MAX_PATH] = {};
    GetEnvironmentVariableA("ProgramFiles", programFiles, MAX_PATH);
    return UninstallerTour(shots, JoinPath(JoinPath(programFiles, "Halvex"), "unins000.exe")) ? 0 : 1;
}
