// Which monitors get a black cover while the lock window sits on one of them.
#include "lockscreen/MonitorCovers.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

std::ostream& operator<<(std::ostream& out, const TRect& r)
{
    return out << "(" << r.Left << "," << r.Top << ")-(" << r.Right << "," << r.Bottom << ")";
}

namespace {

using Rects = std::vector<TRect>;

const TRect Primary{0, 0, 1920, 1080};
const TRect RightOfPrimary{1920, 0, 3200, 1024};
const TRect LeftOfPrimary{-1280, 56, 0, 1080};
const TRect AbovePrimary{0, -768, 1024, 0};
const TRect Empty{100, 100, 100, 900};

TEST(MonitorCovers, CoverRectangles)
{
    const struct {
        const char* Name;
        Rects Monitors;
        TRect LockMonitor;
        Rects Expected;
    } cases[] = {
        {"no monitors", {}, Primary, {}},
        {"one monitor", {Primary}, Primary, {}},
        {"two side by side", {Primary, RightOfPrimary}, Primary, {RightOfPrimary}},
        {"lock on the second", {Primary, RightOfPrimary}, RightOfPrimary, {Primary}},
        {"three, one left of the primary",
         {Primary, LeftOfPrimary, RightOfPrimary},
         Primary,
         {LeftOfPrimary, RightOfPrimary}},
        {"lock on the one at negative coordinates",
         {Primary, LeftOfPrimary, RightOfPrimary},
         LeftOfPrimary,
         {Primary, RightOfPrimary}},
        {"four around the primary, lock above",
         {Primary, AbovePrimary, LeftOfPrimary, RightOfPrimary},
         AbovePrimary,
         {Primary, LeftOfPrimary, RightOfPrimary}},
        {"mirrored lock monitor", {Primary, Primary}, Primary, {}},
        {"mirrored other monitor",
         {Primary, RightOfPrimary, RightOfPrimary},
         Primary,
         {RightOfPrimary}},
        {"mirrors on both", {RightOfPrimary, Primary, RightOfPrimary, Primary}, Primary, {RightOfPrimary}},
        {"lock on a monitor inside a larger one listed first",
         {Primary, {0, 0, 1024, 768}},
         {0, 0, 1024, 768},
         {Primary}},
        {"empty monitor skipped", {Primary, Empty, RightOfPrimary}, Primary, {RightOfPrimary}},
        {"only an empty one besides", {Empty, Primary}, Primary, {}},
        {"lock rectangle equal to an empty monitor", {Empty, Primary}, Empty, {Primary}},
        // A maximized window reaches past its monitor's edges by its frame.
        {"window rectangle of a maximized lock",
         {Primary, RightOfPrimary},
         {1912, -8, 3208, 1032},
         {Primary}},
        {"window rectangle on the left one",
         {Primary, LeftOfPrimary},
         {-1288, 48, 8, 1088},
         {Primary}},
        {"lock rectangle straddling two, more on the right",
         {Primary, RightOfPrimary},
         {1000, 0, 3000, 1000},
         {Primary}},
        {"equal share goes to the first", {Primary, {1920, 0, 3840, 1080}}, {960, 0, 2880, 1080}, {{1920, 0, 3840, 1080}}},
        {"lock rectangle on no monitor", {Primary, RightOfPrimary}, {-5000, -5000, -4000, -4000}, {Primary, RightOfPrimary}},
        {"only touching is no share", {Primary, RightOfPrimary}, {3200, 0, 4000, 1000}, {Primary, RightOfPrimary}},
    };
    for (const auto& c : cases) EXPECT_EQ(CoverRectangles(c.Monitors, c.LockMonitor), c.Expected) << c.Name;
}

TEST(MonitorCovers, LargeVirtualScreensDoNotOverflow)
{
    const TRect wide{-2000000000, -2000000000, 2000000000, 2000000000};
    const TRect beside{2000000000, 0, 2100000000, 1000};
    EXPECT_EQ(CoverRectangles({beside, wide}, {-1999999000, -1999999000, 1999999000, 1999999000}), Rects{beside});
}

TEST(MonitorCovers, MonitorOfPoint)
{
    const Rects three{Primary, LeftOfPrimary, RightOfPrimary};
    const struct {
        Rects Monitors;
        int X, Y;
        TRect Expected;
    } cases[] = {
        {three, 0, 0, Primary},
        {three, 1919, 1079, Primary},
        {three, 1920, 0, RightOfPrimary},   // right edges are exclusive
        {three, -1, 500, LeftOfPrimary},
        {three, -1280, 56, LeftOfPrimary},
        {three, -640, 10, LeftOfPrimary},   // above the left one, nearest to it
        {three, 5000, 500, RightOfPrimary},
        {three, 500, -300, Primary},
        {three, 2500, 1050, RightOfPrimary},   // just below the shorter right one
        {{Primary, Primary}, 10, 10, Primary},
        {{Empty, Primary}, 100, 500, Primary},
        {{Empty}, 100, 500, {0, 0, 0, 0}},
        {{}, 0, 0, {0, 0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MonitorOfPoint(c.Monitors, c.X, c.Y), c.Expected) << "(" << c.X << "," << c.Y << ")";
}

}  // namespace
