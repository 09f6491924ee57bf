// A low-level keyboard hook of a test that watches from in front of a lock's hook: installed
// after it, it is called first and sees every key. Once the lock puts a fresh hook in, that one
// is in front again and the watcher sees only what it lets through.
#pragma once

#include <windows.h>

#include <bitset>

#include "platform/UniqueHandle.h"

namespace key_recorder {

class FrontKeyWatcher {
public:
    FrontKeyWatcher() { PutInFront(); }
    ~FrontKeyWatcher()
    {
        Hook.Reset();
        Active = nullptr;
    }
    FrontKeyWatcher(const FrontKeyWatcher&) = delete;
    FrontKeyWatcher& operator=(const FrontKeyWatcher&) = delete;

    // Installs the watcher anew, in front of every hook there is now, and forgets what it saw.
    void PutInFront()
    {
        Hook.Reset();
        Active = this;
        Forget();
        Hook.Reset(SetWindowsHookExA(WH_KEYBOARD_LL, Watch, GetModuleHandleA(nullptr), 0));
    }
    bool IsInstalled() const { return static_cast<bool>(Hook); }
    void Forget() { KeysDown.reset(); }
    // Whether the key went down since the watcher was put in front or last forgot.
    bool SawDown(WORD virtualKey) const { return virtualKey < KeysDown.size() && KeysDown.test(virtualKey); }

private:
    static LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HC_ACTION && Active && (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN)) {
            const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
            if (key->vkCode < Active->KeysDown.size()) Active->KeysDown.set(key->vkCode);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    // A hook procedure gets no context of its own; one watcher lives at a time.
    static inline FrontKeyWatcher* Active = nullptr;
    UniqueHook Hook;
    std::bitset<256> KeysDown;
};

}  // namespace key_recorder
