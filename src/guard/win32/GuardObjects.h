// The named objects the guard shares with the program, made by the guard with rights
// that let the user's program do its part and no more: take and release its own
// mutexes, set "up", count wrong passwords, and only wait on "relock".
#pragma once

#include <windows.h>

#include <string>

#include "guard/GuardPolicy.h"
#include "platform/UniqueHandle.h"

struct TGuardObjects {
    UniqueKernelHandle Alive, Lock, TimeOut, Relock, Up, WrongPasswords;

    // Empty text when all exist; otherwise what failed.
    std::string Create();
};

// What the guard learns of a mutex of the program without waiting; a mutex it gets
// hold of is released again at once.
THeld TestMutex(HANDLE mutex);
