// Hot-key codes: their registration and their text.
#include "core/HotKeyCode.h"

#include <cstdio>

namespace {

struct NamedKey {
    unsigned VirtualKey;
    const char* Name;
};

// The short texts menus show for shortcuts.
const NamedKey NamedKeys[] = {
    {0x08, "BkSp"}, {0x09, "Tab"},   {0x0D, "Enter"}, {0x1B, "Esc"},  {0x20, "Space"},
    {0x21, "PgUp"}, {0x22, "PgDn"},  {0x23, "End"},   {0x24, "Home"}, {0x25, "Left"},
    {0x26, "Up"},   {0x27, "Right"}, {0x28, "Down"},  {0x2D, "Ins"},  {0x2E, "Del"},
};

constexpr unsigned FirstDigitKey = 0x30, LastDigitKey = 0x39;
constexpr unsigned FirstLetterKey = 0x41, LastLetterKey = 0x5A;
constexpr unsigned FirstFunctionKey = 0x70, LastFunctionKey = 0x87;

const char ShiftText[] = "Shift+";
const char CtrlText[] = "Ctrl+";
const char AltText[] = "Alt+";

std::string OwnKeyName(unsigned virtualKey)
{
    for (const NamedKey& key : NamedKeys)
        if (key.VirtualKey == virtualKey)
            return key.Name;
    if ((virtualKey >= FirstDigitKey && virtualKey <= LastDigitKey) ||
        (virtualKey >= FirstLetterKey && virtualKey <= LastLetterKey))
        return std::string(1, static_cast<char>(virtualKey));
    if (virtualKey >= FirstFunctionKey && virtualKey <= LastFunctionKey)
        return "F" + std::to_string(virtualKey - FirstFunctionKey + 1);
    return "";
}

std::string FallbackKeyName(unsigned virtualKey)
{
    char text[16];
    std::snprintf(text, sizeof text, "Key 0x%02X", virtualKey);
    return text;
}

} // namespace

HotKeyRegistration RegistrationOf(uint16_t code)
{
    HotKeyRegistration registration{0, static_cast<unsigned>(code & HotKeyKeyMask)};
    if (code & HotKeyShift)
        registration.Modifiers |= RegisterModShift;
    if (code & HotKeyCtrl)
        registration.Modifiers |= RegisterModControl;
    if (code & HotKeyAlt)
        registration.Modifiers |= RegisterModAlt;
    return registration;
}

std::string HotKeyText(uint16_t code, const KeyNameSource& keyName)
{
    const unsigned virtualKey = code & HotKeyKeyMask;
    if (virtualKey == 0)
        return "";
    std::string name = OwnKeyName(virtualKey);
    if (name.empty() && keyName)
        name = keyName(virtualKey);
    if (name.empty())
        name = FallbackKeyName(virtualKey);

    std::string text;
    if (code & HotKeyShift)
        text += ShiftText;
    if (code & HotKeyCtrl)
        text += CtrlText;
    if (code & HotKeyAlt)
        text += AltText;
    return text + name;
}
