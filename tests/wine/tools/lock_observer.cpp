// Subsystem: windows
// Watches for the end of the Windows session as any program would, with a top-level
// window, and writes each end-session message it receives, in order, as a line of
// observer.log beside itself. Each line is written through at once: a shutdown ends
// this program a moment later.
//
// lock_observer.exe
#include <windows.h>

#include <string>

#include "lock_Tools.h"
#include "platform/UniqueHandle.h"

using namespace lock_tools;

namespace {

std::string LogPath()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1) + ObserverLog;
}

void WriteLine(HWND window, const std::string& line)
{
    auto file = reinterpret_cast<HANDLE>(GetWindowLongPtrA(window, GWLP_USERDATA));
    std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    FlushFileBuffers(file);
}

LRESULT CALLBACK ObserverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_QUERYENDSESSION:
        WriteLine(window, QueryEndSessionLine);
        return TRUE;
    case WM_ENDSESSION:
        WriteLine(window, std::string(EndSessionLine) + " " + std::to_string(wParam));
        return 0;
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
    UniqueFile log(CreateFileA(LogPath().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log) return 1;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ObserverProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = ObserverClass;
    if (!RegisterClassExA(&windowClass)) return 1;
    // Hidden: broadcasts reach hidden top-level windows too.
    HWND window = CreateWindowExA(0, ObserverClass, "Lock observer", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                  instance, nullptr);
    if (!window) return 1;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(log.Get()));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
