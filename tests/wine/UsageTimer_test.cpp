// hvxw.exe's usage-time tick over a clock the test moves: the day's count in the
// settings file, the lock with the time warning when the hours are used up, the
// warnings before the end, the clock guard, a settings file that cannot be
// written, and the shutdown after a start outside the allowed time.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "LockScreenFixture.h"
#include "TestClock.h"
#include "TrayObserver.h"
#include "tools/lock_Tools.h"

using namespace harness;
using namespace halvex_test;

namespace {

// A tick every 3 s; a few of them, on a loaded machine.
constexpr Timeout FewTicks{12000};
constexpr char TimeWarningFirstLine[] = "TIME RESTRICTION WARNING!";
constexpr char ScrollPanelClass[] = "HalvexScrollPanel";
constexpr char ExpiredLine[] = " Usage Time Expired\r\n";

std::string Day(TDateTime at)
{
    return std::to_string(static_cast<long>(DatePart(at)));
}

std::string TimeText(int hour, int minute = 0)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", (hour * 60 + minute) / 1440.0);
    return text;
}

// The restriction of the logged-on user's profile.
std::vector<Entry> Hours(int hours, TDateTime day, int counted)
{
    std::string user = LogonUser();
    return {{user, "Duration", "1"},
            {user, "DurationHours", std::to_string(hours)},
            {user, "DurationDay", Day(day)},
            {user, "DurationTick", std::to_string(counted)}};
}

std::vector<Entry> Window(int fromHour, int toHour)
{
    std::string user = LogonUser();
    return {{user, "TimeLimit", "1"},
            {user, "LeftTimeBound", TimeText(fromHour)},
            {user, "RightTimeBound", TimeText(toHour)}};
}

std::vector<Entry> operator+(std::vector<Entry> a, const std::vector<Entry>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<Entry> Logging()
{
    return {{LogonUser(), "LogFile", "1"}};
}

int Counted(const AppDir& dir)
{
    return std::atoi(ReadSetting(dir, LogonUser(), "DurationTick").c_str());
}

// Waits until the stored count has reached at least `count`.
bool WaitForCount(const AppDir& dir, int count, Timeout timeout = FewTicks)
{
    return WaitUntil([&] { return Counted(dir) >= count; }, timeout,
                     "DurationTick to reach " + std::to_string(count));
}

LockSettings ClockedAt(TDateTime clock, std::vector<Entry> more)
{
    LockSettings settings;
    settings.Clock = clock;
    settings.More = std::move(more);
    return settings;
}

int RedPixelsOfScrollingText(HWND lockForm)
{
    HWND panel = FindControl(lockForm, ControlQuery::OfClass(ScrollPanelClass));
    if (!panel) return -1;
    ScreenArea area(ScreenRectOf(panel));
    return area.Taken() ? area.Count(NoticeRed) : -1;
}

bool LockWindowExists(const RunningProgram& program)
{
    return FindTopWindow(WindowQuery::OfClass(LockFormClass).InProcess(program.Id())) != nullptr;
}

std::string LogOf(const AppDir& dir)
{
    return dir.ReadFile(LogonUser() + ".log").value_or("");
}

}  // namespace

TEST(UsageTimer, CountsThreeSecondsATickAndGoesOnAfterARestart)
{
    const TDateTime noon = TodayAt(12);
    LockScreenProgram first(ClockedAt(noon, Hours(2, noon, 600)));
    ASSERT_TRUE(first.IsStarted());
    const AppDir& dir = first.Dir();
    // The tick at start counts too.
    ASSERT_TRUE(WaitForCount(dir, 603));
    int seen = Counted(dir);
    for (int tick = 0; tick < 3; ++tick) {
        ASSERT_TRUE(WaitUntil([&] { return Counted(dir) != seen; }, FewTicks, "the next tick"));
        int now = Counted(dir);
        EXPECT_EQ(now - seen, 3) << "every counted tick is written";
        seen = now;
    }
    EXPECT_EQ(ReadSetting(dir, LogonUser(), "DurationDay"), Day(noon));
    EXPECT_FALSE(LockWindowExists(first.Program()));

    // Ended without notice and started again, it goes on from the stored count.
    first.Program().Program().End();
    const int stored = Counted(dir);
    RunningProgram again(dir);
    ASSERT_NE(again.Window(), nullptr);
    ASSERT_TRUE(WaitForCount(dir, stored + 6));
    EXPECT_LE(Counted(dir), stored + 12);
    again.Program().End();
}

TEST(UsageTimer, AStoredDayBeforeTodayStartsTheCountAgain)
{
    const TDateTime noon = TodayAt(12);
    LockScreenProgram program(ClockedAt(noon, Hours(2, noon - 3, 5000)));
    ASSERT_TRUE(program.IsStarted());
    const AppDir& dir = program.Dir();
    ASSERT_TRUE(WaitUntil([&] { return ReadSetting(dir, LogonUser(), "DurationDay") == Day(noon); }, FewTicks,
                          "today's day number"));
    EXPECT_LT(Counted(dir), 5000);
    EXPECT_EQ(Counted(dir) % 3, 0);
}

TEST(UsageTimer, UsedUpHoursLockWithTheTimeWarningAndStayUsedUpAfterTheUnlock)
{
    const TDateTime noon = TodayAt(12);
    // The tick at start counts the last 3 s; the first real tick finds the time used up.
    LockScreenProgram program(ClockedAt(noon, Hours(1, noon, 3597) + Logging()));
    ASSERT_TRUE(program.IsStarted());
    ASSERT_TRUE(program.WaitForLock(FewTicks));
    HWND form = program.Window().Form;
    EXPECT_TRUE(WaitUntil([&] { return RedPixelsOfScrollingText(form) > 0; }, Heartbeat * 2 + WithinPasses,
                          "the time warning in red"));
    EXPECT_EQ(Counted(program.Dir()), 3600);
    EXPECT_NE(LogOf(program.Dir()).find(ExpiredLine), std::string::npos) << LogOf(program.Dir());
    EXPECT_EQ(TrayHints(), std::vector<std::string>{"Halvex - 0:00 left today"});

    ASSERT_TRUE(program.Unlock("Secret"));
    // Still used up: the shutdown's grace time goes on, and the next lock warns again.
    ASSERT_TRUE(program.Lock());
    form = program.Window().Form;
    EXPECT_TRUE(WaitUntil([&] { return RedPixelsOfScrollingText(form) > 0; }, Heartbeat * 2 + WithinPasses,
                          "the time warning in red again"));
    EXPECT_TRUE(program.Unlock("Secret"));
    EXPECT_EQ(Counted(program.Dir()), 3600);
}

TEST(UsageTimer, TimeLeftGivesNoLockButWarningsFiveMinutesAndOneMinuteBefore)
{
    struct Case {
        const char* Name;
        int Counted;        // when the program starts; its first tick adds 3 s
        const char* Warning;
        const char* Hint;
    } cases[] = {
        {"a little under five minutes left", 3600 - 303, "5 minutes left today.", "Halvex - 0:05 left today"},
        {"a little under one minute left", 3600 - 63, "1 minute left today.", "Halvex - 0:01 left today"},
    };
    const TDateTime noon = TodayAt(12);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        // Inside the allowed window as well.
        LockScreenProgram program(ClockedAt(noon, Window(9, 18) + Hours(1, noon, c.Counted)));
        ASSERT_TRUE(program.IsStarted());
        std::vector<std::string> balloons;
        ASSERT_TRUE(WaitUntil(
            [&] {
                balloons = BalloonTexts();
                return !balloons.empty();
            },
            FewTicks, "a balloon from the tray icon"));
        ASSERT_EQ(balloons.size(), 1u);
        EXPECT_EQ(balloons[0].rfind(c.Warning, 0), 0u) << balloons[0];
        EXPECT_EQ(TrayHints(), std::vector<std::string>{c.Hint});
        EXPECT_TRUE(WaitForCount(program.Dir(), c.Counted + 9));
        EXPECT_FALSE(LockWindowExists(program.Program()));
        EXPECT_FALSE(MutexExists(LockRunningMutex));
    }
}

TEST(UsageTimer, WithoutARestrictionTheHintIsThePlainTitle)
{
    LockScreenProgram program(ClockedAt(TodayAt(12), {}));
    ASSERT_TRUE(program.IsStarted());
    std::vector<std::string> hints;
    EXPECT_TRUE(WaitUntil(
        [&] {
            hints = TrayHints();
            return !hints.empty();
        },
        FewTicks, "the tray icon's hint"));
    EXPECT_EQ(hints, std::vector<std::string>{"Halvex"});
}

TEST(UsageTimer, TheClockGuardKeepsTheTimeBeforeAMoveOutOfTheWindow)
{
    const TDateTime halfPastFour = TodayAt(16, 30);
    // A day's hours as well, so that each tick shows in the file and the count stops if the time expires.
    LockScreenProgram program(ClockedAt(halfPastFour, Window(9, 18) + Hours(24, halfPastFour, 0)));
    ASSERT_TRUE(program.IsStarted());
    const AppDir& dir = program.Dir();
    ASSERT_TRUE(WaitForCount(dir, 6));
    const TDateTime beforeTheMove = TodayAt(16, 31);
    ASSERT_TRUE(SetTestClock(dir, halfPastFour + 2.0 / 24));

    ASSERT_TRUE(WaitUntil([&] { return ClockSets(dir).size() >= 3; }, FewTicks, "the clock set back at each tick"));
    for (TDateTime set : ClockSets(dir)) {
        EXPECT_GE(set, halfPastFour);
        EXPECT_LT(set, beforeTheMove);
        EXPECT_EQ(set, ClockSets(dir).front()) << "the time of the last tick before the move stays";
    }
    // Refused like Wine refuses the real clock, the clock stays moved; the time kept is
    // inside the window, so the count goes on and nothing locks.
    const int counted = Counted(dir);
    EXPECT_TRUE(WaitForCount(dir, counted + 6));
    EXPECT_FALSE(LockWindowExists(program.Program()));

    // Back within a minute of the time kept, the clock is taken again.
    ASSERT_TRUE(SetTestClock(dir, ClockSets(dir).back() + 20.0 / 86400));
    size_t sets = ClockSets(dir).size();
    EXPECT_TRUE(WaitForCount(dir, Counted(dir) + 6));
    EXPECT_LE(ClockSets(dir).size(), sets + 1);
}

TEST(UsageTimer, ASettingsFileThatCannotBeWrittenStopsNeitherCountNorLock)
{
    const TDateTime noon = TodayAt(12);
    LockScreenProgram program(ClockedAt(noon, Hours(1, noon, 3600 - 15) + Logging()));
    ASSERT_TRUE(program.IsStarted());
    const AppDir& dir = program.Dir();
    ASSERT_TRUE(WaitForCount(dir, 3600 - 9));
    {
        // As a virus scanner or an indexer would hold it.
        UniqueFile held(CreateFileA(dir.PathOf(SettingsName).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        ASSERT_TRUE(program.WaitForLock(FewTicks + FewTicks)) << "the time runs out from the count in memory";
        EXPECT_NE(LogOf(dir).find("Usage time not saved: "), std::string::npos) << LogOf(dir);
        EXPECT_NE(LogOf(dir).find(ExpiredLine), std::string::npos) << LogOf(dir);
        EXPECT_EQ(FindTopWindow(WindowQuery::OfClass(DialogClass).InProcess(program.Program().Id())), nullptr)
            << "a tick shows no message box";
    }
    EXPECT_LT(Counted(dir), 3600);
    EXPECT_TRUE(WaitUntil([&] { return Counted(dir) == 3600; }, FewTicks, "the count written once released"));
    EXPECT_TRUE(program.Unlock("Secret"));
}

TEST(UsageTimerIsolated, AStartOutsideTheWindowShutsDownAtTheFirstTick)
{
    using namespace lock_tools;
    LockSettings settings = ClockedAt(TodayAt(20), Window(9, 18) + Logging());
    AppDir dir;
    WriteLockSettings(dir, settings);
    Process observer = StartInAppDir(dir, ObserverExe);
    ASSERT_TRUE(WaitForTopWindow(WindowQuery::OfClass(ObserverClass).InProcess(observer.Id())));
    RunningProgram program(dir);
    ASSERT_NE(program.Window(), nullptr);
    std::string seen;
    ASSERT_TRUE(PollUntil(
        [&] {
            seen = dir.ReadFile(ObserverLog).value_or("");
            return seen.find(QueryEndSessionLine) != std::string::npos;
        },
        FewTicks))
        << "the observer saw: " << seen;
    // No lock came first, and the log tells why the machine went down.
    EXPECT_FALSE(MutexExists(LockRunningMutex));
    std::string log = LogOf(dir);
    size_t expired = log.find(ExpiredLine);
    EXPECT_NE(expired, std::string::npos) << log;
    EXPECT_NE(log.find(" Shut Down: usage time expired\r\n", expired), std::string::npos) << log;
}
