// Cover rectangles for the monitors that the lock window leaves uncovered.
#include "lockscreen/MonitorCovers.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace {

uint64_t IntersectionArea(const TRect& a, const TRect& b)
{
    // Spans of the whole int range multiplied need all 64 unsigned bits.
    const int64_t width = int64_t(std::min(a.Right, b.Right)) - std::max(a.Left, b.Left);
    const int64_t height = int64_t(std::min(a.Bottom, b.Bottom)) - std::max(a.Top, b.Top);
    return width > 0 && height > 0 ? uint64_t(width) * uint64_t(height) : 0;
}

std::optional<TRect> LockWindowMonitor(const std::vector<TRect>& monitors, const TRect& lockMonitor)
{
    std::optional<TRect> best;
    uint64_t bestArea = 0;
    for (const TRect& monitor : monitors) {
        if (IsEmptyRect(monitor)) continue;
        if (monitor == lockMonitor) return monitor;
        const uint64_t area = IntersectionArea(monitor, lockMonitor);
        if (area > bestArea) {
            bestArea = area;
            best = monitor;
        }
    }
    return best;
}

// Distance along one axis from a coordinate to the half-open span [low, high).
int64_t AxisDistance(int value, int low, int high)
{
    if (value < low) return int64_t(low) - value;
    if (value >= high) return int64_t(value) - (int64_t(high) - 1);
    return 0;
}

}  // namespace

bool operator==(const TRect& a, const TRect& b)
{
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

bool IsEmptyRect(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

std::vector<TRect> CoverRectangles(const std::vector<TRect>& monitors, const TRect& lockMonitor)
{
    const std::optional<TRect> lockWindowMonitor = LockWindowMonitor(monitors, lockMonitor);
    std::vector<TRect> covers;
    for (const TRect& monitor : monitors) {
        if (IsEmptyRect(monitor)) continue;
        // A mirror of the lock's monitor shows the lock window already.
        if (lockWindowMonitor && monitor == *lockWindowMonitor) continue;
        if (std::find(covers.begin(), covers.end(), monitor) != covers.end()) continue;
        covers.push_back(monitor);
    }
    return covers;
}

TRect MonitorOfPoint(const std::vector<TRect>& monitors, int x, int y)
{
    TRect nearest{0, 0, 0, 0};
    std::optional<double> nearestDistance;
    for (const TRect& monitor : monitors) {
        if (IsEmptyRect(monitor)) continue;
        // In double: squares of distances across the whole int range pass 64 bits.
        const double dx = double(AxisDistance(x, monitor.Left, monitor.Right));
        const double dy = double(AxisDistance(y, monitor.Top, monitor.Bottom));
        const double distance = dx * dx + dy * dy;
        if (distance == 0) return monitor;
        if (!nearestDistance || distance < *nearestDistance) {
            nearestDistance = distance;
            nearest = monitor;
        }
    }
    return nearest;
}
