// A low-level keyboard hook of a test, to see which injected keys get past a
// lock's own hook: installed before it, it is called after it and sees only
// what that hook lets through, as any other program would.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "harness/Harness.h"
#include "platform/UniqueHandle.h"

namespace key_recorder {

// Once the recorder has seen this key released, every key sent before it has been decided.
constexpr WORD MarkerKey = VK_F24;
constexpr harness::Timeout AnswerTimeout{5000};

struct KeyEvent {
    WPARAM Message;
    DWORD VirtualKey;
};

inline WORD GenericKey(DWORD virtualKey)
{
    switch (virtualKey) {
    case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU: case VK_RMENU: return VK_MENU;
    default: return static_cast<WORD>(virtualKey);
    }
}

// The Windows keys count: the lock's hook reads whether one is held from the system too.
inline bool IsModifier(DWORD virtualKey)
{
    WORD key = GenericKey(virtualKey);
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_LWIN || key == VK_RWIN;
}

inline INPUT KeyInput(WORD virtualKey, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    bool extended = virtualKey == VK_LWIN || virtualKey == VK_RWIN || virtualKey == VK_APPS;
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

// Keeps every key but the modifiers from reaching a window (an Alt+F4 must close
// nothing); modifiers pass, so that the key state the lock's hook reads stays true.
class KeyRecorder {
public:
    KeyRecorder()
    {
        Active = this;
        Hook.Reset(SetWindowsHookExA(WH_KEYBOARD_LL, Record, GetModuleHandleA(nullptr), 0));
    }
    ~KeyRecorder()
    {
        Hook.Reset();
        Active = nullptr;
    }
    KeyRecorder(const KeyRecorder&) = delete;
    KeyRecorder& operator=(const KeyRecorder&) = delete;

    bool IsInstalled() const { return static_cast<bool>(Hook); }

    // Presses the keys in order and releases them in reverse; returns what arrived here.
    // betweenEvents, when given, runs after each event, as when a person presses them.
    std::vector<KeyEvent> Press(const std::vector<WORD>& keys, const std::function<void()>& betweenEvents = nullptr)
    {
        std::vector<INPUT> inputs;
        for (WORD key : keys) inputs.push_back(KeyInput(key, false));
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) inputs.push_back(KeyInput(*key, true));
        return Send(std::move(inputs), betweenEvents);
    }

    // Sends the events as they are, a key pressed and not released included; returns what arrived here.
    std::vector<KeyEvent> Send(std::vector<INPUT> inputs, const std::function<void()>& betweenEvents = nullptr)
    {
        if (!SendAndWait(std::move(inputs), betweenEvents, AnswerTimeout))
            ADD_FAILURE() << "Timed out after " << AnswerTimeout.count() << " ms waiting for the keys to pass the hooks";
        return Events;
    }

    // As Send, for keys that may not arrive at all: false when the lock swallowed even the
    // marker (as while it counts a Windows key held) and nothing was decided by the deadline.
    bool SendWithin(std::vector<INPUT> inputs, harness::Timeout timeout, std::vector<KeyEvent>& arrived)
    {
        bool decided = SendAndWait(std::move(inputs), nullptr, timeout);
        arrived = Events;
        return decided;
    }

private:
    bool SendAndWait(std::vector<INPUT> inputs, const std::function<void()>& betweenEvents, harness::Timeout timeout)
    {
        Events.clear();
        MarkerReleased = false;
        if (betweenEvents) {
            for (INPUT& input : inputs) {
                EXPECT_EQ(SendInput(1, &input, sizeof(INPUT)), 1u) << harness::DescribeLastError();
                betweenEvents();
            }
            inputs.clear();
        }
        inputs.push_back(KeyInput(MarkerKey, false));
        inputs.push_back(KeyInput(MarkerKey, true));
        UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        EXPECT_EQ(sent, inputs.size()) << harness::DescribeLastError();
        // The recorder runs on this thread, called while the wait dispatches messages.
        return harness::PollUntil([this] { return MarkerReleased; }, timeout);
    }

    static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code != HC_ACTION || !Active) return CallNextHookEx(nullptr, code, wParam, lParam);
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (key->vkCode == MarkerKey) {
            if (key->flags & LLKHF_UP) Active->MarkerReleased = true;
            return 1;
        }
        Active->Events.push_back({wParam, key->vkCode});
        return IsModifier(key->vkCode) ? CallNextHookEx(nullptr, code, wParam, lParam) : 1;
    }

    // A hook procedure gets no context of its own; one recorder lives at a time.
    static inline KeyRecorder* Active = nullptr;
    UniqueHook Hook;
    std::vector<KeyEvent> Events;
    bool MarkerReleased = false;
};

inline bool IsHeldForTheSystem(WORD key) { return GetAsyncKeyState(key) < 0; }

// Lets a key go however a test ends, so that no later test finds it held.
class ReleaseAtExit {
public:
    explicit ReleaseAtExit(WORD key) : Key(key) {}
    ~ReleaseAtExit()
    {
        if (!IsHeldForTheSystem(Key)) return;
        INPUT up = KeyInput(Key, true);
        SendInput(1, &up, sizeof up);
        harness::PollUntil([this] { return !IsHeldForTheSystem(Key); }, AnswerTimeout);
    }
    ReleaseAtExit(const ReleaseAtExit&) = delete;
    ReleaseAtExit& operator=(const ReleaseAtExit&) = delete;

private:
    WORD Key;
};

// How many of the events were of this key, down and up together.
inline int CountOf(const std::vector<KeyEvent>& events, WORD key)
{
    int count = 0;
    for (const KeyEvent& event : events) count += GenericKey(event.VirtualKey) == key;
    return count;
}

}  // namespace key_recorder
