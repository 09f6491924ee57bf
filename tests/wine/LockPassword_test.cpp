// Opening hvxw.exe's lock: which texts open it, typed and with Enter or put in and
// "UnLock" clicked; what a wrong or an empty text does; Esc and Del emptying the edit.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

#include "LockScreenFixture.h"

using namespace harness;
using namespace halvex_test;

namespace {

struct Attempt {
    const char* Name;
    const char* LockPwd;
    const char* APwd;
    const char* Entered;
    bool Opens;
};

// Settles the program after a click: everything posted before has then been handled.
bool ClickAndSettle(LockScreenProgram& program, HWND button)
{
    return Click(button) && program.Program().Settle();
}

int RedPixelsIn(HWND control)
{
    ScreenArea area(ScreenRectOf(control));
    return area.Taken() ? area.Count(NoticeRed) : -1;
}

}  // namespace

TEST(LockScreenPassword, OpensForTheLockOrAdminPasswordExactly)
{
    const Attempt attempts[] = {
        {"the lock password", "Secret", "", "Secret", true},
        {"the admin password", "Secret", "Admin", "Admin", true},
        {"an empty lock password with any text", "", "", "anything", true},
        {"an empty lock password with nothing", "", "", "", true},
        {"the lock password in other case", "Secret", "", "secret", false},
        {"the lock password in capitals", "Secret", "Admin", "SECRET", false},
        {"the admin password in other case", "Secret", "Admin", "admin", false},
        {"the lock password with a space", "Secret", "", "Secret ", false},
        {"another text", "Secret", "Admin", "Secret2", false},
    };
    for (const Attempt& attempt : attempts) {
        SCOPED_TRACE(attempt.Name);
        LockSettings settings;
        settings.LockPwd = attempt.LockPwd;
        settings.APwd = attempt.APwd;
        LockScreenProgram program(settings);
        ASSERT_TRUE(program.Lock());
        ASSERT_TRUE(SetText(program.Window().Edit, attempt.Entered));
        ASSERT_TRUE(ClickAndSettle(program, program.Window().UnLockButton));
        if (attempt.Opens) {
            EXPECT_TRUE(program.WaitForUnlocked());
            continue;
        }
        ASSERT_TRUE(program.WaitForPass());
        EXPECT_TRUE(program.IsLocked());
        EXPECT_EQ(program.Prompt(), IncorrectPrompt);
        // A refusal changes nothing else: the right password still opens it.
        EXPECT_TRUE(program.Unlock(attempt.LockPwd));
    }
}

TEST(LockScreenPassword, TypedAndEnterOpens)
{
    LockScreenProgram program;
    ASSERT_TRUE(program.Lock());
    ASSERT_TRUE(TypeKeys(program.Window().Edit, "Secret"));
    ASSERT_TRUE(PressKeys({VK_RETURN}));
    EXPECT_TRUE(program.WaitForUnlocked());
}

TEST(LockScreenPassword, EmptyEditDoesNothing)
{
    LockScreenProgram program;
    ASSERT_TRUE(program.Lock());
    ASSERT_TRUE(ClickAndSettle(program, program.Window().UnLockButton));
    ASSERT_TRUE(program.WaitForPass());
    EXPECT_TRUE(program.IsLocked());
    EXPECT_EQ(program.Prompt(), EnterPrompt);
    EXPECT_TRUE(program.Unlock("Secret"));
}

// A key goes to the edit like any other, yet the whole text goes, wherever the caret is.
TEST(LockScreenPassword, EscapeAndDeleteEmptyTheEdit)
{
    struct Key {
        const char* Name;
        WORD VirtualKey;
    };
    const Key keys[] = {{"Esc", VK_ESCAPE}, {"Del", VK_DELETE}};
    LockScreenProgram program;
    ASSERT_TRUE(program.Lock());
    HWND edit = program.Window().Edit;
    for (const Key& key : keys) {
        SCOPED_TRACE(key.Name);
        ASSERT_TRUE(TypeKeys(edit, "xyz"));
        ASSERT_TRUE(WaitUntil([&] { return EditTextLength(edit) == 3; }, DefaultTimeout, "the typed text"));
        // The caret stands at the start, where Del alone would take one letter.
        ASSERT_TRUE(PressKeys({VK_HOME}));
        ASSERT_TRUE(PressKeys({key.VirtualKey}));
        EXPECT_TRUE(WaitUntil([&] { return EditTextLength(edit) == 0; }, WithinPasses, "an empty edit"));
    }
    // What was typed before is gone: the password typed after opens the lock.
    ASSERT_TRUE(TypeKeys(edit, "wrong"));
    ASSERT_TRUE(PressKeys({VK_ESCAPE}));
    ASSERT_TRUE(TypeKeys(edit, "Secret"));
    ASSERT_TRUE(PressKeys({VK_RETURN}));
    EXPECT_TRUE(program.WaitForUnlocked());
}

TEST(LockScreenPassword, WrongPasswordTurnsThePromptRedForTwoHeartbeats)
{
    LockSettings settings;
    settings.TimeOut = 0;   // the heartbeats show as blanking
    settings.PowerMode = 1;
    LockScreenProgram program(settings);
    ASSERT_TRUE(program.Lock());
    ASSERT_TRUE(program.WaitForHeartbeat());
    ASSERT_TRUE(SetText(program.Window().Edit, "wrong"));
    auto refused = std::chrono::steady_clock::now();
    // The click wakes the screen as well.
    ASSERT_TRUE(Click(program.Window().UnLockButton));
    ASSERT_TRUE(WaitUntil([&] { return program.Prompt() == IncorrectPrompt; }, WithinPasses, "the red prompt"));
    EXPECT_TRUE(WaitUntil([&] { return RedPixelsIn(program.Window().PromptLabel) > 0; }, WithinPasses,
                          "red text in the prompt"));
    EXPECT_TRUE(program.IsLocked());

    ASSERT_TRUE(WaitUntil([&] { return program.Prompt() == EnterPrompt; }, SecondHeartbeatBy, "the plain prompt"));
    EXPECT_GE(std::chrono::steady_clock::now() - refused, SecondHeartbeatAfter) << "reverted at the first heartbeat";
    ASSERT_TRUE(program.WakeWithAKey());
    EXPECT_TRUE(WaitUntil([&] { return RedPixelsIn(program.Window().PromptLabel) == 0; }, WithinPasses,
                          "no red text left in the prompt"));
    EXPECT_TRUE(program.Unlock("Secret"));
}
