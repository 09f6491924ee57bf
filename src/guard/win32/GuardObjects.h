// The named objects the guard shares with the program, made by the guard with rights
// that let the user's program do its part and no more: take and release its own
// mutexes, set "up" and "unlocked", add wrong passwords, read the guard's count of
// them, and only wait on "relock".
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "guard/GuardPolicy.h"
#include "platform/UniqueHandle.h"

struct TGuardObjects {
    UniqueKernelHandle Alive, Lock, TimeOut, Relock, Up, WrongPasswords, Unlocked, WrongPasswordsKept;
    UniqueView KeptView;

    // Empty text when all exist; otherwise what failed.
    std::string Create();
    // What the program started next reads as the wrong passwords in a row so far.
    void PublishWrongPasswords(uint32_t count);
};

// What the guard learns of a mutex of the program without waiting; a mutex it gets
// hold of is released again at once.
THeld TestMutex(HANDLE mutex);
