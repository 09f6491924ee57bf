// How long "UnLock" refuses every entry after wrong passwords in a row. The program
// keeps one for as long as it runs, so that a new lock does not start the count afresh.
#pragma once

#include <cstdint>
#include <functional>

// What was entered, as the lock judged it against its passwords.
enum class TEntry { Empty, Wrong, Right };
enum class TVerdict { NoAttempt, Refused, Opens };

class TPasswordThrottle {
public:
    static constexpr uint32_t WrongBeforeWait = 5;
    static constexpr uint32_t FirstWaitMilliseconds = 30 * 1000;
    static constexpr uint32_t LongestWaitMilliseconds = 15 * 60 * 1000;

    // Times are readings of a millisecond clock that no program can set and that wraps
    // around at 2^32 (the system's tick count), so moving the wall clock ends no wait.
    // An empty entry is no attempt; during a wait every other entry, the right one
    // included, is refused without being counted; the right one afterwards opens and
    // clears the count; each fifth wrong one in a row starts a wait twice as long as the
    // one before, up to the longest.
    TVerdict Judge(TEntry entry, uint32_t now);

    // Whole seconds left of the wait, rounded up; 0 when entries are judged again.
    uint32_t SecondsLeft(uint32_t now);
    bool Waiting(uint32_t now) { return SecondsLeft(now) != 0; }
    uint32_t WrongInARow() const { return WrongInARow_; }

    // Takes up a count kept while the program was not running (it was ended and started
    // again): from 5 wrong ones in a row on, a wait starts afresh, so ending the program
    // never shortens one.
    void Resume(uint32_t wrongInARow, uint32_t now);
    // Told each new count, to keep it where a restart finds it.
    std::function<void(uint32_t)> CountChanged;

private:
    // Forgets a wait that is over, so that the clock's wrapping round never brings it back.
    void EndWaitIfOver(uint32_t now);
    uint32_t NextWait() const;

    uint32_t WrongInARow_ = 0;
    uint32_t WaitStart = 0;
    uint32_t WaitLength = 0;   // 0: no wait
};
