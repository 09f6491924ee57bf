// One lock of the workstation with the lock window, from the request to the unlock.
#pragma once

#include <cstdint>
#include <string>

#include "common/DateTime.h"
#include "common/Secret.h"
#include "common/Strings.h"

class TPasswordThrottle;
class TPicture;

// What one lock shows and accepts, as the program's settings had it when it was asked for.
struct TLockRequest {
    const TPicture* Picture = nullptr;   // owned by the caller; none: the gray panel
    std::string DisplayName;             // shown after "User: "
    TSecret Password;                    // empty: any entry opens
    TSecret AdminPassword;               // opens as well; empty: none
    bool ShutDownEnabled = false;
    TStrings Lines;                      // the scrolling message
    uint32_t TimeOut = 0;                // seconds of no input before the monitor's power mode
    int32_t PowerMode = -1;              // -1 never; 0, 1, 2 as the monitor takes them
    std::string AlarmFile;               // the sound of the time warning
};

// What the lock needs of the program while it runs.
class TLockHost {
public:
    virtual ~TLockHost() = default;
    // The latest usage-time tick (each new one is a heartbeat) and whether the time ran out.
    virtual TDateTime TickTime() const = 0;
    virtual bool TimeExpired() const = 0;
    virtual void RequestShutdown() = 0;
    // An event-log line; may do nothing, must not throw.
    virtual void Log(const std::string& text) = 0;
    // The wrong passwords so far and the wait they imposed; kept by the program, not by one lock.
    virtual TPasswordThrottle& Throttle() = 0;
};

// True when the lock ended with the right password; false otherwise, also
// when no lock was shown because one is already up.
bool RunLockSession(const TLockRequest& request, TLockHost& host);
