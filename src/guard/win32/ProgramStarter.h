// Starting the program in the active console session, as the user logged on there
// and on the desktop the user sees.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/UniqueHandle.h"

struct TStarted {
    UniqueKernelHandle Process;
    DWORD Session = 0;     // the one it was started in
    std::string Failure;   // empty when started
    std::string Warning;   // started, but not as well protected as it should be
};

// The program runs in its own folder, where it looks for its files, and inherits the
// guard's inheritable handles. beforeItRuns is told its process id while it is held
// suspended, so that what it is to read at start is in place.
TStarted StartInActiveSession(const std::string& program, const std::function<void(DWORD processId)>& beforeItRuns);

// The folder part of a path, without the last separator; "." when there is none.
std::string FolderOf(const std::string& path);
