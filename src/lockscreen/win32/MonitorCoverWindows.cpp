// The cover windows: created from the monitor layout, black, without caption,
// cursor or focus, deaf to requests to close, destroyed with their owner.
#include "lockscreen/win32/MonitorCoverWindows.h"

#include <optional>

#include "lockscreen/win32/HoldWindow.h"
#include "platform/CallbackBoundary.h"

namespace {

constexpr DWORD CoverStyle = WS_POPUP;
constexpr DWORD CoverExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

LRESULT CALLBACK CoverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    // Nobody may close, minimise or move a cover away while the lock is up.
    case WM_CLOSE:
    case WM_SYSCOMMAND: return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_SETCURSOR: SetCursor(nullptr); return TRUE;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool RegisterCoverClass(HINSTANCE instance)
{
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, MonitorCoverClass, &existing)) return true;
    WNDCLASSEXA coverClass = {};
    coverClass.cbSize = sizeof coverClass;
    coverClass.lpfnWndProc = CoverProcedure;
    coverClass.hInstance = instance;
    coverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    coverClass.lpszClassName = MonitorCoverClass;
    return RegisterClassExA(&coverClass) != 0;
}

UniqueWindow CreateCover(HINSTANCE instance, const TRect& area)
{
    UniqueWindow cover(CreateWindowExA(CoverExStyle, MonitorCoverClass, "", CoverStyle, area.Left, area.Top,
                                       area.Right - area.Left, area.Bottom - area.Top, nullptr, nullptr, instance,
                                       nullptr));
    if (cover) ShowWindow(cover.Get(), SW_SHOWNOACTIVATE);
    return cover;
}

struct TMonitorList {
    std::vector<TRect> Rectangles;
    TCallbackBoundary Boundary;
};

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT area, LPARAM list)
{
    auto& monitors = *reinterpret_cast<TMonitorList*>(list);
    return monitors.Boundary.Run(FALSE, [&] {
        monitors.Rectangles.push_back({area->left, area->top, area->right, area->bottom});
        return TRUE;
    });
}

std::optional<TRect> MonitorRectangle(HMONITOR monitor)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoA(monitor, &info)) return std::nullopt;
    return TRect{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
}

}  // namespace

std::vector<TRect> MonitorRectangles()
{
    TMonitorList list;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
    list.Boundary.RethrowCaught();
    return list.Rectangles;
}

TMonitorCovers::TMonitorCovers(HMONITOR lockMonitor)
{
    // Covering every monitor would hide the lock window as well.
    if (std::optional<TRect> lockArea = MonitorRectangle(lockMonitor))
        Create(CoverRectangles(MonitorRectangles(), *lockArea));
}

TMonitorCovers::TMonitorCovers(const std::vector<TRect>& monitors, const TRect& lockMonitor)
{
    Create(CoverRectangles(monitors, lockMonitor));
}

void TMonitorCovers::Create(const std::vector<TRect>& areas)
{
    if (areas.empty()) return;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterCoverClass(instance)) return;
    for (const TRect& area : areas) {
        UniqueWindow cover = CreateCover(instance, area);
        if (!cover) continue;
        Covers.push_back(std::move(cover));
        Areas.push_back({area.Left, area.Top, area.Right, area.Bottom});
    }
}

void TMonitorCovers::KeepOnTop() const
{
    // Called at every pass of the lock loop: only a cover that lost its place is moved.
    for (const UniqueWindow& cover : Covers) {
        RECT area;
        GetWindowRect(cover.Get(), &area);
        POINT centre = {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
        bool onTop = (GetWindowLongA(cover.Get(), GWL_EXSTYLE) & WS_EX_TOPMOST) &&
                     GetAncestor(WindowFromPoint(centre), GA_ROOT) == cover.Get();
        if (!onTop) SetWindowPos(cover.Get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TMonitorCovers::HoldInPlace() const
{
    for (size_t i = 0; i < Covers.size(); ++i) HoldWindow(Covers[i].Get(), Areas[i]);
}

std::vector<HWND> TMonitorCovers::Windows() const
{
    std::vector<HWND> windows;
    for (const UniqueWindow& cover : Covers) windows.push_back(cover.Get());
    return windows;
}
