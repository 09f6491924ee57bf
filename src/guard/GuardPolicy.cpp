// The guard's decisions after the program's end.
#include "guard/GuardPolicy.h"

namespace {
bool Held(THeld held) { return held != THeld::Free; }
}  // namespace

TRestart DecideAfterEnd(const TProgramEnd& end)
{
    if (end.ExitSanctioned || end.SessionEnding) return {};
    // Whatever is not known to be free counts as held: the lock fails closed.
    return {true, end.RelockPending || Held(end.Lock) || Held(end.TimeOut)};
}

uint32_t RestartDelayMs(uint32_t quickEndsInARow)
{
    if (quickEndsInARow < QuickEndsRestartedAtOnce) return 0;
    uint32_t delay = FirstRestartDelayMs;
    for (uint32_t i = QuickEndsRestartedAtOnce; i < quickEndsInARow && delay < LongestRestartDelayMs; ++i) delay *= 2;
    return delay < LongestRestartDelayMs ? delay : LongestRestartDelayMs;
}
