// The names the guard service and the program it keeps running meet by. The guard
// creates each object and decides who may do what with it; the program only opens them.
#pragma once

#include <cstdint>

// Held by the program for as long as it runs; released only by an exit the guard must
// not undo, so an end by any other way leaves it abandoned.
inline constexpr char GuardAliveMutexName[] = "Global\\HalvexGuardAlive";
// Set by the guard only: the program it starts must lock at once.
inline constexpr char GuardRelockEventName[] = "Global\\HalvexGuardRelock";
// Set by the program once it holds its mutexes: the guard then knows a relock was taken up.
inline constexpr char GuardUpEventName[] = "Global\\HalvexGuardUp";
// The program adds each wrong password here, and the guard takes them into a count of its
// own: the program may add but not take, so no program of the user's can wipe the count.
inline constexpr char GuardWrongPasswordsName[] = "Global\\HalvexGuardWrongPasswords";
inline constexpr long GuardWrongPasswordsMax = 1000000;
// What the guard tells the program it starts, read-only to users.
inline constexpr char GuardSharedName[] = "Global\\HalvexGuardShared";
struct TGuardShared {
    uint32_t WrongPasswords;   // in a row, as the guard keeps them
    uint32_t ProgramId;        // the process the guard started, 0 once that has ended
    // The lock mutex (held from the start of a lock until the right password ends it) and
    // the time-out mutex (held while the usage time has run out), as handle values in that
    // process. They have no name: only the guard and the process it started hold them, so
    // no other program can take, hold or free them.
    uint32_t LockMutex;
    uint32_t TimeOutMutex;
};
// Set by the program after a right password has ended a lock; the guard clears its count only
// when the lock mutex is then free, so a program that sets it during a lock clears nothing.
inline constexpr char GuardUnlockedEventName[] = "Global\\HalvexGuardUnlocked";

inline constexpr char GuardServiceName[] = "HalvexGuard";
inline constexpr char GuardServiceDisplayName[] = "Halvex Guard";
