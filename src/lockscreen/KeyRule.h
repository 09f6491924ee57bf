// Which key events the low-level keyboard hook swallows while the workstation
// is locked: the task-switching keys, the Windows keys and the Application key.
#pragma once

// message: the hook's wParam (key down/up, system key down/up; anything
// else passes); flags: the hook record's flags; controlDown: whether Ctrl
// is held as the keyboard state tells it; windowsKeyHeld: whether a Windows
// key is held, as the hook saw it go down or as the keyboard state tells it.
bool SwallowLockKey(unsigned message, unsigned virtualKey, unsigned flags, bool controlDown, bool windowsKeyHeld);

// The Windows keys the hook has seen go down and not yet up. A key-down the
// hook swallows never reaches the system's key state, so the hook keeps its own.
// Times are the hook records' millisecond ticks, which wrap.
class TWindowsKeys {
public:
    // A key really held repeats its key-down at least this often (the slowest
    // repeat delay is one second); one that stops repeating was let go while
    // no hook of ours listened, and must not swallow every key for good.
    static constexpr unsigned HeldWithoutRepeatMs = 1500;

    void Note(unsigned message, unsigned virtualKey, unsigned timeMs);
    bool Held(unsigned nowMs) const;
    void Clear() { LeftHeld = RightHeld = false; }

private:
    bool LeftHeld = false;
    bool RightHeld = false;
    unsigned LastDownMs = 0;
};
