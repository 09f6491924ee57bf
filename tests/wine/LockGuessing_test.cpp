// Another program guessing hvxw.exe's lock password as fast as it can: after five wrong
// entries in a row "UnLock" refuses every entry for a while, says so, and logs each one.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "LockScreenFixture.h"
#include "PasswordGuessing.h"

using namespace harness;
using namespace halvex_test;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int Guesses = 100;
constexpr auto FirstWait = std::chrono::seconds(30);
// How far the program's clock and this one may differ in noticing a moment.
constexpr auto ClockSlack = std::chrono::milliseconds(250);

int RedPixelsIn(HWND control)
{
    ScreenArea area(ScreenRectOf(control));
    return area.Taken() ? area.Count(NoticeRed) : -1;
}

// Misses of the lock password ("Secret") and of the admin password ("Admin") count alike.
std::string Guess(int i)
{
    const char* misses[] = {"secret", "admin", "SECRET", "Admin "};
    return i <= 4 ? misses[i - 1] : "guess" + std::to_string(i);
}

}  // namespace

// The one test here that sits out a whole wait (30 s): the right password must open after it.
TEST(LockScreenGuessing, AHundredFastWrongEntriesWaitAfterTheFifthThenTheRightOneOpens)
{
    LockSettings settings = LoggingLock();
    settings.APwd = "Admin";
    LockScreenProgram program(settings);
    ASSERT_TRUE(program.Lock());
    const LockWindow& lock = program.Window();

    Clock::time_point fifthSent{}, fifthAnswered{};
    for (int i = 1; i <= Guesses; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        if (i == 5) fifthSent = Clock::now();
        ASSERT_TRUE(SendEntry(lock, Guess(i)));
        if (i == 5) fifthAnswered = Clock::now();
        std::string prompt = program.Prompt();
        if (i < 5) {
            EXPECT_EQ(prompt, IncorrectPrompt);
        } else {
            int seconds = WaitSecondsShown(prompt);
            EXPECT_GE(seconds, 1) << prompt;
            EXPECT_LE(seconds, 30) << prompt;
            if (i == 5) {
                EXPECT_EQ(seconds, 30) << prompt;
            }
        }
    }
    ASSERT_LT(Clock::now() - fifthAnswered, FirstWait - std::chrono::seconds(5))
        << "the entries were meant to come during the wait";

    // The right passwords during the wait are refused too.
    ASSERT_TRUE(SendEntry(lock, "Secret"));
    ASSERT_TRUE(SendEntry(lock, "Admin"));
    ASSERT_TRUE(program.WaitForPass());
    EXPECT_TRUE(program.IsLocked());
    int shown = WaitSecondsShown(program.Prompt());
    EXPECT_GT(shown, 0) << program.Prompt();
    EXPECT_EQ(LogLinesOf(program.Dir(), AccessDenied), Guesses + 2);
    EXPECT_EQ(LogLinesOf(program.Dir(), AccessPermitted), 0);
    EXPECT_GT(RedPixelsIn(lock.PromptLabel), 0);
    // The longest text of the prompt fits the panel that holds it.
    RECT label = ScreenRectOf(lock.PromptLabel), panel = ScreenRectOf(GetParent(lock.PromptLabel));
    EXPECT_LE(label.right, panel.right);

    // The seconds count down as they pass.
    EXPECT_TRUE(WaitUntil([&] { return WaitSecondsShown(program.Prompt()) < shown; }, Timeout{2000},
                          "the seconds shown counting down"));

    // Over 30 s after the fifth entry, and not before: then the plain prompt and the right password opens.
    EXPECT_TRUE(WaitUntil([&] { return WaitSecondsShown(program.Prompt()) == 0; },
                          std::chrono::duration_cast<Timeout>(FirstWait + std::chrono::seconds(5)),
                          "the end of the wait"));
    Clock::time_point over = Clock::now();
    EXPECT_GE(over - fifthSent, FirstWait - ClockSlack);
    EXPECT_LE(over - fifthAnswered, FirstWait + std::chrono::seconds(2));
    EXPECT_EQ(program.Prompt(), EnterPrompt);
    EXPECT_TRUE(program.Unlock("Secret"));
    EXPECT_EQ(LogLinesOf(program.Dir(), AccessDenied), Guesses + 2);
    EXPECT_EQ(LogLinesOf(program.Dir(), AccessPermitted), 1);
}

// Four wrong entries never wait; a lock opened by the right password leaves the next one a
// clean count, so four more wrong entries there do not wait either.
TEST(LockScreenGuessing, ALockOpenedByTheRightPasswordLeavesTheNextACleanCount)
{
    LockScreenProgram program;
    for (int lockNumber = 1; lockNumber <= 2; ++lockNumber) {
        SCOPED_TRACE("lock " + std::to_string(lockNumber));
        ASSERT_TRUE(program.Lock());
        for (int i = 1; i <= 4; ++i) {
            ASSERT_TRUE(SendEntry(program.Window(), "guess" + std::to_string(i)));
            EXPECT_EQ(program.Prompt(), IncorrectPrompt) << "entry " << i;
        }
        EXPECT_TRUE(program.Unlock("Secret"));
    }
}
