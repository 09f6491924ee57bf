// The waits that slow a program guessing the lock's password down to a few tries an hour.
#include "lockscreen/PasswordThrottle.h"

#include <limits>

void TPasswordThrottle::EndWaitIfOver(uint32_t now)
{
    // Unsigned subtraction gives the time elapsed also across the clock's wrapping round.
    if (WaitLength != 0 && static_cast<uint32_t>(now - WaitStart) >= WaitLength) WaitLength = 0;
}

uint32_t TPasswordThrottle::SecondsLeft(uint32_t now)
{
    EndWaitIfOver(now);
    if (WaitLength == 0) return 0;
    uint32_t left = WaitLength - static_cast<uint32_t>(now - WaitStart);
    return (left + 999) / 1000;
}

uint32_t TPasswordThrottle::NextWait() const
{
    uint32_t wait = FirstWaitMilliseconds;
    for (uint32_t waits = WrongInARow_ / WrongBeforeWait; waits > 1 && wait < LongestWaitMilliseconds; --waits)
        wait *= 2;
    return wait < LongestWaitMilliseconds ? wait : LongestWaitMilliseconds;
}

TVerdict TPasswordThrottle::Judge(TEntry entry, uint32_t now)
{
    if (entry == TEntry::Empty) return TVerdict::NoAttempt;
    if (SecondsLeft(now) != 0) return TVerdict::Refused;
    if (entry == TEntry::Right) {
        bool changed = WrongInARow_ != 0;
        WrongInARow_ = 0;
        if (changed && CountChanged) CountChanged(0);
        return TVerdict::Opens;
    }
    if (WrongInARow_ < std::numeric_limits<uint32_t>::max()) ++WrongInARow_;
    if (WrongInARow_ % WrongBeforeWait == 0) {
        WaitStart = now;
        WaitLength = NextWait();
    }
    if (CountChanged) CountChanged(WrongInARow_);
    return TVerdict::Refused;
}

void TPasswordThrottle::Resume(uint32_t wrongInARow, uint32_t now)
{
    WrongInARow_ = wrongInARow;
    WaitLength = 0;
    if (WrongInARow_ < WrongBeforeWait) return;
    WaitStart = now;
    WaitLength = NextWait();
}
