// hvxw.exe's global hot key: registered from the stored code, pressed to
// lock, re-registered when its control is left after an edit.
#include <gtest/gtest.h>

#include <functional>

#include "HalvexProgram.h"

using namespace harness;
using namespace halvex_test;

namespace {

constexpr int ProbeId = 77;

// A combination another program holds cannot be registered a second time.
bool HeldByAnotherProgram(UINT modifiers, UINT virtualKey)
{
    if (RegisterHotKey(nullptr, ProbeId, modifiers, virtualKey)) {
        UnregisterHotKey(nullptr, ProbeId);
        return false;
    }
    return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
}

void ShowWithoutPrompt(const RunningProgram& program)
{
    program.PostRequest(ShowRequest);
    ASSERT_TRUE(WaitForVisible(program.Window()));
}

void PressChord(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, 0));
        inputs.push_back(input);
    }
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(*key, 0));
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

TEST(MainHotKey, TheStoredCodeRegistersItsModifiersAndKey)
{
    struct Case {
        const char* Stored;
        UINT Modifiers;
        UINT VirtualKey;
    };
    const Case cases[] = {
        {"16576", MOD_CONTROL, 0xC0},
        {"24641", MOD_SHIFT | MOD_CONTROL, 0x41},   // 0x6041
        {"41072", MOD_ALT | MOD_SHIFT, VK_F1},      // 0xA070
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Stored);
        AppDir dir;
        WriteSettings(dir, {{"", "HotKey", c.Stored}});
        RunningProgram program(dir);
        ASSERT_NE(program.Window(), nullptr);
        EXPECT_TRUE(HeldByAnotherProgram(c.Modifiers, c.VirtualKey));
        // The same key with other modifiers is free.
        EXPECT_FALSE(HeldByAnotherProgram(c.Modifiers ^ MOD_ALT, c.VirtualKey));
        WORD shown = static_cast<WORD>(SendMessageA(program.Control(IdHalvexHotKey), HKM_GETHOTKEY, 0, 0));
        EXPECT_EQ(LOBYTE(shown), c.VirtualKey);
        program.Program().End();
        EXPECT_FALSE(HeldByAnotherProgram(c.Modifiers, c.VirtualKey));
    }
}

// With the screen-saver style and none configured, a lock tells the user so:
// that shows each trigger reached the lock command.
TEST(MainHotKey, TheHotKeyAndTheTrayIconRunTheLockCommand)
{
    AppDir dir;
    std::string user = LogonUser();
    WriteSettings(dir, {{"", "HotKey", "24641"}, {user, "ProfileName", user}, {user, "LockStyle", "1"}});
    HKEY desktop = nullptr;
    // No screen saver in this prefix.
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_ALL_ACCESS, &desktop), ERROR_SUCCESS);
    RegDeleteValueA(desktop, "SCRNSAVE.EXE");
    RegCloseKey(desktop);

    RunningProgram program(dir);
    ASSERT_NE(program.Window(), nullptr);
    struct Trigger {
        const char* Name;
        std::function<void()> Fire;
    };
    const Trigger triggers[] = {
        {"hot key", [] { PressChord({VK_SHIFT, VK_CONTROL, 'A'}); }},
        {"tray double click", [&] { program.Post(TrayIconMessage, 1, WM_LBUTTONDBLCLK); }},
        {"tray menu", [&] {
             program.Post(TrayIconMessage, 1, WM_RBUTTONUP);
             HWND menu = WaitForTopWindow(WindowQuery::OfClass("#32768").InProcess(program.Id()));
             WaitForVisible(menu);
             PressKeys({VK_HOME});
             PressKeys({VK_RETURN});
         }},
    };
    for (const Trigger& trigger : triggers) {
        SCOPED_TRACE(trigger.Name);
        trigger.Fire();
        HWND box = WaitForMessageBox("Information", program.Id());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), "You should configure the Screen Saver before using.");
        PressMessageBoxButton(box, IDOK);
        EXPECT_TRUE(WaitForNoTopWindow(WindowQuery::OfClass(DialogClass).InProcess(program.Id())));
    }
}

TEST(MainHotKey, LeavingTheControlRegistersAnEditedKeyAndMarksTheChange)
{
    AppDir dir;
    WriteSettings(dir, {{"", "HotKey", "16576"}});
    RunningProgram program(dir);
    ASSERT_NE(program.Window(), nullptr);
    ShowWithoutPrompt(program);
    ClickPageTab(program, 3);   // no admin password: the Admin page opens at once
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(program.Page(IdAdminPage)) != FALSE; }, DefaultTimeout,
                          "the Admin page enabled"));
    HWND hotKey = program.Control(IdHalvexHotKey);

    // Left unchanged: nothing is modified.
    ASSERT_TRUE(Focus(hotKey));
    ASSERT_TRUE(Focus(program.Control(IdTimeOutEdit)));
    EXPECT_TRUE(program.Settle());
    EXPECT_EQ(StatusText(program, 1), "No");
    EXPECT_TRUE(HeldByAnotherProgram(MOD_CONTROL, 0xC0));

    // Edited, then left: the new key is held, the old one released.
    ASSERT_TRUE(Focus(hotKey));
    PressChord({VK_CONTROL, VK_MENU, 'K'});
    ASSERT_TRUE(WaitUntil([&] { return LOBYTE(SendMessageA(hotKey, HKM_GETHOTKEY, 0, 0)) == 'K'; }, DefaultTimeout,
                          "the control showing the new key"));
    ASSERT_TRUE(Focus(program.Control(IdTimeOutEdit)));
    EXPECT_TRUE(program.Settle());
    EXPECT_EQ(StatusText(program, 1), "Yes");
    EXPECT_TRUE(HeldByAnotherProgram(MOD_CONTROL | MOD_ALT, 'K'));
    EXPECT_FALSE(HeldByAnotherProgram(MOD_CONTROL, 0xC0));
}
