// The foreground is only granted to a thread that shares input with the
// thread that has it; the queues are joined for the one call only, as joined
// queues share key state and one hung thread would stall the other's input.
#include "platform/ForceForeground.h"

void ForceForegroundWindow(HWND window, bool restore)
{
    if (!IsWindowEnabled(window)) return;
    DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    DWORD ownThread = GetWindowThreadProcessId(window, nullptr);
    bool attached = foregroundThread && foregroundThread != ownThread &&
                    AttachThreadInput(foregroundThread, ownThread, TRUE);
    SetForegroundWindow(window);
    if (attached) AttachThreadInput(foregroundThread, ownThread, FALSE);
    if (!restore || !IsWindowVisible(window)) return;
    if (!IsZoomed(window)) SendMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    SetFocus(window);
}
