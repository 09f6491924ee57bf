// Entry of hvxw.exe: the one-off command-line commands, the single-instance
// rule, the application window, the main window and the message loop.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "ResourceIds.h"
#include "core/win32/GuardLink.h"
#include "core/win32/MainForm.h"
#include "core/win32/ProgramGlobals.h"
#include "core/win32/RequestShutdown.h"
#include "lockscreen/win32/SystemRoutines.h"
#include "platform/Application.h"
#include "platform/SystemFunction.h"
#include "settings/win32/UninstallCleanup.h"

namespace {

constexpr char InstallCommand[] = "Install";
constexpr char UninstallCommand[] = "Uninstall";
constexpr char ShowCommand[] = "Show";
constexpr char TransparentDesktopClass[] = "MPRTransparentDesktop";
constexpr DWORD TransparentDesktopPollMs = 10;
constexpr UINT ShutDownFlags = EWX_SHUTDOWN | EWX_FORCE | EWX_POWEROFF;

// The arguments as the system splits the command line, without the program's name.
std::vector<std::string> Arguments()
{
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!words) return arguments;
    for (int i = 1; i < count; ++i) {
        int length = WideCharToMultiByte(CP_ACP, 0, words[i], -1, nullptr, 0, nullptr, nullptr);
        std::string argument(static_cast<size_t>(length > 0 ? length - 1 : 0), '\0');
        if (length > 1) WideCharToMultiByte(CP_ACP, 0, words[i], -1, argument.data(), length, nullptr, nullptr);
        arguments.push_back(argument);
    }
    LocalFree(words);
    return arguments;
}

// Keeps the newest uninstaller files under the "unins000" names.
void InstallStep()
{
    const char* pairs[][2] = {{"unins001.exe", "unins000.exe"}, {"unins001.dat", "unins000.dat"},
                              {"unins001.msg", "unins000.msg"}};
    for (const auto& pair : pairs) {
        if (GetFileAttributesA(pair[0]) == INVALID_FILE_ATTRIBUTES) continue;
        DeleteFileA(pair[1]);
        MoveFileA(pair[0], pair[1]);
    }
}

// Exists on the 9x family only, where it keeps the program off the task list.
DWORD RegisterServiceProcess(DWORD type)
{
    TSystemFunction<DWORD WINAPI(DWORD, DWORD)> function("kernel32.dll", "RegisterServiceProcess");
    return function ? function.Get()(GetCurrentProcessId(), type) : 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    HalvexMessage = RegisterWindowMessageA(HalvexMessageName);
    std::vector<std::string> arguments = Arguments();
    auto onlyArgumentIs = [&](const char* command) { return arguments.size() == 1 && arguments[0] == command; };

    if (onlyArgumentIs(InstallCommand)) InstallStep();
    if (onlyArgumentIs(UninstallCommand)) {
        UninstallCleanup();
        return 0;
    }
    // Held until the process ends: the system releases it with the process.
    HANDLE instanceMutex = CreateMutexA(nullptr, FALSE, InstanceMutexName);
    if (GetLastError() == ERROR_ALREADY_EXISTS && !TGuardLink::StartedByTheGuard()) {
        if (onlyArgumentIs(ShowCommand)) SendMessageA(HWND_BROADCAST, HalvexMessage, RequestShowWindow, 0);
        return 0;
    }
    (void)instanceMutex;
    // Right after the instance name, so that the guard never starts a second program beside this one.
    TGuardLink guard;
    const bool lockAtOnce = guard.Attach();
    RegisterServiceProcess(1);

    HICON icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(HALVEX_ICON_ID), IMAGE_ICON, 0, 0,
                                               LR_DEFAULTSIZE | LR_SHARED));
    Application.SetTitle(ApplicationTitle);
    if (!Application.Initialize(icon)) return 1;
    SetWindowLongA(Application.Handle(), GWL_EXSTYLE, GetWindowLongA(Application.Handle(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    Application.Tag = TApplication::EndOnly;

    // The logon's transparent desktop is still up: wait, without spinning, until it has gone.
    // Not for a lock the guard brought back: any program can make a window of that class.
    while (!lockAtOnce && FindWindowA(TransparentDesktopClass, nullptr)) {
        Application.ProcessMessages();
        if (Application.Terminated()) return 0;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, TransparentDesktopPollMs, QS_ALLINPUT);
    }

    {
        TMainForm form(guard, lockAtOnce);
        if (!form.Create()) return 1;
        Application.Run();
        MainForm = nullptr;
    }
    if (Application.Tag == TApplication::ShutDownAfterwards) ShutDownWindows(ShutDownFlags);
    RegisterServiceProcess(0);
    return 0;
}
