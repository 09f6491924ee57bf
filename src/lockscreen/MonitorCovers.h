// Which monitors get a black top-most cover while the lock window, maximized
// on one monitor, covers only that one.
#pragma once

#include <vector>

// Right and Bottom are exclusive, as the platform's rectangles are.
struct TRect {
    int Left, Top, Right, Bottom;
};

bool operator==(const TRect& a, const TRect& b);
inline bool operator!=(const TRect& a, const TRect& b) { return !(a == b); }
bool IsEmptyRect(const TRect& r);

// Every monitor but the lock window's, in the order given, each once
// (mirrored monitors report the same rectangle), empty ones left out.
// The lock window's monitor is the one equal to lockMonitor; when none is
// equal (lockMonitor is, say, the window's own rectangle, which reaches past
// its monitor's edges), it is the monitor that shares the largest area with
// lockMonitor, the first of equals. When no monitor shares any area with it,
// the lock window is on none of them and every monitor gets a cover.
// A monitor that only overlaps the lock's one still gets a cover: the caller
// keeps the lock window above the covers.
std::vector<TRect> CoverRectangles(const std::vector<TRect>& monitors, const TRect& lockMonitor);

// The first non-empty monitor that holds the point; when none does, the one
// nearest to it (the first of equals); an all-zero rectangle when there is
// no non-empty monitor.
TRect MonitorOfPoint(const std::vector<TRect>& monitors, int x, int y);
