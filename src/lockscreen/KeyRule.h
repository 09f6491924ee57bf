// Which key events the low-level keyboard hook swallows while the workstation
// is locked: the task-switching keys Alt+Tab, Alt+Esc, Ctrl+Esc and Ctrl+Shift+Esc.
#pragma once

// message: the hook's wParam (key down/up, system key down/up; anything
// else passes); flags: the hook record's flags; controlDown: whether Ctrl
// is held as the keyboard state tells it.
bool SwallowLockKey(unsigned message, unsigned virtualKey, unsigned flags, bool controlDown);
