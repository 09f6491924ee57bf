// The usage-time tick's decisions, step by step in the order they must run.
#include "core/UsageTime.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "settings/SettingsModel.h"

namespace {

constexpr char UsageTimeExpiredText[] = "Usage Time Expired";
constexpr char ShutDownText[] = "Shut Down: usage time expired";
constexpr char WriteFailedText[] = "Usage time not saved: ";
constexpr char WarningText[] = " left today. Save your work: the computer will be locked when the time is up.";
constexpr char LeftTodayText[] = " left today";

constexpr int64_t MillisecondsPerDay = 86400000;
constexpr int64_t OneMinuteMs = 60000;
constexpr int32_t StartedOutsideGraceTime = 2147483647;
// Warnings come when the time left first drops to each of these, in seconds.
constexpr int32_t WarningLevels[] = {300, 60};

int64_t MillisecondOfDay(double timeOfDay)
{
    int64_t ms = std::llround(TimeOfDay(timeOfDay) * MillisecondsPerDay);
    return ms >= MillisecondsPerDay ? ms - MillisecondsPerDay : ms;
}

int32_t DayOf(TDateTime value)
{
    double day = DatePart(value);
    if (!(day >= std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    if (day > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(day);
}

std::string MinutesText(int32_t seconds)
{
    int32_t minutes = (seconds + 59) / 60;
    return std::to_string(minutes) + (minutes == 1 ? " minute" : " minutes");
}

}  // namespace

bool InTimeWindow(double t, double left, double right)
{
    int64_t time = MillisecondOfDay(t), from = MillisecondOfDay(left), to = MillisecondOfDay(right);
    if (from < to) return from <= time && time < to;
    return time >= from || time < to;
}

void TUsageTime::Load(const TUsageRestriction& restriction, int32_t durationDay, int32_t durationTick)
{
    Restriction_ = restriction;
    // A count the file has not taken yet is newer than the one it holds.
    if (WritePending) return;
    DurationDay_ = durationDay;
    DurationTick_ = durationTick;
}

void TUsageTime::ChangeRestriction(const TUsageRestriction& restriction)
{
    Restriction_ = restriction;
    TimeExpired_ = false;
    ShutdownLogged = false;
}

void TUsageTime::Tick(bool realTick)
{
    SavedThisTick = false;
    TDateTime now = Host.Now();
    TickTime_ = now;
    GuardClock(now);
    if (Restriction_.Duration && DayOf(LastTickTime_) != DurationDay_) ChangeDay();
    if (TimeExpired_) {
        CountGraceTime();
    } else {
        if (Restriction_.TimeLimit &&
            !InTimeWindow(LastTickTime_, Restriction_.LeftTimeBound, Restriction_.RightTimeBound))
            Expire(realTick);
        // Runs even when the window has just expired.
        if (Restriction_.Duration) {
            if (DurationTick_ >= Restriction_.DurationLimit) {
                Expire(realTick);
            } else {
                DurationTick_ = DurationTick_ > std::numeric_limits<int32_t>::max() - SecondsPerTick
                                    ? std::numeric_limits<int32_t>::max()
                                    : DurationTick_ + SecondsPerTick;
                SaveCount(false);
            }
        }
    }
    // A count that could not be written is tried again at every tick.
    if (Restriction_.Duration && WritePending && !SavedThisTick) SaveCount(true);
    if (realTick) WarnBeforeTheEnd();
}

void TUsageTime::EndStartUp()
{
    if (TimeExpired_) GraceTime_ = StartedOutsideGraceTime;
}

void TUsageTime::GuardClock(TDateTime now)
{
    // The clock moved by more than a minute since the last tick: put it back
    // and keep counting from the time before the move. Compared to the
    // millisecond, so that exactly one minute is accepted whatever the rounding.
    if (Restriction_.TimeLimit && LastTickTime_ != 0 &&
        std::llround(std::fabs(now - LastTickTime_) * MillisecondsPerDay) > OneMinuteMs) {
        Host.SetLocalClock(LastTickTime_);
        return;
    }
    LastTickTime_ = now;
}

void TUsageTime::ChangeDay()
{
    DurationDay_ = DayOf(LastTickTime_);
    DurationTick_ = 0;
    LastWarning = 0;
    SaveCount(true);
}

void TUsageTime::CountGraceTime()
{
    if (GraceTime_ > GraceLimit) {
        if (!ShutdownLogged) Host.Log(ShutDownText);
        ShutdownLogged = true;
        Host.RequestShutdown();
        return;
    }
    GraceTime_ += TickInterval;
}

void TUsageTime::Expire(bool realTick)
{
    GraceTime_ = 0;
    if (!TimeExpired_) Host.Log(UsageTimeExpiredText);
    TimeExpired_ = true;
    if (realTick) Host.PostLock();
}

void TUsageTime::SaveCount(bool withDay)
{
    SavedThisTick = true;
    std::optional<std::string> failure;
    if (withDay || WritePending) failure = Host.WriteValue(DurationDayKey, DurationDay_);
    if (!failure) failure = Host.WriteValue(DurationTickKey, DurationTick_);
    WritePending = failure.has_value();
    if (failure && !WriteFailureLogged) {
        WriteFailureLogged = true;
        Host.Log(WriteFailedText + *failure);
    }
}

void TUsageTime::WarnBeforeTheEnd()
{
    std::optional<int32_t> left = SecondsLeft();
    if (!left || TimeExpired_ || *left <= 0) return;
    if (*left > WarningLevels[0]) {
        LastWarning = 0;
        return;
    }
    int32_t level = WarningLevels[0];
    for (int32_t candidate : WarningLevels)
        if (*left <= candidate) level = candidate;
    if (LastWarning != 0 && level >= LastWarning) return;
    LastWarning = level;
    Host.Warn(MinutesText(*left) + WarningText);
}

std::optional<int32_t> TUsageTime::SecondsLeft() const
{
    if (!Restriction_.TimeLimit && !Restriction_.Duration) return std::nullopt;
    if (TimeExpired_) return 0;
    std::optional<int64_t> left;
    if (Restriction_.Duration)
        left = std::max<int64_t>(0, int64_t(Restriction_.DurationLimit) - DurationTick_);
    int64_t from = MillisecondOfDay(Restriction_.LeftTimeBound), to = MillisecondOfDay(Restriction_.RightTimeBound);
    if (Restriction_.TimeLimit && from != to) {
        int64_t untilClose = 0;
        if (InTimeWindow(LastTickTime_, Restriction_.LeftTimeBound, Restriction_.RightTimeBound)) {
            int64_t ms = (to - MillisecondOfDay(LastTickTime_) + MillisecondsPerDay) % MillisecondsPerDay;
            untilClose = (ms + 999) / 1000;
        }
        left = left ? std::min(*left, untilClose) : untilClose;
    }
    if (!left) return std::nullopt;
    return static_cast<int32_t>(std::min<int64_t>(*left, std::numeric_limits<int32_t>::max()));
}

std::string TrayHint(const std::string& title, std::optional<int32_t> secondsLeft)
{
    if (!secondsLeft) return title;
    int32_t minutes = *secondsLeft / 60 + (*secondsLeft % 60 != 0);
    char clock[32];
    std::snprintf(clock, sizeof clock, "%d:%02d", minutes / 60, minutes % 60);
    return title + " - " + clock + LeftTodayText;
}
