// Installing and removing the lock's keyboard hook, and the hook procedure that
// asks the portable key rule which events to swallow.
#include "lockscreen/win32/Llh.h"

#include "lockscreen/KeyRule.h"
#include "platform/WindowsFamily.h"

namespace {

// The system gives a hook procedure no context of its own: the handle lives here,
// read and written only on the thread that runs the lock.
HHOOK KeyboardHook = nullptr;

constexpr LRESULT SwallowEvent = 1;

bool IsKeyEvent(WPARAM message)
{
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

}  // namespace

HHOOK InstallKeyboardHook()
{
    if (!IsNtFamily() || KeyboardHook) return nullptr;
    KeyboardHook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHookProc, GetModuleHandleA(nullptr), 0);
    return KeyboardHook;
}

bool RemoveKeyboardHook()
{
    if (!KeyboardHook) return false;
    bool unhooked = UnhookWindowsHookEx(KeyboardHook) != FALSE;
    KeyboardHook = nullptr;
    return unhooked;
}

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && IsKeyEvent(wParam)) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        // The keyboard as it is now: this thread's own key state lags behind input
        // that arrives faster than it reads its messages, and Ctrl+Esc would pass.
        bool controlDown = GetAsyncKeyState(VK_CONTROL) < 0;
        if (SwallowLockKey(static_cast<unsigned>(wParam), key->vkCode, key->flags, controlDown))
            return SwallowEvent;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
