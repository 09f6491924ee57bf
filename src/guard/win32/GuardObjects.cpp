// Creating the shared objects with their security, and reading a mutex's state.
#include "guard/win32/GuardObjects.h"

#include <sddl.h>

#include "guard/GuardNames.h"
#include "guard/GuardPolicy.h"

namespace {

// SYSTEM and administrators may do anything; interactive users what the comment says.
// Mutexes: wait (take) and release (0x00100001).
constexpr char MutexSecurity[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100001;;;IU)";
// "Relock": wait only (0x00100000): the user cannot reset it.
constexpr char RelockSecurity[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100000;;;IU)";
// "Up": set only (EVENT_MODIFY_STATE, 0x0002).
constexpr char UpSecurity[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00000002;;;IU)";
// The count: add (SEMAPHORE_MODIFY_STATE) and take (SYNCHRONIZE), which the right password needs.
constexpr char CountSecurity[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100002;;;IU)";

class TSecurity {
public:
    explicit TSecurity(const char* sddl)
    {
        Attributes.nLength = sizeof Attributes;
        Attributes.bInheritHandle = FALSE;
        ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &Attributes.lpSecurityDescriptor,
                                                             nullptr);
    }
    ~TSecurity() { LocalFree(Attributes.lpSecurityDescriptor); }
    TSecurity(const TSecurity&) = delete;
    TSecurity& operator=(const TSecurity&) = delete;
    SECURITY_ATTRIBUTES* Get() { return Attributes.lpSecurityDescriptor ? &Attributes : nullptr; }

private:
    SECURITY_ATTRIBUTES Attributes = {};
};

std::string Failed(const char* name)
{
    return std::string(name) + " (error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

std::string TGuardObjects::Create()
{
    TSecurity mutexes(MutexSecurity), relock(RelockSecurity), up(UpSecurity), count(CountSecurity);
    if (!mutexes.Get() || !relock.Get() || !up.Get() || !count.Get()) return Failed("security descriptors");
    Alive.Reset(CreateMutexA(mutexes.Get(), FALSE, GuardAliveMutexName));
    if (!Alive) return Failed(GuardAliveMutexName);
    Lock.Reset(CreateMutexA(mutexes.Get(), FALSE, GuardLockMutexName));
    if (!Lock) return Failed(GuardLockMutexName);
    TimeOut.Reset(CreateMutexA(mutexes.Get(), FALSE, GuardTimeOutMutexName));
    if (!TimeOut) return Failed(GuardTimeOutMutexName);
    Relock.Reset(CreateEventA(relock.Get(), TRUE, FALSE, GuardRelockEventName));
    if (!Relock) return Failed(GuardRelockEventName);
    Up.Reset(CreateEventA(up.Get(), FALSE, FALSE, GuardUpEventName));
    if (!Up) return Failed(GuardUpEventName);
    WrongPasswords.Reset(CreateSemaphoreA(count.Get(), 0, GuardWrongPasswordsMax, GuardWrongPasswordsName));
    if (!WrongPasswords) return Failed(GuardWrongPasswordsName);
    return {};
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
