// Subsystem: windows
// Another program's window that tries to get in front of the lock window: on command it
// takes the foreground, clears the lock window's top-most state and moves above it, or
// makes itself top-most. Its colour is one the lock never shows.
//
// lock_intruder.exe
#include <windows.h>

#include "lock_Tools.h"
#include "platform/UniqueHandle.h"

using namespace lock_tools;

namespace {

constexpr UINT KeepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

bool IsTopMost(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

LRESULT CALLBACK IntruderProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case TakeForegroundCommand:
        BringWindowToTop(window);
        // Not read back: the lock may have taken the foreground again before the call returns.
        return SetForegroundWindow(window) != FALSE;
    case ClearTopMostCommand: {
        // Its state cannot be read back here: the lock may have restored it before the call returns.
        bool cleared = SetWindowPos(reinterpret_cast<HWND>(wParam), HWND_NOTOPMOST, 0, 0, 0, 0, KeepPlace) != FALSE;
        return cleared && SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, KeepPlace);
    }
    case BecomeTopMostCommand:
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, KeepPlace);
        return IsTopMost(window);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    UniqueBrush color(CreateSolidBrush(IntruderColor));
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = IntruderProcedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = color.Get();
    windowClass.lpszClassName = IntruderClass;
    if (!RegisterClassExA(&windowClass)) return 1;
    const RECT& at = IntruderBounds;
    HWND window = CreateWindowExA(0, IntruderClass, "Lock intruder", WS_POPUP, at.left, at.top, at.right - at.left,
                                  at.bottom - at.top, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOWNA);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
