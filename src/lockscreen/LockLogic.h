// What the lock window decides while the workstation is locked: heartbeats,
// monitor blanking, the red notices, the password check and the shut-down press.
#pragma once

#include <cstdint>
#include <string>

#include "common/DateTime.h"
#include "common/Secret.h"
#include "lockscreen/PasswordThrottle.h"

// What the lock window does when the logic decides; the Win32 layer carries
// it out, the tests record it.
class TLockActions {
public:
    virtual ~TLockActions() = default;
    virtual void WakeMonitor() = 0;                  // monitor on, main panel shown, password edit focused
    virtual void BlankMonitor(int32_t mode) = 0;     // main panel hidden, monitor power message with that mode
    virtual void RevertNotices() = 0;                // "Shut Down" and the prompt back to their plain look
    // Red "Incorrect password:" prompt; with the seconds left while "UnLock" refuses every entry.
    virtual void ShowIncorrectPassword(uint32_t waitSeconds) = 0;
    virtual void ArmShutDown() = 0;                  // red "Shut Down" caption
    virtual void ShowTimeWarning() = 0;              // the red work-time warning in the scrolling area
    virtual void PlayAlarm(bool cutOffPlaying) = 0;  // false: leave a sound that is still playing alone
    virtual void Log(const std::string& text) = 0;   // one event-log line; may do nothing
    virtual void RequestShutdown() = 0;
};

// The lock window's modal result.
enum class TLockEnd { Running = 0, Unlocked = 1, Terminating = 2 };

class TLockLogic {
public:
    // PowerMode -1 never blanks; 0, 1 and 2 are passed to the monitor as they are. The
    // throttle outlives the lock: wrong passwords count across locks.
    TLockLogic(TLockActions& actions, TPasswordThrottle& throttle, const std::string& lockPassword,
               const std::string& adminPassword, uint32_t timeOutSeconds, int32_t powerMode);
    TLockLogic(const TLockLogic&) = delete;
    TLockLogic& operator=(const TLockLogic&) = delete;

    // Once per pass of the lock loop with the latest timer tick; only a tick
    // not seen before counts as a heartbeat.
    void PollTick(TDateTime tickTime, bool timeExpired);
    // -1 wakes the screen and restarts the idle count; any other value blanks
    // it with that monitor power mode.
    void SetScreenPower(int32_t mode);
    // Times in milliseconds are readings of the throttle's clock.
    void UnLockClick(const std::string& entered, uint32_t now);
    // Once per pass: keeps the seconds of a wait shown as they count down.
    void PollWait(uint32_t now);
    void ShutDownClick();

    // User input; all of it is ignored while the window settles after showing.
    void KeyDown();
    bool ClearsEditOnKey(unsigned virtualKey) const;
    void MouseDown();
    void MouseMove();
    void FocusChanged();

    void EndOfPass();
    // The application is ending (shutdown, end of the Windows session).
    void Terminate();

    TLockEnd End() const { return End_; }
    bool Settling() const { return Settling_; }
    bool ScreenBlanked() const { return IdleCount_ > TimeOutTicks_; }
    bool ShutDownArmed() const { return ShutDownArmed_; }
    int NoticeCountdown() const { return NoticeCountdown_; }
    uint32_t ShownWaitSeconds() const { return ShownWaitSeconds_; }
    uint32_t IdleCount() const { return IdleCount_; }
    uint32_t TimeOutTicks() const { return TimeOutTicks_; }
    int32_t PowerMode() const { return PowerMode_; }
    bool IgnoreNextMove() const { return IgnoreNextMove_; }

private:
    void Wake() { SetScreenPower(WakeMode); }
    void RestartNotices() { NoticeCountdown_ = NoticeHeartbeats; }
    void CountDownNotices();
    void WarnOfExpiredTime(bool timeExpired);
    void CountIdleHeartbeat();
    bool Opens(const std::string& entered) const;
    void ShowWait(uint32_t seconds);

    static constexpr int32_t WakeMode = -1;
    static constexpr int NoticeHeartbeats = 2;

    TLockActions& Actions;
    TPasswordThrottle& Throttle;
    TSecret LockPassword;
    TSecret AdminPassword;
    uint32_t TimeOutTicks_;
    uint32_t IdleCount_ = 0;
    int32_t PowerMode_;
    TDateTime LastTickSeen = 0;
    bool Settling_ = true;
    bool IgnoreNextMove_ = false;
    bool PowerBusy = false;
    bool ShutDownArmed_ = false;
    int NoticeCountdown_ = 0;
    uint32_t ShownWaitSeconds_ = 0;
    TLockEnd End_ = TLockEnd::Running;
};
