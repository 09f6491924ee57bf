// Entry of hvxw.exe. For now a skeleton: one top-level window with the program's icon,
// which ends the program when it is closed.
#include <windows.h>

#include "ResourceIds.h"
#include "core/Version.h"

namespace {

constexpr char MainWindowClass[] = "HalvexMainWindow";
constexpr char MainWindowTitle[] = HALVEX_PRODUCT_NAME;
constexpr int MainWindowWidth = 480;
constexpr int MainWindowHeight = 320;

// Shared icons belong to the system: nothing to destroy.
HICON LoadProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric)
{
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(HALVEX_ICON_ID), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_SHARED));
}

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadProgramIcon(instance, SM_CXICON, SM_CYICON);
    windowClass.hIconSm = LoadProgramIcon(instance, SM_CXSMICON, SM_CYSMICON);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = MainWindowClass;
    if (!RegisterClassExA(&windowClass)) return 1;

    HWND window = CreateWindowExA(0, MainWindowClass, MainWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, MainWindowWidth, MainWindowHeight, nullptr, nullptr, instance,
                                  nullptr);
    if (!window) return 1;
    ShowWindow(window, showCommand);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
