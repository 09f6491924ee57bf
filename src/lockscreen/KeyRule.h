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
class TWindowsKeys {
public:
    void Note(unsigned message, unsigned virtualKey);
    bool Held() const { return LeftHeld || RightHeld; }
    void Clear() { LeftHeld = RightHeld = false; }

private:
    bool LeftHeld = false;
    bool RightHeld = false;
};
