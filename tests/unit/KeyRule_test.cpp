// The lock's keyboard filter: task-switching keys, the Windows keys with whatever is pressed
// while one is held, and the Application key swallowed; every other key passed.
#include "lockscreen/KeyRule.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr unsigned KeyDown = 0x100, KeyUp = 0x101, SysKeyDown = 0x104, SysKeyUp = 0x105;
constexpr unsigned Char = 0x102, SysChar = 0x106, MouseMove = 0x200;

constexpr unsigned Tab = 0x09, Esc = 0x1B, F4 = 0x73, LeftWin = 0x5B, RightWin = 0x5C, Apps = 0x5D;
constexpr unsigned Shift = 0x10, Control = 0x11, Menu = 0x12, Delete = 0x2E, Space = 0x20;
constexpr unsigned LeftShift = 0xA0, LeftControl = 0xA2, RightControl = 0xA3, LeftMenu = 0xA4, RightMenu = 0xA5;
constexpr unsigned LetterA = 0x41, LetterD = 0x44, LetterE = 0x45, LetterL = 0x4C, LetterR = 0x52;

constexpr unsigned AltFlag = 0x20, Extended = 0x01, Injected = 0x10, Released = 0x80;

// What the keyboard state says is held besides the key itself.
enum Held : unsigned { Nothing = 0, Ctrl = 1, Win = 2, CtrlWin = Ctrl | Win };

const unsigned KeyMessages[] = {KeyDown, KeyUp, SysKeyDown, SysKeyUp};
const unsigned FlagSets[] = {0, AltFlag, Extended, Injected, Released | AltFlag, Injected | AltFlag | Extended};
const unsigned ModifierKeys[] = {Shift, Control, Menu, LeftShift, 0xA1, LeftControl, RightControl, LeftMenu, RightMenu};

bool IsUp(unsigned message) { return message == KeyUp || message == SysKeyUp; }

bool IsModifier(unsigned key)
{
    for (unsigned modifier : ModifierKeys)
        if (key == modifier) return true;
    return false;
}

bool Swallow(unsigned message, unsigned key, unsigned flags, unsigned held)
{
    return SwallowLockKey(message, key, flags, (held & Ctrl) != 0, (held & Win) != 0);
}

TEST(KeyRule, LockKeys)
{
    const struct {
        unsigned Message, VirtualKey, Flags;
        unsigned Held;
        bool Swallowed;
    } cases[] = {
        // Alt+Tab, reported by the flag (Windows) or by the system-key message (Wine), down and up.
        {KeyDown, Tab, AltFlag, Nothing, true},
        {KeyUp, Tab, AltFlag | Released, Nothing, true},
        {SysKeyDown, Tab, 0, Nothing, true},
        {SysKeyUp, Tab, Released, Nothing, true},
        {SysKeyDown, Tab, AltFlag | Injected, Nothing, true},
        {SysKeyDown, Tab, 0, Ctrl, true},
        // Tab without Alt, also with Ctrl.
        {KeyDown, Tab, 0, Nothing, false},
        {KeyUp, Tab, Released, Nothing, false},
        {KeyDown, Tab, 0, Ctrl, false},
        {KeyDown, Tab, Injected | Extended, Nothing, false},
        // Alt+Esc.
        {KeyDown, Esc, AltFlag, Nothing, true},
        {KeyUp, Esc, AltFlag | Released, Nothing, true},
        {SysKeyDown, Esc, 0, Nothing, true},
        {SysKeyUp, Esc, Released, Nothing, true},
        // Ctrl+Esc and Ctrl+Shift+Esc (Shift is not looked at).
        {KeyDown, Esc, 0, Ctrl, true},
        {KeyUp, Esc, Released, Ctrl, true},
        {KeyDown, Esc, Injected, Ctrl, true},
        {SysKeyDown, Esc, 0, Ctrl, true},
        // Esc alone clears the password edit and must reach it.
        {KeyDown, Esc, 0, Nothing, false},
        {KeyUp, Esc, Released, Nothing, false},
        {KeyDown, Esc, Injected | Extended, Nothing, false},
        // Alt+F4 is left to the lock window, which drops the close command.
        {SysKeyDown, F4, AltFlag, Nothing, false},
        {SysKeyDown, F4, 0, Nothing, false},
        {KeyDown, F4, AltFlag, Nothing, false},
        {SysKeyUp, F4, AltFlag | Released, Nothing, false},
        // A Windows key going down never reaches the system, whatever is held with it...
        {KeyDown, LeftWin, Extended, Nothing, true},
        {KeyDown, RightWin, Extended, Nothing, true},
        {KeyDown, LeftWin, Extended | Injected, Win, true},
        {KeyDown, RightWin, Extended, Ctrl, true},
        {SysKeyDown, LeftWin, AltFlag | Extended, Nothing, true},
        {SysKeyDown, RightWin, AltFlag | Extended, CtrlWin, true},
        // ...and going up always does: a lone key-up opens nothing, and one held since
        // before the lock must not stay held.
        {KeyUp, LeftWin, Extended | Released, Nothing, false},
        {KeyUp, LeftWin, Extended | Released, Win, false},
        {KeyUp, RightWin, Extended | Released, CtrlWin, false},
        {SysKeyUp, RightWin, AltFlag | Extended | Released, Win, false},
        // Whatever is pressed while a Windows key is held: Win+R, Win+D, Win+Tab, Win+L,
        // Ctrl+Win+D, Win+E, down and up.
        {KeyDown, LetterR, 0, Win, true},
        {KeyUp, LetterR, Released, Win, true},
        {KeyDown, LetterD, 0, Win, true},
        {KeyDown, Tab, 0, Win, true},
        {KeyUp, Tab, Released, Win, true},
        {KeyDown, LetterL, Injected, Win, true},
        {KeyDown, LetterD, 0, CtrlWin, true},
        {KeyUp, LetterD, Released, CtrlWin, true},
        {SysKeyDown, LetterE, AltFlag, Win, true},
        {KeyDown, Space, 0, Win, true},
        {KeyDown, F4, 0, Win, true},
        // Modifiers pressed while a Windows key is held go nowhere; their key-up passes, so
        // that a Ctrl pressed before the Windows key and let go before it is not left held.
        {KeyDown, LeftControl, 0, Win, true},
        {KeyDown, LeftShift, 0, Win, true},
        {SysKeyDown, LeftMenu, AltFlag, Win, true},
        {KeyUp, LeftControl, Released, CtrlWin, false},
        {KeyUp, RightControl, Released | Extended, Win, false},
        {SysKeyUp, LeftMenu, Released | AltFlag, Win, false},
        {KeyUp, Shift, Released, Win, false},
        // The Application key, down and up, alone and with anything.
        {KeyDown, Apps, Extended, Nothing, true},
        {KeyUp, Apps, Extended | Released, Nothing, true},
        {KeyDown, Apps, Extended, Ctrl, true},
        {SysKeyDown, Apps, Extended | AltFlag, Nothing, true},
        {KeyUp, Apps, Extended | Released, Win, true},
        // Modifiers themselves and ordinary keys.
        {KeyDown, Control, 0, Ctrl, false},
        {SysKeyDown, Menu, AltFlag, Nothing, false},
        {KeyDown, Delete, Extended, Ctrl, false},
        {SysKeyDown, Delete, AltFlag | Extended, Ctrl, false},
        {KeyDown, LetterA, 0, Nothing, false},
        {KeyDown, LetterR, 0, Nothing, false},
        {KeyDown, LetterD, 0, Ctrl, false},
        {SysKeyDown, Space, AltFlag, Nothing, false},
        // Codes that share the low byte of a swallowed key are other keys.
        {KeyDown, 0x109, AltFlag, Nothing, false},
        {KeyDown, 0x11B, 0, Ctrl, false},
        {KeyDown, 0x15B, Extended, Nothing, false},
        {KeyDown, 0x15D, Extended, Nothing, false},
        // Only the four key messages are examined.
        {Char, Tab, AltFlag, Nothing, false},
        {SysChar, Tab, AltFlag, Nothing, false},
        {Char, Esc, 0, Ctrl, false},
        {MouseMove, Esc, AltFlag, Ctrl, false},
        {0, Tab, AltFlag, Ctrl, false},
        {0x103, Tab, AltFlag, Nothing, false},
        {Char, LeftWin, Extended, Win, false},
        {Char, LetterR, 0, Win, false},
        {MouseMove, Apps, 0, Nothing, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Swallow(c.Message, c.VirtualKey, c.Flags, c.Held), c.Swallowed)
            << std::hex << "message 0x" << c.Message << ", key 0x" << c.VirtualKey << ", flags 0x" << c.Flags
            << ((c.Held & Ctrl) ? ", Ctrl" : "") << ((c.Held & Win) ? ", Windows key" : "");
    }
}

TEST(KeyRule, OtherKeysPassWithoutAWindowsKey)
{
    for (unsigned key = 0; key < 0x100; ++key) {
        if (key == Tab || key == Esc || key == LeftWin || key == RightWin || key == Apps) continue;
        for (unsigned message : KeyMessages)
            for (unsigned flags : FlagSets)
                for (unsigned held : {Nothing, Ctrl})
                    EXPECT_FALSE(Swallow(message, key, flags, held))
                        << std::hex << "message 0x" << message << ", key 0x" << key << ", flags 0x" << flags;
    }
}

// While a Windows key is held nothing goes down, and only the keys that could otherwise stay
// held in the system's eyes come up.
TEST(KeyRule, EveryKeyWhileAWindowsKeyIsHeld)
{
    for (unsigned key = 0; key < 0x100; ++key)
        for (unsigned message : KeyMessages)
            for (unsigned flags : FlagSets)
                for (unsigned held : {Win, CtrlWin}) {
                    bool passes = IsUp(message) && (IsModifier(key) || key == LeftWin || key == RightWin);
                    EXPECT_EQ(Swallow(message, key, flags, held), !passes)
                        << std::hex << "message 0x" << message << ", key 0x" << key << ", flags 0x" << flags;
                }
}

TEST(KeyRule, CtrlEscIsSwallowedInEveryKeyMessage)
{
    for (unsigned message : KeyMessages)
        for (unsigned flags : FlagSets) {
            EXPECT_TRUE(Swallow(message, Esc, flags, Ctrl)) << std::hex << message << " " << flags;
            EXPECT_TRUE(Swallow(message, Tab, flags | AltFlag, Nothing)) << std::hex << message << " " << flags;
            EXPECT_TRUE(Swallow(message, Apps, flags, Nothing)) << std::hex << message << " " << flags;
        }
}

TEST(KeyRuleWindowsKeys, HeldFromDownToUp)
{
    struct Event {
        unsigned Message, VirtualKey;
    };
    const struct {
        const char* Name;
        std::vector<Event> Events;
        bool Held;
    } cases[] = {
        {"nothing seen", {}, false},
        {"left down", {{KeyDown, LeftWin}}, true},
        {"right down as a system key", {{SysKeyDown, RightWin}}, true},
        {"left down and up", {{KeyDown, LeftWin}, {KeyUp, LeftWin}}, false},
        {"right down, system key up", {{KeyDown, RightWin}, {SysKeyUp, RightWin}}, false},
        {"repeated down, one up", {{KeyDown, LeftWin}, {KeyDown, LeftWin}, {KeyUp, LeftWin}}, false},
        {"both down, left up", {{KeyDown, LeftWin}, {KeyDown, RightWin}, {KeyUp, LeftWin}}, true},
        {"both down, both up", {{KeyDown, LeftWin}, {KeyDown, RightWin}, {KeyUp, RightWin}, {KeyUp, LeftWin}}, false},
        {"up without a down", {{KeyUp, LeftWin}}, false},
        {"the other key's up", {{KeyDown, LeftWin}, {KeyUp, RightWin}}, true},
        {"Win+R", {{KeyDown, LeftWin}, {KeyDown, LetterR}, {KeyUp, LetterR}}, true},
        {"other keys only", {{KeyDown, Apps}, {KeyDown, LetterR}, {KeyDown, Control}}, false},
        {"a character is no key event", {{Char, LeftWin}}, false},
        {"down, then a character of it", {{KeyDown, LeftWin}, {Char, LeftWin}, {MouseMove, LeftWin}}, true},
        {"a code sharing the low byte", {{KeyDown, 0x15B}}, false},
    };
    for (const auto& c : cases) {
        TWindowsKeys keys;
        for (const Event& event : c.Events) keys.Note(event.Message, event.VirtualKey, 0);
        EXPECT_EQ(keys.Held(0), c.Held) << c.Name;
    }
}

// A key-up the hook never saw (the system dropped it, or it was between hooks)
// must not leave every key swallowed: a held key keeps repeating its key-down.
TEST(KeyRuleWindowsKeys, HeldOnlyWhileTheKeyRepeats)
{
    const unsigned limit = TWindowsKeys::HeldWithoutRepeatMs;
    const struct {
        const char* Name;
        unsigned DownMs, RepeatMs, NowMs;
        bool Held;
    } cases[] = {
        {"just pressed", 1000, 1000, 1000, true},
        {"at the limit", 1000, 1000, 1000 + limit, true},
        {"past the limit", 1000, 1000, 1001 + limit, false},
        {"repeating keeps it held", 1000, 5000, 5000 + limit, true},
        {"across the tick's wrap", 0xFFFFFF00u, 0xFFFFFF00u, 100, true},
        {"stale across the wrap", 0xFFFFFF00u, 0xFFFFFF00u, limit, false},
    };
    for (const auto& c : cases) {
        TWindowsKeys keys;
        keys.Note(KeyDown, LeftWin, c.DownMs);
        keys.Note(KeyDown, LeftWin, c.RepeatMs);
        keys.Note(KeyDown, LetterR, c.NowMs);
        EXPECT_EQ(keys.Held(c.NowMs), c.Held) << c.Name;
    }
}

TEST(KeyRuleWindowsKeys, ClearForgetsAHeldKey)
{
    TWindowsKeys keys;
    keys.Note(KeyDown, LeftWin, 0);
    keys.Note(KeyDown, RightWin, 0);
    keys.Clear();
    EXPECT_FALSE(keys.Held(0));
}

}  // namespace
