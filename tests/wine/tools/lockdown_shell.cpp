// Stand-ins for the shell's windows (desktop, task bar, Task Manager) in a process of
// their own, as the real ones are; one more window holds the foreground meanwhile.
// Subsystem: windows
#include <windows.h>

#include <string>
#include <vector>

#include "lockdown_Tools.h"

namespace {

constexpr int StandInWidth = 240;
constexpr int StandInHeight = 120;
constexpr int StandInSpacing = 130;

struct StandIn {
    std::string ClassName;
    std::string Title;
};

LRESULT CALLBACK StandInProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool Parse(int argc, char** argv, std::vector<StandIn>& standIns)
{
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        auto separator = argument.find(lockdown::ClassTitleSeparator);
        if (separator == 0 || separator == std::string::npos) return false;
        standIns.push_back({argument.substr(0, separator), argument.substr(separator + 1)});
    }
    return true;
}

// Each class once: the same class may stand for several windows.
bool RegisterStandInClass(HINSTANCE instance, const std::string& className)
{
    WNDCLASSA existing = {};
    if (GetClassInfoA(instance, className.c_str(), &existing)) return true;
    WNDCLASSA standInClass = {};
    standInClass.lpfnWndProc = StandInProcedure;
    standInClass.hInstance = instance;
    standInClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    standInClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    standInClass.lpszClassName = className.c_str();
    return RegisterClassA(&standInClass) != 0;
}

HWND ShowStandIn(HINSTANCE instance, const StandIn& standIn, int index)
{
    if (!RegisterStandInClass(instance, standIn.ClassName)) return nullptr;
    HWND window = CreateWindowExA(0, standIn.ClassName.c_str(), standIn.Title.c_str(), WS_OVERLAPPEDWINDOW,
                                  20 + index * StandInSpacing / 2, 20 + index * StandInSpacing, StandInWidth,
                                  StandInHeight, nullptr, nullptr, instance, nullptr);
    if (window) ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<StandIn> standIns;
    if (!Parse(argc, argv, standIns)) return lockdown::BadUsage;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (size_t i = 0; i < standIns.size(); ++i) {
        if (!ShowStandIn(instance, standIns[i], static_cast<int>(i))) return 1;
    }
    HWND foreground =
        ShowStandIn(instance, {lockdown::ForegroundClass, "Foreground"}, static_cast<int>(standIns.size()));
    if (!foreground) return 1;
    SetForegroundWindow(foreground);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
