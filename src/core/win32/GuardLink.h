// The program's side of the guard service: what the guard must know to bring the
// program back as it was when it is ended. Without the guard (the program started on
// its own) every call does nothing.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/UniqueHandle.h"

class TGuardLink {
public:
    // Takes the program's place with the guard; true when the guard started it to lock at once.
    bool Attach();
    // The guard started this process: whoever holds the program's instance name is not the
    // program the guard watched, and must not keep it (and a lock it brings back) away.
    static bool StartedByTheGuard();

    void LockBegins();
    // Only when the lock ended with a password: after the shut-down path it stays held,
    // so that a program ended but not followed by a shutdown comes back locked.
    void LockEndedByPassword();
    void SetTimeExpired(bool expired);
    // "Exit" with the admin password and the end of the session: the guard leaves the program ended.
    void ExitSanctioned();

    uint32_t WrongPasswordsKept();
    void KeepWrongPasswords(uint32_t count);

private:
    UniqueKernelHandle Alive, Lock, TimeOut, Relock, Up, WrongPasswords, Unlocked;
    bool AliveHeld = false;
    bool LockHeld = false;
    bool TimeOutHeld = false;
    uint32_t WrongPasswordsKept_ = 0;
};
