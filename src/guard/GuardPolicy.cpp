// The guard's decisions after the program's end.
#include "guard/GuardPolicy.h"

namespace {
bool Held(THeld held) { return held != THeld::Free; }
}  // namespace

TRestart DecideAfterEnd(const TProgramEnd& end)
{
    // Whatever is not known to be free counts as held: the lock fails closed.
    const bool inForce = end.RelockPending || Held(end.Lock) || Held(end.TimeOut);
    if (end.SessionEnding) return {};
    // A real exit lets go of the lock and the time-out first: one that leaves either held
    // was faked by another program and is undone, locked.
    if (end.ExitSanctioned && !inForce) return {};
    return {true, inForce};
}

uint32_t RestartDelayMs(uint32_t quickEndsInARow)
{
    if (quickEndsInARow < QuickEndsRestartedAtOnce) return 0;
    uint32_t delay = FirstRestartDelayMs;
    for (uint32_t i = QuickEndsRestartedAtOnce; i < quickEndsInARow && delay < LongestRestartDelayMs; ++i) delay *= 2;
    return delay < LongestRestartDelayMs ? delay : LongestRestartDelayMs;
}
