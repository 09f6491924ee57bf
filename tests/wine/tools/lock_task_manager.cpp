// Subsystem: windows
// Stands in for the Task Manager: one window titled as the classic one and one of the
// later one's class, both hidden at first. On command both are shown without activation;
// each then times how long it stays visible before someone hides it.
//
// lock_task_manager.exe
#include <windows.h>

#include "lock_Tools.h"

using namespace lock_tools;

namespace {

constexpr char ClassicClass[] = "LockClassicTaskManager";
constexpr int Width = 240, Height = 120;

struct Stopwatch {
    LARGE_INTEGER Shown = {};
    LONGLONG DelayMicroseconds = -1;
};

// Both windows and their watches; each window's user data points here, since a window
// procedure gets no context of its own.
struct StandIns {
    HWND Windows[2] = {};
    Stopwatch Watches[2];

    Stopwatch* WatchOf(HWND window)
    {
        for (int i = 0; i < 2; ++i)
            if (Windows[i] == window) return &Watches[i];
        return nullptr;
    }
};

LONGLONG MicrosecondsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (now.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart;
}

LRESULT CALLBACK StandInProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* standIns = reinterpret_cast<StandIns*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    Stopwatch* watch = standIns ? standIns->WatchOf(window) : nullptr;
    switch (message) {
    case ShowTaskManagersCommand:
        if (!standIns) return 0;
        for (int i = 0; i < 2; ++i) {
            standIns->Watches[i].DelayMicroseconds = -1;
            QueryPerformanceCounter(&standIns->Watches[i].Shown);
            ShowWindow(standIns->Windows[i], SW_SHOWNOACTIVATE);
        }
        return 1;
    case HideDelayQuery:
        return watch ? static_cast<LRESULT>(watch->DelayMicroseconds) : -1;
    case WM_WINDOWPOSCHANGED: {
        const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (watch && (position->flags & SWP_HIDEWINDOW) && watch->DelayMicroseconds < 0 && watch->Shown.QuadPart)
            watch->DelayMicroseconds = MicrosecondsSince(watch->Shown);
        break;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool Register(HINSTANCE instance, const char* className)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = StandInProcedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    return RegisterClassExA(&windowClass) != 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (!Register(instance, ClassicClass) || !Register(instance, TaskManagerClass)) return 1;
    StandIns standIns;
    const char* classes[2] = {ClassicClass, TaskManagerClass};
    const char* titles[2] = {ClassicTaskManagerTitle, TaskManagerTitle};
    for (int i = 0; i < 2; ++i) {
        HWND window = CreateWindowExA(0, classes[i], titles[i], WS_OVERLAPPEDWINDOW, 40 + i * (Width + 20), 40, Width,
                                      Height, nullptr, nullptr, instance, nullptr);
        if (!window) return 1;
        standIns.Windows[i] = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&standIns));
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
