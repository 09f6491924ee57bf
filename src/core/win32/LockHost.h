// What the lock screen needs of the control program while a lock runs: the
// usage-time tick and its expiry, the shutdown request and the event log.
#pragma once

#include "lockscreen/win32/LockSession.h"

class TLockHostOfProgram : public TLockHost {
public:
    TDateTime TickTime() const override;
    bool TimeExpired() const override;
    void RequestShutdown() override;
    void Log(const std::string& text) override;
};
