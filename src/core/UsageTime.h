// The usage-time rules of the 3-second tick: the clock guard, the day's count,
// the allowed time window, expiry, and the grace time before the shutdown.
// The configuration window carries out what it asks through TUsageHost.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/DateTime.h"

// True when the time of day t lies in the window from left to right; a window
// whose left bound is not before its right one runs across midnight, and equal
// bounds allow the whole day. Compared to the millisecond, so that a bound read
// back from its 15-digit text still holds its own instant.
bool InTimeWindow(double t, double left, double right);

// A profile's restriction as the tick enforces it.
struct TUsageRestriction {
    bool TimeLimit = false;      // the daily window is enforced
    double LeftTimeBound = 0;    // times of day, fractions of a day
    double RightTimeBound = 0;
    bool Duration = false;       // the hours per day are enforced
    int32_t DurationLimit = 0;   // seconds
};

// What the tick needs from the program.
class TUsageHost {
public:
    virtual ~TUsageHost() = default;
    virtual TDateTime Now() = 0;
    virtual void SetLocalClock(TDateTime localTime) = 0;   // may fail; the guard then tries again
    // One value of the current profile into the settings file; the system's
    // reason when it could not be written.
    virtual std::optional<std::string> WriteValue(const char* key, int32_t value) = 0;
    virtual void PostLock() = 0;
    virtual void RequestShutdown() = 0;
    virtual void Log(const std::string& text) = 0;         // an event-log line, when logging is on
    virtual void Warn(const std::string& text) = 0;        // a notice to the user before the time runs out
};

class TUsageTime {
public:
    static constexpr uint32_t TickInterval = 3000;          // milliseconds
    static constexpr uint32_t GraceLimit = 300000;          // milliseconds after expiry until the shutdown
    static constexpr int32_t SecondsPerTick = 3;

    explicit TUsageTime(TUsageHost& host) : Host(host) {}

    // From the settings file: the restriction and the count stored with it.
    void Load(const TUsageRestriction& restriction, int32_t durationDay, int32_t durationTick);
    // The administrator changed the current profile's restriction: a new expiry,
    // if any, starts a new grace time.
    void ChangeRestriction(const TUsageRestriction& restriction);

    // One tick. realTick false is the direct call at start, which never posts a lock.
    void Tick(bool realTick);
    // After the direct call at start: a start outside the allowed time has no
    // grace time, so the first real tick requests the shutdown.
    void EndStartUp();

    // The time left today, to the second; nothing when no restriction applies.
    std::optional<int32_t> SecondsLeft() const;

    const TUsageRestriction& Restriction() const { return Restriction_; }
    TDateTime TickTime() const { return TickTime_; }
    TDateTime LastTickTime() const { return LastTickTime_; }
    bool TimeExpired() const { return TimeExpired_; }
    uint32_t GraceTime() const { return GraceTime_; }
    int32_t DurationDay() const { return DurationDay_; }
    int32_t DurationTick() const { return DurationTick_; }

private:
    void GuardClock(TDateTime now);
    void ChangeDay();
    void CountGraceTime();
    void Expire(bool realTick);
    void SaveCount(bool withDay);
    void WarnBeforeTheEnd();

    TUsageHost& Host;
    TUsageRestriction Restriction_;
    TDateTime TickTime_ = 0;
    TDateTime LastTickTime_ = 0;    // 0: no tick yet
    int32_t DurationDay_ = 0;
    int32_t DurationTick_ = 0;
    uint32_t GraceTime_ = 0;
    bool TimeExpired_ = false;
    bool ShutdownLogged = false;
    bool WritePending = false;      // a count not yet in the file
    bool WriteFailureLogged = false;
    bool SavedThisTick = false;
    int32_t LastWarning = 0;        // the lowest warning level shown; 0: none since the time left was long
};

// The tray icon's hint: the title, and the time left today when a restriction applies.
std::string TrayHint(const std::string& title, std::optional<int32_t> secondsLeft);
