// Hot-key codes as the program stores them (a virtual key plus modifier bits
// in 16 bits), what RegisterHotKey needs for one, and its text for the user.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

constexpr uint16_t HotKeyKeyMask = 0x1FFF;
constexpr uint16_t HotKeyShift = 0x2000;
constexpr uint16_t HotKeyCtrl = 0x4000;
constexpr uint16_t HotKeyAlt = 0x8000;

// RegisterHotKey's modifier bits (the platform's MOD_ALT, MOD_CONTROL,
// MOD_SHIFT), named apart so this header can sit beside <windows.h>.
constexpr unsigned RegisterModAlt = 1;
constexpr unsigned RegisterModControl = 2;
constexpr unsigned RegisterModShift = 4;

struct HotKeyRegistration {
    unsigned Modifiers;
    unsigned VirtualKey;
};

HotKeyRegistration RegistrationOf(uint16_t code);

// The system's name of a key; "" when it has none.
using KeyNameSource = std::function<std::string(unsigned virtualKey)>;

// "Shift+Ctrl+Alt+F1" style. Keys the program names itself (editing and
// arrow keys, digits, letters, F1..F24) never reach keyName; any other key
// without a system name is "Key 0xC0" (at least two upper-case hex digits).
// A code without a key has no text, whatever modifiers it carries, as it
// cannot be registered either.
std::string HotKeyText(uint16_t code, const KeyNameSource& keyName = {});
