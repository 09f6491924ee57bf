// The configuration window of hvxw.exe: shown behind its password, hidden to
// the tray, exited after the admin password and a confirmation.
#include <gtest/gtest.h>

#include <shellapi.h>

#include "HalvexProgram.h"

using namespace harness;
using namespace halvex_test;

namespace {

constexpr char MainTitle[] = "Halvex";
constexpr char AdminCheck[] = "Admin privilege checking";

std::vector<Entry> Passwords(const std::string& lockPassword, const std::string& adminPassword, bool lockedUserCfg)
{
    std::string user = LogonUser();
    return {{user, "ProfileName", user},
            {user, "LockPwd", lockPassword},
            {"", "APwd", adminPassword},
            {"", "LUCfg", lockedUserCfg ? "1" : "0"}};
}

// Asks to show the window and answers the prompt, if one comes, with answer.
// Returns whether a prompt came, and with which text.
std::string ShowWith(const RunningProgram& program, const std::string& answer)
{
    program.PostRequest(ShowRequest);
    std::string promptText = "<none>";
    bool shown = WaitUntil(
        [&] {
            if (IsWindowVisible(program.Window())) return true;
            HWND prompt = FindTopWindow(WindowQuery::OfClass(DialogClass).WithTitle(MainTitle).InProcess(program.Id()));
            if (!prompt || !IsWindowVisible(prompt)) return false;
            promptText = GetText(GetDlgItem(prompt, 201));
            AnswerPrompt(prompt, answer);
            return true;
        },
        DefaultTimeout, "the window or its prompt");
    EXPECT_TRUE(shown);
    return promptText;
}

bool RejectedWithIncorrectPassword(const RunningProgram& program)
{
    HWND error = WaitForMessageBox("Error", program.Id());
    if (!error) return false;
    bool right = MessageBoxText(error) == "Incorrect Password";
    PressMessageBoxButton(error, IDOK);
    return right;
}

}  // namespace

// Which password opens the window: the profile's or the admin's, or the
// admin's alone when the user may only unlock.
TEST(MainWindow, ThePromptAcceptsTheRightPasswordsOnly)
{
    struct Case {
        const char* LockPassword;
        const char* AdminPassword;
        bool LockedUserCfg;
        const char* Answer;
        const char* ExpectedPrompt;   // "<none>": shown without a prompt
        bool Opens;
    };
    const Case cases[] = {
        {"lock", "admin", false, "lock", "Enter password:", true},
        {"lock", "admin", false, "admin", "Enter password:", true},
        {"lock", "", false, "", "Enter password:", false},          // nothing typed: no error box either
        {"lock", "admin", false, "LOCK", "Enter password:", false},
        {"lock", "admin", true, "admin", "Enter Admin password:", true},
        {"lock", "admin", true, "lock", "Enter Admin password:", false},
        {"lock", "", true, "", "<none>", true},
        {"", "admin", false, "", "<none>", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("lock '") + c.LockPassword + "' admin '" + c.AdminPassword + "' LUCfg " +
                     std::to_string(c.LockedUserCfg) + " answer '" + c.Answer + "'");
        AppDir dir;
        WriteSettings(dir, Passwords(c.LockPassword, c.AdminPassword, c.LockedUserCfg));
        RunningProgram program(dir);
        ASSERT_NE(program.Window(), nullptr);
        EXPECT_EQ(ShowWith(program, c.Answer), c.ExpectedPrompt);
        if (c.Opens) {
            EXPECT_TRUE(WaitForVisible(program.Window()));
            continue;
        }
        if (std::string(c.Answer).empty()) {
            EXPECT_TRUE(WaitForNoTopWindow(WindowQuery::OfClass(DialogClass).InProcess(program.Id())));
        } else {
            EXPECT_TRUE(RejectedWithIncorrectPassword(program));
        }
        EXPECT_TRUE(program.Settle());
        EXPECT_FALSE(IsWindowVisible(program.Window()));
    }
}

TEST(MainWindow, ThePromptNeverOpensTwice)
{
    AppDir dir;
    WriteSettings(dir, Passwords("lock", "", false));
    RunningProgram program(dir);
    ASSERT_NE(program.Window(), nullptr);
    program.PostRequest(ShowRequest);
    HWND prompt = WaitForPrompt(MainTitle, program.Id());
    ASSERT_NE(prompt, nullptr);
    // Requests while the prompt is open reach the program through the prompt's own loop.
    program.PostRequest(ShowRequest);
    program.PostRequest(ShowRequest);
    // Handled once a message posted after them is.
    ASSERT_TRUE(program.Settle());
    EXPECT_EQ(FindTopWindows(WindowQuery::OfClass(DialogClass).InProcess(program.Id())).size(), 1u);
    AnswerPrompt(prompt, "lock");
    EXPECT_TRUE(WaitForVisible(program.Window()));
}

TEST(MainWindow, CloseAndMinimiseHideItToTheTray)
{
    AppDir dir;
    RunningProgram program(dir);
    ASSERT_NE(program.Window(), nullptr);
    for (WPARAM command : {SC_CLOSE, SC_MINIMIZE}) {
        SCOPED_TRACE(command == SC_CLOSE ? "close" : "minimise");
        ShowWith(program, "");
        ASSERT_TRUE(WaitForVisible(program.Window()));
        // As the system menu and the close box send it.
        DWORD_PTR ignored;
        SendMessageTimeoutA(program.Window(), WM_SYSCOMMAND, command, 0, SMTO_NORMAL, 5000, &ignored);
        EXPECT_TRUE(WaitForHidden(program.Window()));
        EXPECT_FALSE(IsWindowEnabled(program.Window()));
        EXPECT_TRUE(program.Program().IsRunning());
    }
    // Posted, the same commands are dropped before they reach the window.
    ShowWith(program, "");
    ASSERT_TRUE(WaitForVisible(program.Window()));
    program.Post(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(program.Settle());
    EXPECT_TRUE(IsWindowVisible(program.Window()));
}

// The last item of the tray menu shows and hides the window.
TEST(MainWindow, TheTrayMenuTogglesTheWindow)
{
    AppDir dir;
    RunningProgram program(dir);
    ASSERT_NE(program.Window(), nullptr);
    for (bool expectVisible : {true, false}) {
        program.Post(TrayIconMessage, 1, WM_RBUTTONUP);
        HWND menu = WaitForTopWindow(WindowQuery::OfClass("#32768").InProcess(program.Id()));
        ASSERT_NE(menu, nullptr);
        WaitForVisible(menu);
        PressKeys({VK_END});
        PressKeys({VK_RETURN});
        EXPECT_TRUE(WaitUntil([&] { return (IsWindowVisible(program.Window()) != FALSE) == expectVisible; },
                              DefaultTimeout, expectVisible ? "the window shown" : "the window hidden"));
    }
}

TEST(MainWindow, ExitAsksForTheAdminPasswordThenForConfirmation)
{
    struct Case {
        const char* AdminPassword;
        const char* Answer;
        int Confirmation;   // 0: no confirmation expected
        bool Exits;
    };
    const Case cases[] = {
        {"", "", IDCANCEL, false},
        {"", "", IDOK, true},
        {"admin", "Admin", 0, false},
        {"admin", "admin", IDCANCEL, false},
        {"admin", "admin", IDOK, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("admin '") + c.AdminPassword + "' answer '" + c.Answer + "' button " +
                     std::to_string(c.Confirmation));
        AppDir dir;
        WriteSettings(dir, Passwords("", c.AdminPassword, false));
        RunningProgram program(dir);
        ASSERT_NE(program.Window(), nullptr);
        program.Command(CmdExit);
        if (*c.AdminPassword) {
            HWND prompt = WaitForPrompt(AdminCheck, program.Id());
            ASSERT_NE(prompt, nullptr);
            EXPECT_EQ(GetText(GetDlgItem(prompt, 201)), "Enter Admin password:");
            AnswerPrompt(prompt, c.Answer);
        }
        if (c.Confirmation) {
            HWND question = WaitForMessageBox("Confirmation", program.Id());
            ASSERT_NE(question, nullptr);
            EXPECT_EQ(MessageBoxText(question), "Exit Halvex?");
            PressMessageBoxButton(question, c.Confirmation);
        } else {
            EXPECT_TRUE(RejectedWithIncorrectPassword(program));
        }
        if (c.Exits) {
            ASSERT_TRUE(program.Program().WaitForExit());
            EXPECT_EQ(program.Program().ExitCode(), 0u);
        } else {
            EXPECT_TRUE(program.Settle());
            EXPECT_TRUE(program.Program().IsRunning());
        }
    }
}

// Under Wine a task bar exists from the start, so the first tick adds the icon.
TEST(MainWindow, TheTrayIconAppearsWithTheTaskBar)
{
    AppDir dir;
    RunningProgram program(dir);
    ASSERT_NE(program.Window(), nullptr);
    ASSERT_NE(FindWindowA("Shell_TrayWnd", nullptr), nullptr);
    // Only an icon that exists can be modified.
    auto iconExists = [&] {
        NOTIFYICONDATAA data = {};
        data.cbSize = NOTIFYICONDATAA_V2_SIZE;
        data.hWnd = program.Window();
        data.uID = 1;
        data.uFlags = NIF_TIP;
        lstrcpyA(data.szTip, "Halvex");
        return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
    };
    EXPECT_TRUE(WaitUntil(iconExists, DefaultTimeout, "the tray icon"));
    program.Program().End();
}

TEST(MainWindow, TheNtFamilyDisablesTheStartUpOptions)
{
    AppDir dir;
    RunningProgram program(dir);
    ASSERT_NE(program.Window(), nullptr);
    for (int id : {IdBootKeysCheckBox, IdBootMenuCheckBox, IdUserValidationCheckBox}) {
        ASSERT_NE(program.Control(id), nullptr) << id;
        EXPECT_FALSE(IsWindowEnabled(program.Control(id))) << id;
    }
    EXPECT_TRUE(IsWindowEnabled(program.Control(IdLockedUserCfgCheckBox)));
}
