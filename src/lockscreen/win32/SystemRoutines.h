// The privileged system calls of the program: shutting Windows down and
// asking for stand-by. Tests reach them only inside Wine.
#pragma once

#include <windows.h>

bool EnablePrivilege(const char* privilege, bool enable);
void ShutDownWindows(UINT flags);
bool SuspendWindows(BOOL suspend);
