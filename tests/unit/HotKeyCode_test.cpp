// Hot-key codes: registration and text.
#include "core/HotKeyCode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(HotKeyCode, Registration)
{
    const struct {
        uint16_t Code;
        unsigned Modifiers, VirtualKey;
    } cases[] = {
        {16576, 2, 0xC0},  {0x6041, 6, 0x41}, {0, 0, 0},          {0x2000 | 0x2E, 4, 0x2E},
        {0x8070, 1, 0x70}, {0xE070, 7, 0x70}, {0xA041, 5, 0x41},  {0x1FFF, 0, 0x1FFF},
        {0x2000, 4, 0},    {0xFFFF, 7, 0x1FFF},
    };
    for (const auto& c : cases) {
        const HotKeyRegistration registration = RegistrationOf(c.Code);
        EXPECT_EQ(registration.Modifiers, c.Modifiers) << std::hex << c.Code;
        EXPECT_EQ(registration.VirtualKey, c.VirtualKey) << std::hex << c.Code;
    }
}

TEST(HotKeyCode, RegistrationModifiersAreThePlatformValues)
{
    EXPECT_EQ(RegisterModAlt, 1u);
    EXPECT_EQ(RegisterModControl, 2u);
    EXPECT_EQ(RegisterModShift, 4u);
}

const struct {
    uint16_t Code;
    const char* Text;
} TextCases[] = {
    {0, ""},
    {0x41, "A"},
    {0x5A, "Z"},
    {0x30, "0"},
    {0x39, "9"},
    {0x6041, "Shift+Ctrl+A"},
    {0xE070, "Shift+Ctrl+Alt+F1"},
    {0x2000 | 0x2E, "Shift+Del"},
    {0x8000 | 0x0D, "Alt+Enter"},
    {0xA000 | 0x5A, "Shift+Alt+Z"},
    {0xC000 | 0x1B, "Ctrl+Alt+Esc"},
    {0x08, "BkSp"},
    {0x09, "Tab"},
    {0x0D, "Enter"},
    {0x1B, "Esc"},
    {0x20, "Space"},
    {0x21, "PgUp"},
    {0x22, "PgDn"},
    {0x23, "End"},
    {0x24, "Home"},
    {0x25, "Left"},
    {0x26, "Up"},
    {0x27, "Right"},
    {0x28, "Down"},
    {0x2D, "Ins"},
    {0x2E, "Del"},
    {0x70, "F1"},
    {0x79, "F10"},
    {0x7B, "F12"},
    {0x87, "F24"},
    // Codes with modifiers but no key cannot be registered and have no text.
    {0x2000, ""},
    {0xE000, ""},
};

TEST(HotKeyCode, TextOfKnownKeys)
{
    for (const auto& c : TextCases)
        EXPECT_EQ(HotKeyText(c.Code), c.Text) << std::hex << c.Code;
}

TEST(HotKeyCode, KnownKeysDoNotAskTheSystem)
{
    std::vector<unsigned> asked;
    const KeyNameSource systemName = [&asked](unsigned virtualKey) {
        asked.push_back(virtualKey);
        return std::string("System");
    };
    for (const auto& c : TextCases)
        EXPECT_EQ(HotKeyText(c.Code, systemName), c.Text) << std::hex << c.Code;
    EXPECT_TRUE(asked.empty());
}

TEST(HotKeyCode, OtherKeysWithoutASystemNameGetTheFallback)
{
    const struct {
        uint16_t Code;
        const char* Text;
    } cases[] = {
        {0x40C0, "Ctrl+Key 0xC0"}, {0x60, "Key 0x60"},   {0x01, "Key 0x01"},     {0x2F, "Key 0x2F"},
        {0x40, "Key 0x40"},        {0x5B, "Key 0x5B"},   {0x6F, "Key 0x6F"},     {0x88, "Key 0x88"},
        {0x07, "Key 0x07"},        {0x0A, "Key 0x0A"},   {0x1ABC, "Key 0x1ABC"}, {0xE0FF, "Shift+Ctrl+Alt+Key 0xFF"},
    };
    const KeyNameSource noName = [](unsigned) { return std::string(); };
    for (const auto& c : cases) {
        EXPECT_EQ(HotKeyText(c.Code), c.Text) << std::hex << c.Code;
        EXPECT_EQ(HotKeyText(c.Code, noName), c.Text) << std::hex << c.Code;
    }
}

TEST(HotKeyCode, OtherKeysTakeTheSystemName)
{
    std::vector<unsigned> asked;
    const KeyNameSource systemName = [&asked](unsigned virtualKey) {
        asked.push_back(virtualKey);
        switch (virtualKey) {
        case 0xC0: return std::string("`");
        case 0x60: return std::string("Num 0");
        default: return std::string();
        }
    };
    const struct {
        uint16_t Code;
        const char* Text;
    } cases[] = {
        {0x40C0, "Ctrl+`"},
        {0xE0C0, "Shift+Ctrl+Alt+`"},
        {0x2060, "Shift+Num 0"},
        {0x6A, "Key 0x6A"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HotKeyText(c.Code, systemName), c.Text) << std::hex << c.Code;
    EXPECT_EQ(asked, (std::vector<unsigned>{0xC0, 0xC0, 0x60, 0x6A}));
}

} // namespace
