// The guard's watch over the program: start it in the user's session, know when it has
// ended and how, and start it again as the policy says. It only ever waits on handles.
#pragma once

#include <windows.h>

#include <string>

#include "guard/SessionEnds.h"
#include "guard/win32/GuardLog.h"
#include "guard/win32/GuardObjects.h"

// Set by the service's control handler, read by the watch.
struct TGuardSignals {
    HANDLE Stop = nullptr;            // manual reset: the service stops
    HANDLE SessionChanged = nullptr;  // auto reset: a logon, log-off or console change
    TSessionEnds Sessions;
};

class TGuard {
public:
    TGuard(std::string program, TGuardSignals& signals, const TGuardLog& log);
    // Returns when the service is to stop.
    void Run();

private:
    enum class TWake { Stop, Session, Handle, HandleAbandoned, Timeout };
    TWake WaitFor(HANDLE handle, HANDLE second = nullptr, DWORD timeoutMs = INFINITE, bool* secondSignalled = nullptr);

    bool StartAndSeeUp();
    bool Watch(HANDLE program);
    bool WatchProcessOnly(HANDLE program);
    bool StayDown();
    void TakeEnd(bool exitSanctioned);
    bool RelockPending() const;
    bool SessionEnding() const { return Signals.Sessions.Ending(ProgramSession); }
    void TakeWrongPasswords(uint32_t takenByTheWait);
    void TakeUnlocked();
    void CountEnd();

    std::string Program;
    TGuardSignals& Signals;
    const TGuardLog& Log;
    TGuardObjects Objects;
    bool LockAtOnce = false;
    bool Down = false;
    bool StartNext = false;   // the end just taken says to start it again
    DWORD StartedAt = 0;
    bool StartedLocked = false;
    uint32_t QuickEnds = 0;
    // Wrong passwords in a row, kept here where no program of the user's can wipe them.
    uint32_t WrongPasswords = 0;
    bool Watching = false;   // a program is up and holds the alive mutex
    bool LockFoundAbandoned = false;
    uint32_t ProgramSession = TSessionEnds::NoSession;
};
