// Creating the shared objects with their security, and reading a mutex's state.
#include "guard/win32/GuardObjects.h"

#include "guard/GuardNames.h"
#include "guard/GuardPolicy.h"
#include "guard/win32/SecurityAttributes.h"

namespace {

// SYSTEM and administrators may do anything; interactive users what the comment says.
// Mutexes: wait (take) and release (0x00100001).
constexpr char MutexSecurity[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100001;;;IU)";
// "Relock": wait only (0x00100000): the user cannot reset it.
constexpr char RelockSecurity[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100000;;;IU)";
// "Up" and "unlocked": set only (EVENT_MODIFY_STATE, 0x0002).
constexpr char SetOnlySecurity[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00000002;;;IU)";
// The wrong passwords reported: add only (SEMAPHORE_MODIFY_STATE, 0x0002), never take.
constexpr char CountSecurity[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00000002;;;IU)";
// The guard's count: read only (SECTION_QUERY | SECTION_MAP_READ, 0x0005).
constexpr char KeptSecurity[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00000005;;;IU)";

std::string Failed(const char* name)
{
    return std::string(name) + " (error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

std::string TGuardObjects::Create()
{
    TSecurityAttributes mutexes(MutexSecurity), relock(RelockSecurity), setOnly(SetOnlySecurity), count(CountSecurity),
        kept(KeptSecurity);
    if (!mutexes.Get() || !relock.Get() || !setOnly.Get() || !count.Get() || !kept.Get())
        return Failed("security descriptors");
    Alive.Reset(CreateMutexA(mutexes.Get(), FALSE, GuardAliveMutexName));
    if (!Alive) return Failed(GuardAliveMutexName);
    Lock.Reset(CreateMutexA(mutexes.Get(), FALSE, GuardLockMutexName));
    if (!Lock) return Failed(GuardLockMutexName);
    TimeOut.Reset(CreateMutexA(mutexes.Get(), FALSE, GuardTimeOutMutexName));
    if (!TimeOut) return Failed(GuardTimeOutMutexName);
    Relock.Reset(CreateEventA(relock.Get(), TRUE, FALSE, GuardRelockEventName));
    if (!Relock) return Failed(GuardRelockEventName);
    Up.Reset(CreateEventA(setOnly.Get(), FALSE, FALSE, GuardUpEventName));
    if (!Up) return Failed(GuardUpEventName);
    WrongPasswords.Reset(CreateSemaphoreA(count.Get(), 0, GuardWrongPasswordsMax, GuardWrongPasswordsName));
    if (!WrongPasswords) return Failed(GuardWrongPasswordsName);
    Unlocked.Reset(CreateEventA(setOnly.Get(), FALSE, FALSE, GuardUnlockedEventName));
    if (!Unlocked) return Failed(GuardUnlockedEventName);
    WrongPasswordsKept.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, kept.Get(), PAGE_READWRITE, 0,
                                                sizeof(uint32_t), GuardWrongPasswordsKeptName));
    if (!WrongPasswordsKept) return Failed(GuardWrongPasswordsKeptName);
    KeptView.Reset(MapViewOfFile(WrongPasswordsKept.Get(), FILE_MAP_WRITE, 0, 0, sizeof(uint32_t)));
    if (!KeptView) return Failed("the view of the count");
    PublishWrongPasswords(0);
    return {};
}

void TGuardObjects::PublishWrongPasswords(uint32_t count)
{
    InterlockedExchange(static_cast<LONG volatile*>(KeptView.Get()), static_cast<LONG>(count));
}

THeld TestMutex(HANDLE mutex)
{
    switch (WaitForSingleObject(mutex, 0)) {
    case WAIT_OBJECT_0:
        ReleaseMutex(mutex);
        return THeld::Free;
    case WAIT_ABANDONED:
        ReleaseMutex(mutex);
        return THeld::Abandoned;
    default:
        return THeld::ByAnother;
    }
}
