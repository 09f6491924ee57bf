// The objects the guard shares with the program, made by the guard with rights that let
// the user's program do its part and no more: take and release the alive mutex, set "up"
// and "unlocked", add wrong passwords, read what the guard publishes, and only wait on
// "relock". The lock and time-out mutexes only the process the guard started can reach.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "guard/GuardPolicy.h"
#include "platform/UniqueHandle.h"

struct TGuardObjects {
    UniqueKernelHandle Alive, Relock, Up, WrongPasswords, Unlocked, Shared;
    // Unnamed and inherited by the program the guard starts, and by no one else.
    UniqueKernelHandle Lock, TimeOut;
    UniqueView SharedView;

    // Empty text when all exist; otherwise what failed.
    std::string Create();
    // What the program started next reads as the wrong passwords in a row so far.
    void PublishWrongPasswords(uint32_t count);
    // Which process holds the lock and time-out mutexes; 0 when none does.
    void PublishProgram(uint32_t processId);
};

// What the guard learns of a mutex of the program without waiting; a mutex it gets
// hold of is released again at once.
THeld TestMutex(HANDLE mutex);
