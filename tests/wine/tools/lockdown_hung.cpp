// A Task Manager window whose program stops answering messages until released, so that
// a test can show that hiding it stalls neither the lock loop nor the keyboard hook.
// Subsystem: windows
#include <windows.h>

#include <string>

#include "lockdown_Tools.h"
#include "platform/UniqueHandle.h"

namespace {

constexpr char HungClass[] = "LockdownHungWindow";
constexpr char TaskManagerTitle[] = "Windows Task Manager";
// Far longer than a test needs to release it, short enough that a hide that waits for the
// window shows up as one slow call rather than as a test killed by its time limit.
constexpr DWORD LongestHang = 20000;

LRESULT CALLBACK HungProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

UniqueKernelHandle OpenEventNamed(const std::string& name)
{
    return UniqueKernelHandle(OpenEventA(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, name.c_str()));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    std::string eventName = commandLine;
    UniqueKernelHandle hanging = OpenEventNamed(eventName + lockdown::HangingSuffix);
    UniqueKernelHandle release = OpenEventNamed(eventName + lockdown::ReleaseSuffix);
    if (eventName.empty() || !hanging || !release) return lockdown::BadUsage;

    WNDCLASSA hungClass = {};
    hungClass.lpfnWndProc = HungProcedure;
    hungClass.hInstance = instance;
    hungClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    hungClass.lpszClassName = HungClass;
    if (!RegisterClassA(&hungClass)) return 1;
    HWND window = CreateWindowExA(0, HungClass, TaskManagerTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 50, 300,
                                  200, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    UpdateWindow(window);

    // From here no message is looked at until the test lets go.
    SetEvent(hanging.Get());
    WaitForSingleObject(release.Get(), LongestHang);

    // The test ends it with WM_CLOSE, which destroys the window.
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
