// Creating the shared objects with their security, and reading a mutex's state.
#include "guard/win32/GuardObjects.h"

#include "guard/GuardNames.h"
#include "guard/GuardPolicy.h"
#include "guard/win32/SecurityAttributes.h"

namespace {

// SYSTEM and administrators may do anything; interactive users what the comment says.
// The alive mutex: wait (take) and release (0x00100001).
constexpr char MutexSecurity[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100001;;;IU)";
// "Relock": wait only (0x00100000): the user cannot reset it.
constexpr char RelockSecurity[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100000;;;IU)";
// "Up" and "unlocked": set only (EVENT_MODIFY_STATE, 0x0002).
constexpr char SetOnlySecurity[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00000002;;;IU)";
// The wrong passwords reported: add only (SEMAPHORE_MODIFY_STATE, 0x0002), never take.
constexpr char CountSecurity[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00000002;;;IU)";
// What the guard publishes: read only (SECTION_QUERY | SECTION_MAP_READ, 0x0005).
constexpr char SharedSecurity[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00000005;;;IU)";
// The lock and time-out mutexes: no one but SYSTEM and administrators may open them; the
// program the guard starts holds them by inheritance.
constexpr char InheritedSecurity[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)";

void Publish(uint32_t* field, uint32_t value)
{
    InterlockedExchange(reinterpret_cast<LONG volatile*>(field), static_cast<LONG>(value));
}

std::string Failed(const char* name)
{
    return std::string(name) + " (error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

std::string TGuardObjects::Create()
{
    TSecurityAttributes mutexes(MutexSecurity), relock(RelockSecurity), setOnly(SetOnlySecurity), count(CountSecurity),
        shared(SharedSecurity), inherited(InheritedSecurity, true);
    if (!mutexes.Get() || !relock.Get() || !setOnly.Get() || !count.Get() || !shared.Get() || !inherited.Get())
        return Failed("security descriptors");
    Alive.Reset(CreateMutexA(mutexes.Get(), FALSE, GuardAliveMutexName));
    if (!Alive) return Failed(GuardAliveMutexName);
    Lock.Reset(CreateMutexA(inherited.Get(), FALSE, nullptr));
    if (!Lock) return Failed("the lock mutex");
    TimeOut.Reset(CreateMutexA(inherited.Get(), FALSE, nullptr));
    if (!TimeOut) return Failed("the time-out mutex");
    Relock.Reset(CreateEventA(relock.Get(), TRUE, FALSE, GuardRelockEventName));
    if (!Relock) return Failed(GuardRelockEventName);
    Up.Reset(CreateEventA(setOnly.Get(), FALSE, FALSE, GuardUpEventName));
    if (!Up) return Failed(GuardUpEventName);
    WrongPasswords.Reset(CreateSemaphoreA(count.Get(), 0, GuardWrongPasswordsMax, GuardWrongPasswordsName));
    if (!WrongPasswords) return Failed(GuardWrongPasswordsName);
    Unlocked.Reset(CreateEventA(setOnly.Get(), FALSE, FALSE, GuardUnlockedEventName));
    if (!Unlocked) return Failed(GuardUnlockedEventName);
    Shared.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, shared.Get(), PAGE_READWRITE, 0, sizeof(TGuardShared),
                                    GuardSharedName));
    if (!Shared) return Failed(GuardSharedName);
    SharedView.Reset(MapViewOfFile(Shared.Get(), FILE_MAP_WRITE, 0, 0, sizeof(TGuardShared)));
    if (!SharedView) return Failed("the view of the shared block");
    auto* block = static_cast<TGuardShared*>(SharedView.Get());
    // 32-bit handle values: the guard and the program are both 32-bit programs.
    Publish(&block->LockMutex, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(Lock.Get())));
    Publish(&block->TimeOutMutex, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(TimeOut.Get())));
    PublishProgram(0);
    PublishWrongPasswords(0);
    return {};
}

void TGuardObjects::PublishWrongPasswords(uint32_t count)
{
    Publish(&static_cast<TGuardShared*>(SharedView.Get())->WrongPasswords, count);
}

void TGuardObjects::PublishProgram(uint32_t processId)
{
    Publish(&static_cast<TGuardShared*>(SharedView.Get())->ProgramId, processId);
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
