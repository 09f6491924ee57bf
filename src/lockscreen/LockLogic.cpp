// The lock window's decisions, paced by the 3-second heartbeat of the main timer.
#include "lockscreen/LockLogic.h"

#include <utility>

namespace {

constexpr uint32_t SecondsPerHeartbeat = 3;
// A power mode no monitor knows; once the work time has run out it stops
// blanking for the rest of the lock, so the warning stays readable.
constexpr int32_t WarningPowerMode = 3;

constexpr unsigned VirtualKeyEscape = 0x1B;
constexpr unsigned VirtualKeyDelete = 0x2E;

const char* const AccessPermitted = "Access Permitted";
const char* const AccessDenied = "Access Denied";

}  // namespace

TLockLogic::TLockLogic(TLockActions& actions, TPasswordThrottle& throttle, const std::string& lockPassword,
                       const std::string& adminPassword, uint32_t timeOutSeconds, int32_t powerMode)
    : Actions(actions),
      Throttle(throttle),
      LockPassword(lockPassword),
      AdminPassword(adminPassword),
      TimeOutTicks_(timeOutSeconds / SecondsPerHeartbeat),
      PowerMode_(powerMode)
{
}

void TLockLogic::PollTick(TDateTime tickTime, bool timeExpired)
{
    if (tickTime == LastTickSeen) return;
    LastTickSeen = tickTime;
    CountDownNotices();
    WarnOfExpiredTime(timeExpired);
    CountIdleHeartbeat();
}

void TLockLogic::CountDownNotices()
{
    if (NoticeCountdown_ == 1) {
        NoticeCountdown_ = 0;
        ShutDownArmed_ = false;
        Actions.RevertNotices();
        // The seconds of a wait stay until it is over.
        if (ShownWaitSeconds_ != 0) Actions.ShowIncorrectPassword(ShownWaitSeconds_);
    } else if (NoticeCountdown_ == 2) {
        NoticeCountdown_ = 1;
    }
}

void TLockLogic::WarnOfExpiredTime(bool timeExpired)
{
    if (!timeExpired) return;
    if (PowerMode_ != WarningPowerMode) {
        PowerMode_ = WarningPowerMode;
        Wake();
        Actions.ShowTimeWarning();
    }
    Actions.PlayAlarm(false);
}

void TLockLogic::CountIdleHeartbeat()
{
    // Unsigned on purpose: -1 ("None") reads as a huge mode and never blanks,
    // and a count past the time-out means the screen is already blank.
    if (TimeOutTicks_ < IdleCount_) return;
    if (static_cast<uint32_t>(PowerMode_) >= static_cast<uint32_t>(WarningPowerMode)) return;
    if (TimeOutTicks_ == IdleCount_) SetScreenPower(PowerMode_);
    IdleCount_ += 1;
}

void TLockLogic::SetScreenPower(int32_t mode)
{
    // Waking focuses the password edit, and that focus change calls back here.
    if (PowerBusy) return;
    PowerBusy = true;
    if (mode == WakeMode) {
        if (IdleCount_ > TimeOutTicks_) Actions.WakeMonitor();
        IdleCount_ = 0;
    } else {
        // Hiding the panel puts another window under the cursor, and the
        // platform reports that as a mouse move that nobody made.
        IgnoreNextMove_ = true;
        Actions.BlankMonitor(mode);
    }
    PowerBusy = false;
}

bool TLockLogic::Opens(const std::string& entered) const
{
    if (LockPassword.Empty()) return true;
    if (entered == LockPassword.Get()) return true;
    return !AdminPassword.Empty() && entered == AdminPassword.Get();
}

void TLockLogic::UnLockClick(const std::string& entered, uint32_t now)
{
    Wake();
    TEntry entry = Opens(entered) ? TEntry::Right : entered.empty() ? TEntry::Empty : TEntry::Wrong;
    switch (Throttle.Judge(entry, now)) {
    case TVerdict::Opens:
        Actions.Log(AccessPermitted);
        End_ = TLockEnd::Unlocked;
        return;
    case TVerdict::NoAttempt:   // an empty edit: no log line, no alarm, no notice
        return;
    case TVerdict::Refused:
        break;
    }
    // Also a refusal during a wait is logged, so the log shows the whole of a guessing run.
    Actions.Log(AccessDenied);
    ShowWait(Throttle.SecondsLeft(now));
    RestartNotices();
    Actions.PlayAlarm(true);
}

void TLockLogic::ShowWait(uint32_t seconds)
{
    ShownWaitSeconds_ = seconds;
    Actions.ShowIncorrectPassword(seconds);
}

void TLockLogic::PollWait(uint32_t now)
{
    uint32_t left = Throttle.SecondsLeft(now);
    if (left == ShownWaitSeconds_) return;
    if (left != 0) {
        ShowWait(left);
        return;
    }
    // Over: the plain prompt tells that entries count again, unless a notice still runs
    // (an armed "Shut Down" among them), which then reverts everything at its heartbeat.
    ShownWaitSeconds_ = 0;
    if (NoticeCountdown_ == 0)
        Actions.RevertNotices();
    else
        Actions.ShowIncorrectPassword(0);
}

void TLockLogic::ShutDownClick()
{
    Wake();
    if (ShutDownArmed_) {
        Actions.RequestShutdown();
        return;
    }
    ShutDownArmed_ = true;
    Actions.ArmShutDown();
    RestartNotices();
}

void TLockLogic::KeyDown()
{
    if (!Settling_) Wake();
}

bool TLockLogic::ClearsEditOnKey(unsigned virtualKey) const
{
    return !Settling_ && (virtualKey == VirtualKeyEscape || virtualKey == VirtualKeyDelete);
}

void TLockLogic::MouseDown()
{
    if (!Settling_) Wake();
}

void TLockLogic::MouseMove()
{
    if (Settling_) return;
    if (!IgnoreNextMove_) Wake();
    IgnoreNextMove_ = false;
}

void TLockLogic::FocusChanged()
{
    if (!Settling_) Wake();
}

void TLockLogic::EndOfPass()
{
    // The first showing's activation, focus and mouse messages are behind us.
    Settling_ = false;
}

void TLockLogic::Terminate()
{
    if (End_ != TLockEnd::Unlocked) End_ = TLockEnd::Terminating;
}
