// Which sessions are ending, as the service hears of them: the control handler's thread
// writes, the watch reads. A log-off ends only its own session: another user's log-off on
// the same machine must not let the program ended in this one stay ended.
#pragma once

#include <atomic>
#include <cstdint>

class TSessionEnds {
public:
    static constexpr uint32_t NoSession = 0xFFFFFFFF;

    void LoggedOn(uint32_t session);
    void LoggingOff(uint32_t session);
    // The service stops, or Windows shuts down: every session ends.
    void ServiceStops() { Stopping = true; }

    // NoSession (a session not known) ends only with the service.
    bool Ending(uint32_t session) const;
    bool ServiceStopping() const { return Stopping; }

private:
    std::atomic<bool> Stopping{false};
    // The one last heard to log off: the program runs in one session at a time.
    std::atomic<uint32_t> LoggingOffSession{NoSession};
};
