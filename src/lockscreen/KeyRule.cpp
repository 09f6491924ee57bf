// The lock's keyboard filter decision, apart from the hook that asks for it.
#include "lockscreen/KeyRule.h"

namespace {

constexpr unsigned MessageKeyDown = 0x100;
constexpr unsigned MessageKeyUp = 0x101;
constexpr unsigned MessageSysKeyDown = 0x104;
constexpr unsigned MessageSysKeyUp = 0x105;

constexpr unsigned VirtualKeyTab = 0x09;
constexpr unsigned VirtualKeyEscape = 0x1B;

constexpr unsigned FlagAltDown = 0x20;

bool IsSystemKeyMessage(unsigned message) { return message == MessageSysKeyDown || message == MessageSysKeyUp; }

bool IsKeyMessage(unsigned message)
{
    return message == MessageKeyDown || message == MessageKeyUp || IsSystemKeyMessage(message);
}

}  // namespace

bool SwallowLockKey(unsigned message, unsigned virtualKey, unsigned flags, bool controlDown)
{
    if (!IsKeyMessage(message)) return false;
    // Wine never sets the Alt flag; a Tab or Esc that arrives as a system key
    // means Alt is held there as on Windows.
    const bool altDown = (flags & FlagAltDown) != 0 || IsSystemKeyMessage(message);
    if (virtualKey == VirtualKeyTab) return altDown;
    if (virtualKey == VirtualKeyEscape) return altDown || controlDown;
    return false;
}
