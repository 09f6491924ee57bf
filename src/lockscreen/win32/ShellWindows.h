// Hiding the shell's windows (Task Manager, task bar, desktop) while the
// workstation is locked, and showing them again after the unlock.
#pragma once

// Cheap enough for every pass of the lock loop; never waits for the windows'
// own programs, so a hung one cannot stall the lock.
void HideShellWindows();
// Shows them whatever their state before the lock; the Task Manager comes
// back minimised and without taking the focus.
void RestoreShellWindows();
