// The program's global hot key: registered from the hot-key control's value,
// and the lock action's caption that shows it.
#include <windows.h>
#include <commctrl.h>

#include "core/HotKeyCode.h"
#include "core/win32/MainForm.h"
#include "core/win32/MainFormIds.h"
#include "core/win32/ProgramGlobals.h"
#include "platform/ReportFailure.h"

namespace {

constexpr char LockCaption[] = "Halvex  ";

std::string SystemKeyName(unsigned virtualKey)
{
    UINT scanCode = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    char name[64] = {};
    if (!scanCode || GetKeyNameTextA(static_cast<LONG>(scanCode << 16), name, sizeof name) <= 0) return "";
    return name;
}

LRESULT CALLBACK HotKeyControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR form)
{
    // The control has no leave notification of its own.
    if (message == WM_KILLFOCUS) {
        try {
            reinterpret_cast<TMainForm*>(form)->SetHalvexHotKey(THotKeyFrom::Control);
        } catch (...) {
            ReportCurrentException(GetAncestor(control, GA_ROOT));
        }
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

void TMainForm::WatchHotKeyControl()
{
    SetWindowSubclass(Control(IdHalvexHotKey), HotKeyControlProcedure, 1, reinterpret_cast<DWORD_PTR>(this));
}

// The control keeps the key in the low byte and HOTKEYF_* flags in the high byte.
uint16_t TMainForm::HotKeyCodeOfControl() const
{
    auto value = static_cast<WORD>(SendMessageA(Control(IdHalvexHotKey), HKM_GETHOTKEY, 0, 0));
    BYTE flags = HIBYTE(value);
    uint16_t code = LOBYTE(value);
    if (flags & HOTKEYF_SHIFT) code |= HotKeyShift;
    if (flags & HOTKEYF_CONTROL) code |= HotKeyCtrl;
    if (flags & HOTKEYF_ALT) code |= HotKeyAlt;
    return code;
}

void TMainForm::SetHotKeyControl(uint16_t code)
{
    BYTE flags = 0;
    if (code & HotKeyShift) flags |= HOTKEYF_SHIFT;
    if (code & HotKeyCtrl) flags |= HOTKEYF_CONTROL;
    if (code & HotKeyAlt) flags |= HOTKEYF_ALT;
    // Virtual keys fit a byte; the control cannot hold more.
    SendMessageA(Control(IdHalvexHotKey), HKM_SETHOTKEY, MAKEWORD(code & 0xFF, flags), 0);
}

void TMainForm::SetHalvexHotKey(THotKeyFrom from)
{
    UnregisterHotKey(Handle(), HotKeyId);
    uint16_t code = HotKeyCodeOfControl();
    HotKeyRegistration registration = RegistrationOf(code);
    RegisterHotKey(Handle(), HotKeyId, registration.Modifiers, registration.VirtualKey);
    if (code == CurrentHotKey) return;
    CurrentHotKey = code;
    Actions.SetCaption(CmdSetHalvex, LockCaption + HotKeyText(code, SystemKeyName));
    if (from == THotKeyFrom::Control) ActionModifySettingsExecute();
}
