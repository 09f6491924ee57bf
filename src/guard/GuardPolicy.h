// What the guard does when the program it keeps running has ended, apart from the
// service that asks: whether to start it again, locked or not, and how soon.
#pragma once

#include <cstdint>

// How the guard found one of the program's mutexes once the program had ended.
enum class THeld {
    Free,        // released: the program let go of it itself
    Abandoned,   // the program ended holding it
    ByAnother,   // some other process holds it: nothing is known, so it counts as held
};

struct TProgramEnd {
    bool ExitSanctioned = false;   // the alive mutex was released, and the program then ended
    THeld Lock = THeld::Free;
    THeld TimeOut = THeld::Free;
    bool RelockPending = false;    // the last start was to lock, not yet taken up
    bool SessionEnding = false;
};

struct TRestart {
    bool Start = false;
    bool LockAtOnce = false;
};

TRestart DecideAfterEnd(const TProgramEnd& end);

// A program that ends before it is up (a crash at start, a damaged file) is started
// again at once a few times, then less and less often, so that it cannot spin.
uint32_t RestartDelayMs(uint32_t quickEndsInARow);

inline constexpr uint32_t QuickEndsRestartedAtOnce = 3;
inline constexpr uint32_t FirstRestartDelayMs = 1000;
inline constexpr uint32_t LongestRestartDelayMs = 60 * 1000;
