// Starting the program in the active console session, as the user logged on there
// and on the desktop the user sees.
#pragma once

#include <windows.h>

#include <string>

#include "platform/UniqueHandle.h"

struct TStarted {
    UniqueKernelHandle Process;
    DWORD Session = 0;     // the one it was started in
    std::string Failure;   // empty when started
};

// The program runs in its own folder, where it looks for its files.
TStarted StartInActiveSession(const std::string& program);

// The folder part of a path, without the last separator; "." when there is none.
std::string FolderOf(const std::string& path);
