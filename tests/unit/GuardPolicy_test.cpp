// What the guard does once the program has ended: stay down after an exit it must not
// undo, or start it again, locked whenever a lock or the time-out may have been in force.
#include "guard/GuardPolicy.h"

#include <gtest/gtest.h>

namespace {

constexpr THeld Free = THeld::Free, Abandoned = THeld::Abandoned, ByAnother = THeld::ByAnother;

TEST(GuardPolicy, AfterTheProgramEnded)
{
    const struct {
        const char* Name;
        TProgramEnd End;
        bool Start, LockAtOnce;
    } cases[] = {
        {"ended while unlocked", {false, Free, Free, false, false}, true, false},
        {"ended during a lock", {false, Abandoned, Free, false, false}, true, true},
        {"ended with the time run out", {false, Free, Abandoned, false, false}, true, true},
        {"lock mutex held by another program", {false, ByAnother, Free, false, false}, true, true},
        {"time-out mutex held by another program", {false, Free, ByAnother, false, false}, true, true},
        {"ended before taking up a relock", {false, Free, Free, true, false}, true, true},
        {"Exit with the admin password", {true, Free, Free, false, false}, false, false},
        {"an exit with the lock held is no exit", {true, Abandoned, Free, false, false}, true, true},
        {"an exit with the time-out held is no exit", {true, Free, ByAnother, false, false}, true, true},
        {"an exit before a relock was taken up", {true, Free, Free, true, false}, true, true},
        {"the session ends", {false, Abandoned, Free, false, true}, false, false},
    };
    for (const auto& c : cases) {
        TRestart restart = DecideAfterEnd(c.End);
        EXPECT_EQ(restart.Start, c.Start) << c.Name;
        EXPECT_EQ(restart.LockAtOnce, c.LockAtOnce) << c.Name;
    }
}

TEST(GuardPolicy, QuickEndsSlowDownTheRestarts)
{
    const struct {
        uint32_t QuickEnds, DelayMs;
    } cases[] = {{0, 0}, {1, 0}, {2, 0}, {3, 1000}, {4, 2000}, {5, 4000}, {8, 32000}, {9, 60000}, {1000, 60000}};
    for (const auto& c : cases) EXPECT_EQ(RestartDelayMs(c.QuickEnds), c.DelayMs) << c.QuickEnds << " quick ends";
}

}  // namespace
