// Hiding the shell's windows (Task Manager, task bar, desktop) while the
// workstation is locked, and showing them again after the unlock.
#pragma once

#include <windows.h>

#include <vector>

// Never waits for the windows' own programs, so a hung one cannot stall the lock.
void HideShellWindows();

// The same for every pass of the lock loop, cheaply: one walk of the top-level
// windows, whose class and title are read only for windows new since the last
// pass, and in full every half second at the loop's pace, for a window renamed meanwhile.
class TShellWindowWatch {
public:
    void HideShellWindows();

private:
    std::vector<HWND> Seen;    // sorted: the windows looked at
    std::vector<HWND> Shell;   // the shell's windows among them
    int PassesSinceFullLook = 0;
    static constexpr int FullLookPasses = 50;
};
// Shows them whatever their state before the lock; the Task Manager comes
// back minimised and without taking the focus.
void RestoreShellWindows();
