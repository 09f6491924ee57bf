// The guard's loop. The program holds the alive mutex for as long as it runs and lets go
// of it only for an exit the guard must not undo; ended any other way, it leaves the mutex
// abandoned, and its lock and time-out mutexes tell whether it must come back locked.
#include "guard/win32/Guard.h"

#include <stdexcept>

#include "guard/GuardNames.h"
#include "guard/GuardPolicy.h"
#include "guard/win32/ProgramStarter.h"

namespace {

// Without a user to start the program for, the guard looks again at a logon, or after this.
constexpr DWORD NoUserRetryMs = 60 * 1000;
// A program takes its place well within this after its start.
constexpr DWORD UpDeadlineMs = 15 * 1000;
// A program that lets go of the alive mutex to exit has ended within this.
constexpr DWORD ExitDeadlineMs = 5 * 1000;
// A program that ends sooner after its start counts as failing at start.
constexpr DWORD SettledAfterMs = 10 * 1000;

const char* Describe(THeld held)
{
    switch (held) {
    case THeld::Free: return "free";
    case THeld::Abandoned: return "abandoned";
    default: return "held by another process";
    }
}

}  // namespace

TGuard::TGuard(std::string program, TGuardSignals& signals, const TGuardLog& log)
    : Program(std::move(program)), Signals(signals), Log(log)
{
}

// Wrong passwords and "unlocked" are taken up on the way, whatever else the caller waits for.
TGuard::TWake TGuard::WaitFor(HANDLE handle, HANDLE second, DWORD timeoutMs, bool* secondSignalled)
{
    const DWORD start = GetTickCount();
    for (;;) {
        HANDLE handles[6] = {Signals.Stop, Signals.SessionChanged};
        DWORD count = 2;
        if (handle) handles[count++] = handle;
        const DWORD secondIndex = count;
        if (second) handles[count++] = second;
        const DWORD countIndex = count;
        handles[count++] = Objects.WrongPasswords.Get();
        handles[count++] = Objects.Unlocked.Get();
        DWORD waited = GetTickCount() - start;
        DWORD left = timeoutMs == INFINITE ? INFINITE : (waited < timeoutMs ? timeoutMs - waited : 0);
        DWORD result = WaitForMultipleObjects(count, handles, FALSE, left);
        if (result == WAIT_OBJECT_0 + countIndex || result == WAIT_OBJECT_0 + countIndex + 1) {
            if (result == WAIT_OBJECT_0 + countIndex)
                TakeWrongPasswords(1);
            else
                TakeUnlocked();
            // Signalled without end, they must not keep the caller's time from running out.
            if (timeoutMs != INFINITE && GetTickCount() - start >= timeoutMs) return TWake::Timeout;
            continue;
        }
        if (secondSignalled) *secondSignalled = second && result == WAIT_OBJECT_0 + secondIndex;
        if (result == WAIT_OBJECT_0) return TWake::Stop;
        if (result == WAIT_OBJECT_0 + 1) return TWake::Session;
        if (result == WAIT_TIMEOUT) return TWake::Timeout;
        if (result >= WAIT_ABANDONED_0 && result < WAIT_ABANDONED_0 + count) return TWake::HandleAbandoned;
        if (result == WAIT_FAILED) return TWake::Stop;
        return TWake::Handle;
    }
}

// takenByTheWait: a wait that ends on the semaphore has taken one from it already.
void TGuard::TakeWrongPasswords(uint32_t takenByTheWait)
{
    uint32_t before = WrongPasswords;
    const uint32_t most = static_cast<uint32_t>(GuardWrongPasswordsMax);
    uint32_t taken = takenByTheWait;
    // Bounded: a program that adds without end must not hold the guard here.
    while (taken < most && WaitForSingleObject(Objects.WrongPasswords.Get(), 0) == WAIT_OBJECT_0) ++taken;
    WrongPasswords = taken < most - WrongPasswords ? WrongPasswords + taken : most;
    if (WrongPasswords != before) Objects.PublishWrongPasswords(WrongPasswords);
}

// Only a program that is up may clear the count, and only with its lock mutex let go of:
// a lock still held means the "unlocked" came from someone else.
void TGuard::TakeUnlocked()
{
    if (!Watching || WrongPasswords == 0 || RelockPending()) return;
    THeld lock = TestMutex(Objects.Lock.Get());
    // The program has just ended in its lock: the look took up what its end must still tell.
    if (lock == THeld::Abandoned) LockFoundAbandoned = true;
    if (lock != THeld::Free) return;
    WrongPasswords = 0;
    Objects.PublishWrongPasswords(0);
}

bool TGuard::RelockPending() const
{
    return WaitForSingleObject(Objects.Relock.Get(), 0) == WAIT_OBJECT_0;
}

// The program has ended (the alive mutex is ours now and released again): decide.
void TGuard::TakeEnd(bool exitSanctioned)
{
    Watching = false;
    // A later program with the same id must not take the lock mutexes for its own.
    Objects.PublishProgram(0);
    // Reported just before the end, and not yet taken up.
    TakeWrongPasswords(0);
    TProgramEnd end;
    end.ExitSanctioned = exitSanctioned;
    end.Lock = TestMutex(Objects.Lock.Get());
    if (LockFoundAbandoned && end.Lock == THeld::Free) end.Lock = THeld::Abandoned;
    LockFoundAbandoned = false;
    end.TimeOut = TestMutex(Objects.TimeOut.Get());
    end.RelockPending = RelockPending();
    end.SessionEnding = SessionEnding();
    TRestart restart = DecideAfterEnd(end);
    Log.Write(std::string("program ended") + (exitSanctioned ? " by its own exit" : "") + "; lock " +
              Describe(end.Lock) + ", time-out " + Describe(end.TimeOut) +
              (end.SessionEnding ? ", session ending" : "") +
              (restart.Start ? (restart.LockAtOnce ? ": started again, locked" : ": started again") : ": left ended"));
    Down = !restart.Start;
    StartNext = restart.Start;
    LockAtOnce = restart.LockAtOnce;
    // Wrong passwords count against the lock they were entered at, and it is over unless brought back.
    if (!LockAtOnce && WrongPasswords != 0) {
        WrongPasswords = 0;
        Objects.PublishWrongPasswords(0);
    }
    if (Down) ResetEvent(Objects.Relock.Get());
}

// After an exit the guard must not undo it waits for a new session, or for the program
// started by hand, whose start it hears of.
bool TGuard::StayDown()
{
    for (;;) {
        switch (WaitFor(Objects.Up.Get())) {
        case TWake::Stop: return false;
        case TWake::Session:
            // A new session, or a switch of the console to one that is not ending: start afresh.
            if (Signals.Sessions.ServiceStopping() || Signals.Sessions.Ending(WTSGetActiveConsoleSessionId()))
                continue;
            Down = false;
            ProgramSession = TSessionEnds::NoSession;
            return true;
        default:
            switch (TestMutex(Objects.Alive.Get())) {
            case THeld::ByAnother: return Watch(nullptr);
            case THeld::Abandoned: TakeEnd(false); return true;
            default: continue;   // "up" from someone who is no program of ours
            }
        }
    }
}

// A program is up and holds the alive mutex: wait until it lets go or ends. With the process
// the guard started, a release counts as an exit only when that process then ends: anyone
// may take and release the mutex, only the program's own thread ends the program.
bool TGuard::Watch(HANDLE program)
{
    Watching = true;
    // A program started by hand runs in the session at the console.
    if (!program) {
        ProgramSession = WTSGetActiveConsoleSessionId();
        StartedAt = GetTickCount();
        StartedLocked = false;
    }
    for (;;) {
        switch (WaitFor(Objects.Alive.Get(), program)) {
        case TWake::Stop: return false;
        case TWake::Session: continue;
        case TWake::Handle: {
            // Taken by the wait, whoever let go of it. A program exiting ends right after.
            bool runsOn = program && WaitForSingleObject(program, ExitDeadlineMs) != WAIT_OBJECT_0;
            ReleaseMutex(Objects.Alive.Get());
            if (runsOn) {
                Log.Write("the alive mutex was let go while the program runs on; watching its process");
                return WatchProcessOnly(program);
            }
            TakeEnd(true);
            return true;
        }
        case TWake::HandleAbandoned:
            ReleaseMutex(Objects.Alive.Get());
            CountEnd();
            TakeEnd(false);
            return true;
        default:
            // The program's process ended while the mutex is held elsewhere: no exit of its own.
            CountEnd();
            TakeEnd(false);
            return true;
        }
    }
}

bool TGuard::WatchProcessOnly(HANDLE program)
{
    for (;;) {
        switch (WaitFor(program)) {
        case TWake::Stop: return false;
        case TWake::Session: continue;
        default: CountEnd(); TakeEnd(false); return true;
        }
    }
}

// A program that fails soon after it was up (its window cannot be made, say) would
// otherwise be started again and again without a pause. A locked start is never held back,
// so its ends count for nothing.
void TGuard::CountEnd()
{
    bool quick = !StartedLocked && GetTickCount() - StartedAt < SettledAfterMs;
    QuickEnds = quick ? QuickEnds + 1 : 0;
}

// Starts the program and waits until it says it is up (then watches it) or ends first.
bool TGuard::StartAndSeeUp()
{
    StartNext = false;
    if (LockAtOnce) SetEvent(Objects.Relock.Get());
    ResetEvent(Objects.Up.Get());
    // A lock is never held back: only a program that may start unlocked waits between tries.
    if (uint32_t delay = LockAtOnce ? 0 : RestartDelayMs(QuickEnds)) {
        if (WaitFor(nullptr, nullptr, delay) == TWake::Stop) return false;
    }
    TStarted started =
        StartInActiveSession(Program, [this](DWORD processId) { Objects.PublishProgram(processId); });
    if (!started.Process) {
        Log.Write("cannot start " + Program + ": " + started.Failure);
        return WaitFor(nullptr, nullptr, NoUserRetryMs) != TWake::Stop;
    }
    if (!started.Warning.empty()) Log.Write(started.Warning);
    ProgramSession = started.Session;
    StartedAt = GetTickCount();
    StartedLocked = LockAtOnce;
    Log.Write(std::string("started ") + Program + (LockAtOnce ? " to lock at once" : ""));
    for (;;) {
        bool up = false;
        TWake wake = WaitFor(started.Process.Get(), Objects.Up.Get(), UpDeadlineMs, &up);
        if (wake == TWake::Stop) return false;
        if (wake == TWake::Session) continue;
        if (wake == TWake::Timeout) {
            // Held up before it took its place (a window it waits for, a name taken): started afresh.
            Log.Write("the program was not up in time; ended and started again");
            TerminateProcess(started.Process.Get(), 1);
            WaitForSingleObject(started.Process.Get(), ExitDeadlineMs);
        } else if (up) {
            // Anyone may set "up": it counts only once the alive mutex is held.
            if (TestMutex(Objects.Alive.Get()) != THeld::ByAnother) continue;
            // A relock is done once the program holds the lock mutex; until then it stays asked for.
            if (RelockPending() && TestMutex(Objects.Lock.Get()) == THeld::ByAnother) {
                ResetEvent(Objects.Relock.Get());
                LockAtOnce = false;
            }
            return Watch(started.Process.Get());
        }
        // Ended before it was up: a second instance of one already running, or a failure at start.
        THeld alive = TestMutex(Objects.Alive.Get());
        if (alive == THeld::ByAnother) return Watch(nullptr);
        ++QuickEnds;
        TakeEnd(false);
        return true;
    }
}

void TGuard::Run()
{
    std::string failure = Objects.Create();
    if (!failure.empty()) {
        Log.Write("cannot create the shared objects: " + failure);
        throw std::runtime_error("no shared objects");
    }
    Log.Write("guarding " + Program);
    for (;;) {
        bool goOn = false;
        if (Down || SessionEnding()) {
            goOn = StayDown();
        } else if (StartNext) {
            // Decided at the program's end: whoever holds the alive mutex now is not the program.
            goOn = StartAndSeeUp();
        } else {
            switch (TestMutex(Objects.Alive.Get())) {
            case THeld::ByAnother: goOn = Watch(nullptr); break;
            case THeld::Abandoned: TakeEnd(false); goOn = true; break;
            default: goOn = StartAndSeeUp(); break;
            }
        }
        if (!goOn) return;
    }
}
