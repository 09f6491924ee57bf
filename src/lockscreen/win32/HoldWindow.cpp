// Putting a lock window back after another program changed it.
#include "lockscreen/win32/HoldWindow.h"

void HoldWindow(HWND window, const RECT& area)
{
    if (GetAncestor(window, GA_PARENT) != GetDesktopWindow()) SetParent(window, nullptr);
    if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)
        SetWindowLongA(window, GWL_STYLE, (GetWindowLongA(window, GWL_STYLE) & ~WS_CHILD) | WS_POPUP);
    if (!IsWindowEnabled(window)) EnableWindow(window, TRUE);
    if (IsIconic(window)) ShowWindow(window, SW_SHOWNOACTIVATE);
    if (!IsWindowVisible(window)) ShowWindow(window, SW_SHOWNA);
    RECT now = {};
    GetWindowRect(window, &now);
    if (!EqualRect(&now, &area))
        SetWindowPos(window, HWND_TOPMOST, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOACTIVATE);
}

void RefuseMoveOrHide(WINDOWPOS& change, const RECT& area)
{
    change.flags &= ~SWP_HIDEWINDOW;
    if (!(change.flags & SWP_NOMOVE)) {
        change.x = area.left;
        change.y = area.top;
    }
    if (!(change.flags & SWP_NOSIZE)) {
        change.cx = area.right - area.left;
        change.cy = area.bottom - area.top;
    }
}
