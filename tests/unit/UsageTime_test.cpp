// The usage-time tick over a fake clock and a fake settings file: the window
// bounds, the clock guard, the day's count, expiry, the grace time, failed
// writes and the warnings before the end.
#include "core/UsageTime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

TDateTime At(int hour, int minute = 0, int second = 0, int day = 10)
{
    CalendarDateTime calendar;
    calendar.Year = 2026;
    calendar.Month = 12;
    calendar.Day = day;
    calendar.Hour = hour;
    calendar.Minute = minute;
    calendar.Second = second;
    return *EncodeDateTime(calendar);
}

double TimeOf(int hour, int minute = 0, int second = 0)
{
    return (hour * 3600 + minute * 60 + second) / 86400.0;
}

constexpr double TickDays = 3.0 / 86400;

// The program around the tick: a clock that the test moves, a settings file
// that can refuse writes, and a record of every request.
class FakeHost : public TUsageHost {
public:
    TDateTime Clock = At(12);
    std::vector<TDateTime> ClockSets;
    std::vector<std::string> Writes;   // "Key=value"; refused writes are not recorded
    std::optional<std::string> WriteFailure;
    int Locks = 0;
    int Shutdowns = 0;
    std::vector<std::string> Logged;
    std::vector<std::string> Warnings;

    TDateTime Now() override { return Clock; }
    void SetLocalClock(TDateTime localTime) override { ClockSets.push_back(localTime); }
    std::optional<std::string> WriteValue(const char* key, int32_t value) override
    {
        if (WriteFailure) return WriteFailure;
        Writes.push_back(std::string(key) + "=" + std::to_string(value));
        return std::nullopt;
    }
    void PostLock() override { ++Locks; }
    void RequestShutdown() override { ++Shutdowns; }
    void Log(const std::string& text) override { Logged.push_back(text); }
    void Warn(const std::string& text) override { Warnings.push_back(text); }
};

TUsageRestriction Window(double left, double right)
{
    TUsageRestriction restriction;
    restriction.TimeLimit = true;
    restriction.LeftTimeBound = left;
    restriction.RightTimeBound = right;
    return restriction;
}

TUsageRestriction Hours(int32_t hours)
{
    TUsageRestriction restriction;
    restriction.Duration = true;
    restriction.DurationLimit = hours * 3600;
    return restriction;
}

int32_t DayNumber(TDateTime value)
{
    return static_cast<int32_t>(DatePart(value));
}

// A tick driven like the timer: the clock moves 3 s, then the tick runs.
struct Ticker {
    FakeHost Host;
    TUsageTime Usage{Host};

    void Tick(bool real = true) { Usage.Tick(real); }
    void NextTick()
    {
        Host.Clock += TickDays;
        Usage.Tick(true);
    }
};

TEST(UsageTime, TheWindowHoldsItsBounds)
{
    // 22:00 as the settings file holds it: fifteen significant digits.
    const double storedTen = 0.916666666666667;
    struct Case {
        const char* Name;
        double Left, Right, Time;
        bool Inside;
    } cases[] = {
        {"9-18 at 8:59:59", 0.375, 0.75, TimeOf(8, 59, 59), false},
        {"9-18 at 9:00:00", 0.375, 0.75, TimeOf(9), true},
        {"9-18 at 17:59:59", 0.375, 0.75, TimeOf(17, 59, 59), true},
        {"9-18 at 18:00:00", 0.375, 0.75, TimeOf(18), false},
        {"22-6 at 23:00", storedTen, 0.25, TimeOf(23), true},
        {"22-6 at 5:00", storedTen, 0.25, TimeOf(5), true},
        {"22-6 at 12:00", storedTen, 0.25, TimeOf(12), false},
        {"22-6 at 22:00:00", storedTen, 0.25, At(22), true},
        {"22-6 at 21:59:59", storedTen, 0.25, At(21, 59, 59), false},
        {"22-6 at 6:00:00", storedTen, 0.25, At(6), false},
        {"equal bounds at midnight", 0.5, 0.5, TimeOf(0), true},
        {"equal bounds at the bound", 0.5, 0.5, TimeOf(12), true},
        {"equal bounds at 23:59:59", 0.5, 0.5, TimeOf(23, 59, 59), true},
        {"zero bounds", 0, 0, TimeOf(7), true},
        {"a date-time is taken by its time of day", 0.375, 0.75, At(10, 0, 0, 11), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(InTimeWindow(c.Time, c.Left, c.Right), c.Inside);
    }
}

TEST(UsageTime, TheClockGuardPutsBackAMovedClock)
{
    struct Case {
        const char* Name;
        bool TimeLimit;
        double JumpDays;
        bool SetBack;
    } cases[] = {
        {"two hours forward", true, 2.0 / 24, true},
        {"two hours back", true, -2.0 / 24, true},
        {"thirty seconds", true, 30.0 / 86400, false},
        {"exactly one minute", true, 60.0 / 86400, false},
        {"exactly one minute back", true, -60.0 / 86400, false},
        {"a minute and a second", true, 61.0 / 86400, true},
        {"two hours with the window off", false, 2.0 / 24, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Ticker t;
        // A whole-day window: the guard alone decides.
        TUsageRestriction restriction = Window(0, 0);
        restriction.TimeLimit = c.TimeLimit;
        t.Usage.Load(restriction, 0, 0);
        t.Tick(false);
        const TDateTime before = t.Usage.LastTickTime();
        t.Host.Clock = before + c.JumpDays;
        t.Tick();
        EXPECT_EQ(t.Usage.TickTime(), t.Host.Clock);
        if (c.SetBack) {
            ASSERT_EQ(t.Host.ClockSets.size(), 1u);
            EXPECT_EQ(t.Host.ClockSets[0], before);
            EXPECT_EQ(t.Usage.LastTickTime(), before);
            // Refused, the clock stays moved: the guard tries again at every tick.
            t.Tick();
            EXPECT_EQ(t.Host.ClockSets.size(), 2u);
            EXPECT_EQ(t.Usage.LastTickTime(), before);
        } else {
            EXPECT_TRUE(t.Host.ClockSets.empty());
            EXPECT_EQ(t.Usage.LastTickTime(), t.Host.Clock);
        }
    }
}

TEST(UsageTime, AMoveOutOfTheWindowGivesNoExpiryAndAMoveIntoItNoTime)
{
    Ticker forward;
    forward.Host.Clock = At(16, 30);
    forward.Usage.Load(Window(0.375, 0.75), 0, 0);
    forward.Tick(false);
    forward.Host.Clock = At(18, 30);
    forward.Tick();
    EXPECT_FALSE(forward.Usage.TimeExpired());
    EXPECT_EQ(forward.Host.Locks, 0);

    Ticker back;
    back.Host.Clock = At(19);
    back.Usage.Load(Window(0.375, 0.75), 0, 0);
    back.Tick(false);
    ASSERT_TRUE(back.Usage.TimeExpired());
    back.Usage.ChangeRestriction(Window(0.375, 0.75));   // as an administrator's edit would
    back.Host.Clock = At(17);
    back.Tick();
    EXPECT_TRUE(back.Usage.TimeExpired()) << "the time before the move still counts";
    EXPECT_EQ(back.Host.Locks, 1);
}

TEST(UsageTime, TwoHoursAreCountedThreeSecondsATickThenExpire)
{
    Ticker t;
    t.Usage.Load(Hours(2), DayNumber(t.Host.Clock), 0);
    for (int tick = 1; tick <= 2400; ++tick) {
        t.NextTick();
        ASSERT_EQ(t.Usage.DurationTick(), 3 * tick);
        ASSERT_EQ(t.Host.Writes.back(), "DurationTick=" + std::to_string(3 * tick));
    }
    EXPECT_EQ(t.Usage.DurationTick(), 7200);
    EXPECT_FALSE(t.Usage.TimeExpired());
    EXPECT_EQ(t.Host.Writes.size(), 2400u) << "one write of the count at every counted tick";
    t.NextTick();
    EXPECT_TRUE(t.Usage.TimeExpired());
    EXPECT_EQ(t.Host.Locks, 1);
    EXPECT_EQ(t.Usage.DurationTick(), 7200);
    EXPECT_EQ(t.Host.Writes.size(), 2400u);
    EXPECT_EQ(t.Host.Logged, (std::vector<std::string>{"Usage Time Expired"}));
}

TEST(UsageTime, NoHoursExpireAtOnceAndOnlyARealTickLocks)
{
    Ticker start;
    start.Usage.Load(Hours(0), DayNumber(start.Host.Clock), 0);
    start.Tick(false);
    EXPECT_TRUE(start.Usage.TimeExpired());
    EXPECT_EQ(start.Host.Locks, 0);

    Ticker running;
    running.Usage.Load(Hours(0), DayNumber(running.Host.Clock), 0);
    running.Tick();
    EXPECT_TRUE(running.Usage.TimeExpired());
    EXPECT_EQ(running.Host.Locks, 1);
}

TEST(UsageTime, ANewDayStartsTheCountAgainAndWritesBothValues)
{
    for (bool expired : {false, true}) {
        SCOPED_TRACE(expired ? "while expired" : "while counting");
        Ticker t;
        t.Host.Clock = At(23, 59, 58, 9);
        t.Usage.Load(Hours(expired ? 0 : 2), DayNumber(t.Host.Clock), expired ? 0 : 600);
        t.Tick();
        ASSERT_EQ(t.Usage.TimeExpired(), expired);
        t.Host.Writes.clear();
        t.NextTick();   // 00:00:01 of the 10th
        EXPECT_EQ(t.Usage.DurationDay(), DayNumber(At(0)));
        const std::string newDay = "DurationDay=" + std::to_string(DayNumber(At(0)));
        if (expired) {
            EXPECT_EQ(t.Host.Writes, (std::vector<std::string>{newDay, "DurationTick=0"}));
            EXPECT_EQ(t.Usage.DurationTick(), 0);
        } else {
            EXPECT_EQ(t.Host.Writes, (std::vector<std::string>{newDay, "DurationTick=0", "DurationTick=3"}));
            EXPECT_EQ(t.Usage.DurationTick(), 3);
        }
    }
}

TEST(UsageTime, TheGraceTimeEndsInOneShutdownRequestPerTick)
{
    Ticker t;
    t.Usage.Load(Hours(1), DayNumber(t.Host.Clock), 3600);
    t.NextTick();
    ASSERT_TRUE(t.Usage.TimeExpired());
    int ticks = 0;
    while (t.Host.Shutdowns == 0 && ticks < 1000) {
        t.NextTick();
        ++ticks;
    }
    // 300000 ms reached after 100 ticks is not yet past it: the 102nd tick, about 306 s on.
    EXPECT_EQ(ticks, 102);
    EXPECT_EQ(t.Host.Locks, 1);
    t.NextTick();
    EXPECT_EQ(t.Host.Shutdowns, 2);
    EXPECT_EQ(std::count(t.Host.Logged.begin(), t.Host.Logged.end(), "Shut Down: usage time expired"), 1);
}

TEST(UsageTime, AStartOutsideTheAllowedTimeShutsDownAtTheFirstRealTick)
{
    Ticker t;
    t.Host.Clock = At(20);
    t.Usage.Load(Window(0.375, 0.75), 0, 0);
    t.Tick(false);
    t.Usage.EndStartUp();
    EXPECT_TRUE(t.Usage.TimeExpired());
    EXPECT_EQ(t.Host.Locks, 0);
    EXPECT_EQ(t.Host.Shutdowns, 0);
    t.NextTick();
    EXPECT_EQ(t.Host.Shutdowns, 1);

    // Inside the allowed time, the start-up rule changes nothing.
    Ticker inside;
    inside.Host.Clock = At(10);
    inside.Usage.Load(Window(0.375, 0.75), 0, 0);
    inside.Tick(false);
    inside.Usage.EndStartUp();
    inside.NextTick();
    EXPECT_FALSE(inside.Usage.TimeExpired());
    EXPECT_EQ(inside.Usage.GraceTime(), 0u);
    EXPECT_EQ(inside.Host.Shutdowns + inside.Host.Locks, 0);
}

TEST(UsageTime, TwoExpiriesInOneTickPostTwoLocks)
{
    Ticker t;
    t.Host.Clock = At(19);
    TUsageRestriction both = Window(0.375, 0.75);
    both.Duration = true;
    both.DurationLimit = 0;
    t.Usage.Load(both, DayNumber(t.Host.Clock), 0);
    t.Tick();
    EXPECT_EQ(t.Host.Locks, 2);
    EXPECT_EQ(t.Host.Logged.size(), 1u);
}

TEST(UsageTime, AnEditOfTheRestrictionEndsTheExpiryAndANewOneStartsANewGraceTime)
{
    Ticker t;
    t.Usage.Load(Hours(1), DayNumber(t.Host.Clock), 3600);
    t.NextTick();
    for (int i = 0; i < 10; ++i) t.NextTick();
    ASSERT_EQ(t.Usage.GraceTime(), 30000u);
    t.Usage.ChangeRestriction(Hours(2));
    EXPECT_FALSE(t.Usage.TimeExpired());
    t.NextTick();
    EXPECT_EQ(t.Usage.DurationTick(), 3603);
    t.Usage.ChangeRestriction(Hours(1));
    t.NextTick();
    EXPECT_TRUE(t.Usage.TimeExpired());
    EXPECT_EQ(t.Usage.GraceTime(), 0u);
    EXPECT_EQ(t.Host.Locks, 2);
}

TEST(UsageTime, AFailingWriteKeepsTheCountGoingAndIsTriedAgain)
{
    Ticker t;
    t.Usage.Load(Hours(1), DayNumber(t.Host.Clock), 3000);
    t.Host.WriteFailure = "Access is denied.";
    for (int i = 0; i < 10; ++i) t.NextTick();
    EXPECT_EQ(t.Usage.DurationTick(), 3030);
    EXPECT_TRUE(t.Host.Writes.empty());
    EXPECT_EQ(t.Host.Logged, (std::vector<std::string>{"Usage time not saved: Access is denied."}))
        << "the first failure of a run only";

    // Released: the next tick writes the day and the count from memory.
    t.Host.WriteFailure.reset();
    t.NextTick();
    EXPECT_EQ(t.Host.Writes, (std::vector<std::string>{"DurationDay=" + std::to_string(DayNumber(t.Host.Clock)),
                                                       "DurationTick=3033"}));
    t.Host.Writes.clear();
    t.NextTick();
    EXPECT_EQ(t.Host.Writes, (std::vector<std::string>{"DurationTick=3036"}));

    // Failing again up to the end: the time still runs out, and a reload keeps the newer count.
    t.Host.WriteFailure = "The disk is full.";
    t.NextTick();
    t.Usage.Load(Hours(1), DayNumber(t.Host.Clock), 0);
    EXPECT_EQ(t.Usage.DurationTick(), 3039);
    while (!t.Usage.TimeExpired() && t.Usage.DurationTick() <= 3600) t.NextTick();
    EXPECT_TRUE(t.Usage.TimeExpired());
    EXPECT_EQ(t.Host.Locks, 1);
    EXPECT_EQ(t.Host.Logged.size(), 2u) << "one failure line, then the expiry";
    // Still pending while expired: the count reaches the file once it can be written.
    t.Host.WriteFailure.reset();
    t.Host.Writes.clear();
    t.NextTick();
    EXPECT_EQ(t.Host.Writes.size(), 2u);
    EXPECT_EQ(t.Host.Writes.back(), "DurationTick=3600");
}

TEST(UsageTime, WarningsComeFiveMinutesAndOneMinuteBeforeTheEnd)
{
    Ticker hours;
    hours.Usage.Load(Hours(1), DayNumber(hours.Host.Clock), 3600 - 330);
    std::vector<int32_t> warnedAt;
    while (!hours.Usage.TimeExpired()) {
        size_t before = hours.Host.Warnings.size();
        hours.NextTick();
        if (hours.Host.Warnings.size() != before) warnedAt.push_back(3600 - hours.Usage.DurationTick());
    }
    EXPECT_EQ(warnedAt, (std::vector<int32_t>{300, 60}));
    ASSERT_EQ(hours.Host.Warnings.size(), 2u);
    EXPECT_EQ(hours.Host.Warnings[0].substr(0, 21), "5 minutes left today.");
    EXPECT_EQ(hours.Host.Warnings[1].substr(0, 20), "1 minute left today.");

    // The window closing at 18:00, the program started at 17:57: one warning at once, one later.
    Ticker window;
    window.Host.Clock = At(17, 57);
    window.Usage.Load(Window(0.375, 0.75), 0, 0);
    window.Tick(false);
    EXPECT_TRUE(window.Host.Warnings.empty()) << "not before the first real tick";
    window.NextTick();
    ASSERT_EQ(window.Host.Warnings.size(), 1u);
    EXPECT_EQ(window.Host.Warnings[0].substr(0, 21), "3 minutes left today.");
    while (window.Host.Clock < At(17, 59, 10)) window.NextTick();
    EXPECT_EQ(window.Host.Warnings.size(), 2u);

    // No restriction, or a whole-day window alone: nothing to warn of.
    for (TUsageRestriction none : {TUsageRestriction{}, Window(0.5, 0.5)}) {
        Ticker t;
        t.Host.Clock = At(23, 58);
        t.Usage.Load(none, 0, 0);
        for (int i = 0; i < 100; ++i) t.NextTick();
        EXPECT_TRUE(t.Host.Warnings.empty());
        EXPECT_FALSE(t.Usage.SecondsLeft());
    }
}

TEST(UsageTime, TheHintShowsTheTimeLeftToday)
{
    EXPECT_EQ(TrayHint("Halvex", std::nullopt), "Halvex");
    EXPECT_EQ(TrayHint("Halvex", 85 * 60), "Halvex - 1:25 left today");
    EXPECT_EQ(TrayHint("Halvex", 85 * 60 - 30), "Halvex - 1:25 left today");
    EXPECT_EQ(TrayHint("Halvex", 0), "Halvex - 0:00 left today");
    EXPECT_EQ(TrayHint("Halvex", 24 * 3600), "Halvex - 24:00 left today");

    // The nearer end counts: an hour of use left, the window closing in 20 minutes.
    Ticker t;
    t.Host.Clock = At(17, 40);
    TUsageRestriction both = Window(0.375, 0.75);
    both.Duration = true;
    both.DurationLimit = 3600;
    t.Usage.Load(both, DayNumber(t.Host.Clock), 0);
    t.Tick();
    EXPECT_EQ(t.Usage.SecondsLeft(), 20 * 60);
    t.Usage.Load(both, DayNumber(t.Host.Clock), 3600 - 120);
    EXPECT_EQ(t.Usage.SecondsLeft(), 120);
}

}  // namespace
