// Bringing one of the program's windows to the foreground, also when another
// program's window has it.
#pragma once

#include <windows.h>

void ForceForegroundWindow(HWND window, bool restore);
