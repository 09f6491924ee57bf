// Keeping a window of the lock where it must be: any program may hide, minimise,
// move, resize, disable or re-parent another program's window.
#pragma once

#include <windows.h>

// Visible, restored, enabled, top-level and covering area again; only what was
// changed is put back, so a pass where nothing happened costs a few reads.
void HoldWindow(HWND window, const RECT& area);

// For WM_WINDOWPOSCHANGING: a change that would hide, move or resize the window
// is turned into none.
void RefuseMoveOrHide(WINDOWPOS& change, const RECT& area);
