// The lock's keyboard filter decision, apart from the hook that asks for it.
#include "lockscreen/KeyRule.h"

namespace {

constexpr unsigned MessageKeyDown = 0x100;
constexpr unsigned MessageKeyUp = 0x101;
constexpr unsigned MessageSysKeyDown = 0x104;
constexpr unsigned MessageSysKeyUp = 0x105;

constexpr unsigned VirtualKeyTab = 0x09;
constexpr unsigned VirtualKeyEscape = 0x1B;
constexpr unsigned VirtualKeyLeftWindows = 0x5B;
constexpr unsigned VirtualKeyRightWindows = 0x5C;
constexpr unsigned VirtualKeyApplication = 0x5D;
// Shift, Ctrl and Alt, as one key and as the left and right ones.
constexpr unsigned ModifierKeys[] = {0x10, 0x11, 0x12, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};

constexpr unsigned FlagAltDown = 0x20;

bool IsSystemKeyMessage(unsigned message) { return message == MessageSysKeyDown || message == MessageSysKeyUp; }

bool IsKeyUpMessage(unsigned message) { return message == MessageKeyUp || message == MessageSysKeyUp; }

bool IsKeyMessage(unsigned message)
{
    return message == MessageKeyDown || message == MessageKeyUp || IsSystemKeyMessage(message);
}

bool IsWindowsKey(unsigned virtualKey)
{
    return virtualKey == VirtualKeyLeftWindows || virtualKey == VirtualKeyRightWindows;
}

bool IsModifierKey(unsigned virtualKey)
{
    for (unsigned modifier : ModifierKeys)
        if (virtualKey == modifier) return true;
    return false;
}

}  // namespace

bool SwallowLockKey(unsigned message, unsigned virtualKey, unsigned flags, bool controlDown, bool windowsKeyHeld)
{
    if (!IsKeyMessage(message)) return false;
    const bool up = IsKeyUpMessage(message);
    // A key-up opens nothing the system never saw go down, and one it did see
    // must reach it, or it believes the key held for good: a Windows key held
    // since before the lock, or a Ctrl of Ctrl+Win let go before the Win.
    if (IsWindowsKey(virtualKey)) return !up;
    if (virtualKey == VirtualKeyApplication) return true;
    if (windowsKeyHeld) return !(up && IsModifierKey(virtualKey));
    // Wine never sets the Alt flag; a Tab or Esc that arrives as a system key
    // means Alt is held there as on Windows.
    const bool altDown = (flags & FlagAltDown) != 0 || IsSystemKeyMessage(message);
    if (virtualKey == VirtualKeyTab) return altDown;
    if (virtualKey == VirtualKeyEscape) return altDown || controlDown;
    return false;
}

void TWindowsKeys::Note(unsigned message, unsigned virtualKey, unsigned timeMs)
{
    if (!IsKeyMessage(message) || !IsWindowsKey(virtualKey)) return;
    const bool down = !IsKeyUpMessage(message);
    (virtualKey == VirtualKeyLeftWindows ? LeftHeld : RightHeld) = down;
    if (down) LastDownMs = timeMs;
}

bool TWindowsKeys::Held(unsigned nowMs) const
{
    // Unsigned subtraction keeps the age right across the tick's wrap.
    return (LeftHeld || RightHeld) && nowMs - LastDownMs <= HeldWithoutRepeatMs;
}
