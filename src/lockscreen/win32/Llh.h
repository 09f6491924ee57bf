// The low-level keyboard hook that keeps the task-switching keys away from the
// rest of the system while the workstation is locked (NT family only).
#pragma once

#include <windows.h>

// The hook it installed, or nullptr when it installed none: on the 9x family,
// while one is installed already, or when the system refused.
HHOOK InstallKeyboardHook();
// Puts a fresh hook in place of the installed one, the new one first so that no key
// passes between; also installs one where the system refused it before. The new hook,
// or nullptr when it installed none (the 9x family, or refused: the old one stays).
HHOOK ReinstallKeyboardHook();
// The unhook result; false when no hook was installed.
bool RemoveKeyboardHook();
LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
