// The shell's windows, found afresh at every use by class or title, shown and
// hidden asynchronously because they belong to other processes.
#include "lockscreen/win32/ShellWindows.h"

#include <windows.h>

namespace {

constexpr char ClassicTaskManagerTitle[] = "Windows Task Manager";
// Later Windows titles it just "Task Manager"; its class is the steadier mark.
constexpr char TaskManagerClass[] = "TaskManagerWindow";
constexpr char TaskBarClass[] = "Shell_TrayWnd";
constexpr char DesktopClass[] = "Progman";

template <typename Action>
void ForEachTaskManager(Action action)
{
    HWND classic = FindWindowA(nullptr, ClassicTaskManagerTitle);
    if (classic) action(classic);
    // Walks only the windows of that class, not every top-level window.
    for (HWND window = FindWindowExA(nullptr, nullptr, TaskManagerClass, nullptr); window;
         window = FindWindowExA(nullptr, window, TaskManagerClass, nullptr)) {
        if (window != classic) action(window);
    }
}

void HideIfVisible(HWND window)
{
    if (window && IsWindowVisible(window)) ShowWindowAsync(window, SW_HIDE);
}

void ShowIfFound(HWND window, int how)
{
    if (window) ShowWindowAsync(window, how);
}

}  // namespace

void HideShellWindows()
{
    ForEachTaskManager(HideIfVisible);
    HideIfVisible(FindWindowA(TaskBarClass, nullptr));
    HideIfVisible(FindWindowA(DesktopClass, nullptr));
}

void RestoreShellWindows()
{
    ShowIfFound(FindWindowA(DesktopClass, nullptr), SW_SHOW);
    ShowIfFound(FindWindowA(TaskBarClass, nullptr), SW_SHOW);
    ForEachTaskManager([](HWND window) { ShowIfFound(window, SW_SHOWMINNOACTIVE); });
}
