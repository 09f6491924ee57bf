// The guard's objects: the named ones opened with the rights the guard grants the user's
// program, the lock mutexes inherited when the guard started this process.
#include "core/win32/GuardLink.h"

#include <cstring>
#include <optional>

#include "guard/GuardNames.h"

namespace {

constexpr DWORD MutexRights = SYNCHRONIZE | MUTEX_MODIFY_STATE;
// The guard holds a mutex of ours only for a glance; anyone else who holds the alive mutex
// longer must not stall the program.
constexpr DWORD TakeWithinMs = 500;

bool Take(HANDLE mutex, DWORD withinMs = 0)
{
    DWORD result = WaitForSingleObject(mutex, withinMs);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

// What the guard published; nothing without a guard.
std::optional<TGuardShared> ReadShared()
{
    UniqueKernelHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, GuardSharedName));
    if (!mapping) return std::nullopt;
    UniqueView view(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, sizeof(TGuardShared)));
    if (!view) return std::nullopt;
    TGuardShared shared;
    std::memcpy(&shared, view.Get(), sizeof shared);
    return shared;
}

bool StartedBy(const std::optional<TGuardShared>& shared)
{
    return shared && shared->ProgramId == GetCurrentProcessId();
}

HANDLE HandleOf(uint32_t value)
{
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value));
}

}  // namespace

bool TGuardLink::StartedByTheGuard()
{
    return StartedBy(ReadShared());
}

bool TGuardLink::Attach()
{
    const std::optional<TGuardShared> shared = ReadShared();
    Alive.Reset(OpenMutexA(MutexRights, FALSE, GuardAliveMutexName));
    if (!Alive) return false;
    AliveHeld = Take(Alive.Get(), TakeWithinMs);
    // Inherited from the guard: only the process it started has them.
    if (StartedBy(shared)) {
        Lock.Reset(HandleOf(shared->LockMutex));
        TimeOut.Reset(HandleOf(shared->TimeOutMutex));
    }
    Relock.Reset(OpenEventA(SYNCHRONIZE, FALSE, GuardRelockEventName));
    Up.Reset(OpenEventA(EVENT_MODIFY_STATE, FALSE, GuardUpEventName));
    WrongPasswords.Reset(OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, GuardWrongPasswordsName));
    Unlocked.Reset(OpenEventA(EVENT_MODIFY_STATE, FALSE, GuardUnlockedEventName));
    bool relock = Lock && Relock && WaitForSingleObject(Relock.Get(), 0) == WAIT_OBJECT_0;
    // Held before the guard hears that the program is up, so that it can tell the relock taken up.
    if (relock) LockBegins();
    WrongPasswordsKept_ = shared ? shared->WrongPasswords : 0;
    if (Up) SetEvent(Up.Get());
    return relock;
}

void TGuardLink::LockBegins()
{
    if (Lock && !LockHeld) LockHeld = Take(Lock.Get(), TakeWithinMs);
}

void TGuardLink::LockEndedByPassword()
{
    if (LockHeld) ReleaseMutex(Lock.Get());
    LockHeld = false;
    // With the lock let go of, the guard may clear its count of wrong passwords.
    if (Unlocked) SetEvent(Unlocked.Get());
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
    // Only additions go to the guard; a count cleared by the right password is cleared
    // there when the lock ends.
    if (WrongPasswords && count > WrongPasswordsKept_ &&
        !ReleaseSemaphore(WrongPasswords.Get(), static_cast<LONG>(count - WrongPasswordsKept_), nullptr))
        return;   // the guard is behind in taking them: added with the next one
    WrongPasswordsKept_ = count;
}
