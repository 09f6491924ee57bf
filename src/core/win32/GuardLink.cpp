// The guard's objects opened with the rights the guard grants the user's program.
#include "core/win32/GuardLink.h"

#include "guard/GuardNames.h"

namespace {

constexpr DWORD MutexRights = SYNCHRONIZE | MUTEX_MODIFY_STATE;

// Taken at once or never: a mutex another process holds must not stall the program.
bool Take(HANDLE mutex)
{
    DWORD result = WaitForSingleObject(mutex, 0);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

}  // namespace

bool TGuardLink::GuardAwaitsAProgram()
{
    UniqueKernelHandle relock(OpenEventA(SYNCHRONIZE, FALSE, GuardRelockEventName));
    if (!relock || WaitForSingleObject(relock.Get(), 0) != WAIT_OBJECT_0) return false;
    UniqueKernelHandle alive(OpenMutexA(MutexRights, FALSE, GuardAliveMutexName));
    if (!alive || !Take(alive.Get())) return false;
    ReleaseMutex(alive.Get());
    return true;
}

bool TGuardLink::Attach()
{
    Alive.Reset(OpenMutexA(MutexRights, FALSE, GuardAliveMutexName));
    if (!Alive) return false;
    AliveHeld = Take(Alive.Get());
    Lock.Reset(OpenMutexA(MutexRights, FALSE, GuardLockMutexName));
    TimeOut.Reset(OpenMutexA(MutexRights, FALSE, GuardTimeOutMutexName));
    Relock.Reset(OpenEventA(SYNCHRONIZE, FALSE, GuardRelockEventName));
    Up.Reset(OpenEventA(EVENT_MODIFY_STATE, FALSE, GuardUpEventName));
    WrongPasswords.Reset(OpenSemaphoreA(SYNCHRONIZE | SEMAPHORE_MODIFY_STATE, FALSE, GuardWrongPasswordsName));
    bool relock = Relock && WaitForSingleObject(Relock.Get(), 0) == WAIT_OBJECT_0;
    // Held before the guard hears that the program is up, so that it can tell the relock taken up.
    if (relock) LockBegins();
    if (WrongPasswords) {
        LONG previous = 0;
        if (ReleaseSemaphore(WrongPasswords.Get(), 1, &previous)) {
            WaitForSingleObject(WrongPasswords.Get(), 0);
            WrongPasswordsKept_ = static_cast<uint32_t>(previous);
        }
    }
    if (Up) SetEvent(Up.Get());
    return relock;
}

void TGuardLink::LockBegins()
{
    if (Lock && !LockHeld) LockHeld = Take(Lock.Get());
}

void TGuardLink::LockEndedByPassword()
{
    if (LockHeld) ReleaseMutex(Lock.Get());
    LockHeld = false;
}

void TGuardLink::SetTimeExpired(bool expired)
{
    if (!TimeOut || expired == TimeOutHeld) return;
    if (expired)
        TimeOutHeld = Take(TimeOut.Get());
    else if (ReleaseMutex(TimeOut.Get()))
        TimeOutHeld = false;
}

void TGuardLink::ExitSanctioned()
{
    // The guard takes an exit only with nothing left in force.
    SetTimeExpired(false);
    LockEndedByPassword();
    if (AliveHeld) ReleaseMutex(Alive.Get());
    AliveHeld = false;
}

uint32_t TGuardLink::WrongPasswordsKept()
{
    return WrongPasswordsKept_;
}

void TGuardLink::KeepWrongPasswords(uint32_t count)
{
    if (!WrongPasswords) return;
    if (count > WrongPasswordsKept_) {
        if (ReleaseSemaphore(WrongPasswords.Get(), static_cast<LONG>(count - WrongPasswordsKept_), nullptr))
            WrongPasswordsKept_ = count;
        return;
    }
    while (WrongPasswordsKept_ > count && WaitForSingleObject(WrongPasswords.Get(), 0) == WAIT_OBJECT_0)
        --WrongPasswordsKept_;
    // Whatever else took from the count, none is left over a right password.
    if (count == 0)
        while (WaitForSingleObject(WrongPasswords.Get(), 0) == WAIT_OBJECT_0) {
        }
    WrongPasswordsKept_ = count;
}
