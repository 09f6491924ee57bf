// Installing, renewing and removing the lock's keyboard hook, and the hook procedure
// that asks the portable key rule which events to swallow.
#include "lockscreen/win32/Llh.h"

#include "lockscreen/KeyRule.h"
#include "platform/WindowsFamily.h"

namespace {

// The system gives a hook procedure no context of its own: the handle lives here,
// read and written only on the thread that runs the lock.
HHOOK KeyboardHook = nullptr;
// Outlives a re-install, which must not forget a Windows key held across it.
TWindowsKeys WindowsKeys;

constexpr LRESULT SwallowEvent = 1;

bool IsKeyEvent(WPARAM message)
{
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

HHOOK SetKeyboardHook()
{
    return SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHookProc, GetModuleHandleA(nullptr), 0);
}

bool IsHeldNow(int virtualKey) { return GetAsyncKeyState(virtualKey) < 0; }

// The key rule applied to one key event of the hook.
bool Swallow(WPARAM wParam, LPARAM lParam)
{
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    const auto message = static_cast<unsigned>(wParam);
    // The keyboard as it is now: this thread's own key state lags behind input
    // that arrives faster than it reads its messages, and Ctrl+Esc would pass.
    bool controlDown = IsHeldNow(VK_CONTROL);
    // A Windows key the system saw go down before the lock is only in its state.
    bool windowsKeyHeld = WindowsKeys.Held(key->time) || IsHeldNow(VK_LWIN) || IsHeldNow(VK_RWIN);
    WindowsKeys.Note(message, key->vkCode, key->time);
    return SwallowLockKey(message, key->vkCode, key->flags, controlDown, windowsKeyHeld);
}

}  // namespace

HHOOK InstallKeyboardHook()
{
    if (!IsNtFamily() || KeyboardHook) return nullptr;
    WindowsKeys.Clear();
    KeyboardHook = SetKeyboardHook();
    return KeyboardHook;
}

HHOOK ReinstallKeyboardHook()
{
    if (!IsNtFamily()) return nullptr;
    HHOOK fresh = SetKeyboardHook();
    if (!fresh) return nullptr;
    // Key events already on their way to the old hook run through it while it is still in
    // the chain; once it is gone, one it passes on would skip the hooks installed before it.
    MSG pending;
    PeekMessageA(&pending, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    if (KeyboardHook) UnhookWindowsHookEx(KeyboardHook);
    KeyboardHook = fresh;
    return KeyboardHook;
}

bool RemoveKeyboardHook()
{
    if (!KeyboardHook) return false;
    bool unhooked = UnhookWindowsHookEx(KeyboardHook) != FALSE;
    KeyboardHook = nullptr;
    WindowsKeys.Clear();
    return unhooked;
}

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    // Nothing there throws; should it ever, a key the lock cannot judge is swallowed.
    try {
        if (code == HC_ACTION && IsKeyEvent(wParam) && Swallow(wParam, lParam)) return SwallowEvent;
    } catch (...) {
        return SwallowEvent;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
