// Starting the program in the active console session, as the user logged on there
// and on the desktop the user sees.
#pragma once

#include <windows.h>

#include <string>

#include "platform/UniqueHandle.h"

struct TStarted {
    UniqueKernelHandle Process;
    std::string Failure;   // empty when started
};

TStarted StartInActiveSession(const std::string& program, const std::string& folder);
