// Runs the lock's keyboard hook on this program's thread, installed, renewed and removed on
// request of a test, so that the test can see from its own hook which keys it swallows.
// Subsystem: windows
#include <windows.h>

#include "lockdown_Tools.h"
#include "lockscreen/win32/Llh.h"

namespace {

LRESULT CALLBACK ToolProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case lockdown::InstallHookMessage: return InstallKeyboardHook() != nullptr;
    case lockdown::RemoveHookMessage: return RemoveKeyboardHook();
    case lockdown::ReinstallHookMessage: return ReinstallKeyboardHook() != nullptr;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA toolClass = {};
    toolClass.lpfnWndProc = ToolProcedure;
    toolClass.hInstance = instance;
    toolClass.lpszClassName = lockdown::HookToolClass;
    if (!RegisterClassA(&toolClass)) return 1;
    // Hidden, but a top-level window, so that the test finds it and can close it.
    HWND window = CreateWindowExA(0, lockdown::HookToolClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  instance, nullptr);
    if (!window) return 1;
    // The hook is called on this thread while it waits here for messages.
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    RemoveKeyboardHook();
    return 0;
}
