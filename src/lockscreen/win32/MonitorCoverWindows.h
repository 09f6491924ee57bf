// Black top-most windows over the monitors the lock window does not cover, so
// that nothing on them can be seen or clicked while the workstation is locked.
#pragma once

#include <windows.h>

#include <vector>

#include "lockscreen/MonitorCovers.h"
#include "platform/UniqueHandle.h"

inline constexpr char MonitorCoverClass[] = "HalvexMonitorCover";

// The rectangles of the monitors the system reports, in its order.
std::vector<TRect> MonitorRectangles();

class TMonitorCovers {
public:
    // Covers every monitor but lockMonitor, the one the lock window is on.
    explicit TMonitorCovers(HMONITOR lockMonitor);
    // The same over a given monitor layout, as a system with those monitors would report it.
    TMonitorCovers(const std::vector<TRect>& monitors, const TRect& lockMonitor);

    // Back at the top of the top-most band, for when another window went above them.
    void KeepOnTop() const;
    // Visible, enabled and over their monitors again, whatever another program did to them.
    void HoldInPlace() const;
    std::vector<HWND> Windows() const;

private:
    void Create(const std::vector<TRect>& areas);

    std::vector<UniqueWindow> Covers;
    std::vector<RECT> Areas;
};
