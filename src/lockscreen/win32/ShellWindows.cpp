// The shell's windows, found afresh at every use by class or title, shown and
// hidden asynchronously because they belong to other processes.
#include "lockscreen/win32/ShellWindows.h"

#include <windows.h>

#include <algorithm>

#include "platform/CallbackBoundary.h"

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

struct TWindowList {
    std::vector<HWND> Windows;
    TCallbackBoundary Boundary;
};

BOOL CALLBACK AddWindow(HWND window, LPARAM list)
{
    auto& windows = *reinterpret_cast<TWindowList*>(list);
    return windows.Boundary.Run(FALSE, [&] {
        windows.Windows.push_back(window);
        return TRUE;
    });
}

bool IsShellWindow(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (!lstrcmpiA(name, TaskManagerClass) || !lstrcmpiA(name, TaskBarClass) || !lstrcmpiA(name, DesktopClass))
        return true;
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    return !lstrcmpA(title, ClassicTaskManagerTitle);
}

}  // namespace

void HideShellWindows()
{
    TShellWindowWatch().HideShellWindows();
}

void TShellWindowWatch::HideShellWindows()
{
    TWindowList list;
    EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&list));
    list.Boundary.RethrowCaught();
    std::vector<HWND>& windows = list.Windows;
    std::sort(windows.begin(), windows.end());
    if (++PassesSinceFullLook >= FullLookPasses) {
        PassesSinceFullLook = 0;
        Seen.clear();
        Shell.clear();
    }
    // Gone windows leave the list; their handles may come back for new windows.
    Shell.erase(std::remove_if(Shell.begin(), Shell.end(),
                               [&](HWND window) { return !std::binary_search(windows.begin(), windows.end(), window); }),
                Shell.end());
    for (HWND window : windows)
        if (!std::binary_search(Seen.begin(), Seen.end(), window) && IsShellWindow(window)) Shell.push_back(window);
    Seen = std::move(windows);
    for (HWND window : Shell) HideIfVisible(window);
}

void RestoreShellWindows()
{
    ShowIfFound(FindWindowA(DesktopClass, nullptr), SW_SHOW);
    ShowIfFound(FindWindowA(TaskBarClass, nullptr), SW_SHOW);
    ForEachTaskManager([](HWND window) { ShowIfFound(window, SW_SHOWMINNOACTIVE); });
}
