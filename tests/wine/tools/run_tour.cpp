// Subsystem: windows
// Drives the hvxw.exe that scripts/run.sh started without a display, as a user would:
// waits for its tray icon, locks it, asks for a screenshot of the lock screen, unlocks it
// (a fresh folder: no password), shows the configuration window (no prompt without
// passwords), asks for a screenshot of it, and ends the program through Exit and its
// confirmation. Prints each step; exit code 0 when all passed.
//
// run_tour.exe <shots folder>      screenshots: run-lock, run-configuration
#include <windows.h>

#include <cstdio>
#include <string>

#include "../LockScreenFixture.h"
#include "ScreenshotRequest.h"

using namespace harness;
using namespace halvex_test;

namespace {

// The first start in a new Wine session on a loaded machine takes longer than a test's wait.
constexpr Timeout StartTimeout{60000};

bool Step(bool passed, const std::string& what)
{
    std::printf("run_tour: %s: %s\n", passed ? "ok" : "FAILED", what.c_str());
    std::fflush(stdout);
    return passed;
}

// The lock window in front with a whole pass of the lock loop behind it, so it is drawn.
LockWindow Lock(HWND mainWindow, DWORD processId)
{
    PassMarker marker;
    PostMessageA(mainWindow, HalvexMessage(), LockRequest, 0);
    HWND form = WaitForTopWindow(WindowQuery::OfClass(LockFormClass).InProcess(processId));
    if (!form || !WaitForVisible(form) ||
        !WaitUntil([&] { return GetForegroundWindow() == form; }, DefaultTimeout, "the lock window in front") ||
        !marker.WaitForPass())
        return {};
    return FindLockParts(form);
}

// True once the window is visible; false also when a password prompt came instead.
bool ShowConfiguration(HWND mainWindow, DWORD processId)
{
    PostMessageA(mainWindow, HalvexMessage(), ShowRequest, 0);
    HWND prompt = nullptr;
    bool settled = WaitUntil(
        [&] {
            for (HWND dialog : FindTopWindows(WindowQuery::OfClass(DialogClass).InProcess(processId)))
                if (IsWindowVisible(dialog)) prompt = dialog;
            return prompt || IsWindowVisible(mainWindow);
        },
        DefaultTimeout, "the configuration window");
    if (prompt) {
        Step(false, "no prompt expected without passwords, but \"" + TextOf(prompt) + "\" came");
        return false;
    }
    DWORD_PTR ignored;
    return settled && SendMessageTimeoutA(mainWindow, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

int Tour(const std::string& shots)
{
    HWND mainWindow = WaitForTopWindow(WindowQuery::OfClass(MainFormClass), StartTimeout);
    if (!Step(mainWindow != nullptr, "hvxw.exe started (its window of class \"" + std::string(MainFormClass) + "\")"))
        return 1;
    DWORD processId = ProcessOf(mainWindow);
    if (!Step(WaitUntil([&] { return HasTrayIcon(mainWindow); }, StartTimeout, "the tray icon"), "its tray icon"))
        return 1;

    LockWindow lock = Lock(mainWindow, processId);
    if (!Step(lock.Edit && lock.UnLockButton, "locked on request (\"Hvxms01\" 1)") ||
        !Step(Shot(shots, "run-lock"), "screenshot of the lock screen"))
        return 1;
    if (!Step(SetText(lock.Edit, "") && Click(lock.UnLockButton) && WaitForDestroyed(lock.Form),
              "unlocked with the empty password"))
        return 1;

    if (!Step(ShowConfiguration(mainWindow, processId), "configuration window shown (\"Hvxms01\" 0), no prompt") ||
        !Step(Shot(shots, "run-configuration"), "screenshot of the configuration window"))
        return 1;

    PostMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(CmdExit, 0), 0);
    HWND question = WaitForMessageBox("Confirmation", processId);
    if (!Step(question != nullptr, "Exit asks for confirmation (\"" + MessageBoxText(question) + "\")") ||
        !Step(PressMessageBoxButton(question, IDOK) && WaitForDestroyed(mainWindow), "confirmed, the window is gone"))
        return 1;
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc != 2) return 2;
    return Tour(__argv[1]);
}
