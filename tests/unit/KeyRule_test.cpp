// The lock's keyboard filter: task-switching keys swallowed, every other key passed.
#include "lockscreen/KeyRule.h"

#include <gtest/gtest.h>

namespace {

constexpr unsigned KeyDown = 0x100, KeyUp = 0x101, SysKeyDown = 0x104, SysKeyUp = 0x105;
constexpr unsigned Char = 0x102, SysChar = 0x106, MouseMove = 0x200;

constexpr unsigned Tab = 0x09, Esc = 0x1B, F4 = 0x73, LeftWin = 0x5B, RightWin = 0x5C, Apps = 0x5D;
constexpr unsigned Control = 0x11, Menu = 0x12, Delete = 0x2E, LetterA = 0x41, Space = 0x20;

constexpr unsigned AltFlag = 0x20, Extended = 0x01, Injected = 0x10, Released = 0x80;

const unsigned KeyMessages[] = {KeyDown, KeyUp, SysKeyDown, SysKeyUp};
const unsigned FlagSets[] = {0, AltFlag, Extended, Injected, Released | AltFlag, Injected | AltFlag | Extended};

TEST(KeyRule, TaskSwitchingKeys)
{
    const struct {
        unsigned Message, VirtualKey, Flags;
        bool ControlDown, Swallowed;
    } cases[] = {
        // Alt+Tab, reported by the flag (Windows) or by the system-key message (Wine), down and up.
        {KeyDown, Tab, AltFlag, false, true},
        {KeyUp, Tab, AltFlag | Released, false, true},
        {SysKeyDown, Tab, 0, false, true},
        {SysKeyUp, Tab, Released, false, true},
        {SysKeyDown, Tab, AltFlag | Injected, false, true},
        {SysKeyDown, Tab, 0, true, true},
        // Tab without Alt, also with Ctrl.
        {KeyDown, Tab, 0, false, false},
        {KeyUp, Tab, Released, false, false},
        {KeyDown, Tab, 0, true, false},
        {KeyDown, Tab, Injected | Extended, false, false},
        // Alt+Esc.
        {KeyDown, Esc, AltFlag, false, true},
        {KeyUp, Esc, AltFlag | Released, false, true},
        {SysKeyDown, Esc, 0, false, true},
        {SysKeyUp, Esc, Released, false, true},
        // Ctrl+Esc and Ctrl+Shift+Esc (Shift is not looked at).
        {KeyDown, Esc, 0, true, true},
        {KeyUp, Esc, Released, true, true},
        {KeyDown, Esc, Injected, true, true},
        {SysKeyDown, Esc, 0, true, true},
        // Esc alone clears the password edit and must reach it.
        {KeyDown, Esc, 0, false, false},
        {KeyUp, Esc, Released, false, false},
        {KeyDown, Esc, Injected | Extended, false, false},
        // Alt+F4 is left to the lock window, which drops the close command.
        {SysKeyDown, F4, AltFlag, false, false},
        {SysKeyDown, F4, 0, false, false},
        {KeyDown, F4, AltFlag, false, false},
        {SysKeyUp, F4, AltFlag | Released, false, false},
        // The Windows keys pass, whatever is held.
        {KeyDown, LeftWin, Extended, false, false},
        {KeyUp, LeftWin, Extended | Released, false, false},
        {KeyDown, RightWin, Extended, true, false},
        {SysKeyDown, LeftWin, AltFlag | Extended, false, false},
        {SysKeyDown, RightWin, AltFlag | Extended, true, false},
        // Modifiers themselves and ordinary keys.
        {KeyDown, Control, 0, true, false},
        {SysKeyDown, Menu, AltFlag, false, false},
        {KeyDown, Delete, Extended, true, false},
        {SysKeyDown, Delete, AltFlag | Extended, true, false},
        {KeyDown, LetterA, 0, false, false},
        {SysKeyDown, Space, AltFlag, false, false},
        {KeyDown, Apps, Extended, true, false},
        // Codes that share the low byte of Tab or Esc are other keys.
        {KeyDown, 0x109, AltFlag, false, false},
        {KeyDown, 0x11B, 0, true, false},
        // Only the four key messages are examined.
        {Char, Tab, AltFlag, false, false},
        {SysChar, Tab, AltFlag, false, false},
        {Char, Esc, 0, true, false},
        {MouseMove, Esc, AltFlag, true, false},
        {0, Tab, AltFlag, true, false},
        {0x103, Tab, AltFlag, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SwallowLockKey(c.Message, c.VirtualKey, c.Flags, c.ControlDown), c.Swallowed)
            << std::hex << "message 0x" << c.Message << ", key 0x" << c.VirtualKey << ", flags 0x" << c.Flags
            << (c.ControlDown ? ", Ctrl" : "");
    }
}

TEST(KeyRule, OtherKeysPassWhateverIsHeld)
{
    for (unsigned key = 0; key < 0x100; ++key) {
        if (key == Tab || key == Esc) continue;
        for (unsigned message : KeyMessages)
            for (unsigned flags : FlagSets)
                for (bool controlDown : {false, true})
                    EXPECT_FALSE(SwallowLockKey(message, key, flags, controlDown))
                        << std::hex << "message 0x" << message << ", key 0x" << key << ", flags 0x" << flags;
    }
}

TEST(KeyRule, CtrlEscIsSwallowedInEveryKeyMessage)
{
    for (unsigned message : KeyMessages)
        for (unsigned flags : FlagSets) {
            EXPECT_TRUE(SwallowLockKey(message, Esc, flags, true)) << std::hex << message << " " << flags;
            EXPECT_TRUE(SwallowLockKey(message, Tab, flags | AltFlag, false)) << std::hex << message << " " << flags;
        }
}

}  // namespace
