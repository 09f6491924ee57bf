// The low-level keyboard hook that keeps the task-switching keys away from the
// rest of the system while the workstation is locked (NT family only).
#pragma once

#include <windows.h>

// The hook it installed, or nullptr when it installed none: on the 9x family,
// while one is installed already, or when the system refused.
HHOOK InstallKeyboardHook();
// The unhook result; false when no hook was installed.
bool RemoveKeyboardHook();
LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
