// What the lock screen needs of the control program while a lock runs: the
// usage-time tick and its expiry, the shutdown request, the event log and the
// password throttle, which the main window keeps while the program runs.
#pragma once

#include "lockscreen/win32/LockSession.h"

class TLockHostOfProgram : public TLockHost {
public:
    explicit TLockHostOfProgram(TPasswordThrottle& throttle) : Throttle_(throttle) {}
    TDateTime TickTime() const override;
    bool TimeExpired() const override;
    void RequestShutdown() override;
    void Log(const std::string& text) override;
    TPasswordThrottle& Throttle() override { return Throttle_; }

private:
    TPasswordThrottle& Throttle_;
};
