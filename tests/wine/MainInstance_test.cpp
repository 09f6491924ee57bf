// hvxw.exe's command line, its single-instance rule and the requests other
// programs send it through its registered message.
#include <gtest/gtest.h>

#include "HalvexProgram.h"

using namespace harness;
using namespace halvex_test;

namespace {

constexpr char MainTitle[] = "Halvex";
constexpr char AboutCaption[] = "About Halvex";
constexpr Timeout Briefly{1500};

// A second start of the program in the same folder, run to its end.
DWORD RunSecondInstance(const AppDir& dir, const std::string& arguments)
{
    Process second = StartInAppDir(dir, ProgramName, arguments);
    EXPECT_TRUE(second.WaitForExit());
    return second.ExitCode().value_or(0xFFFF);
}

bool AnyPromptOf(DWORD processId)
{
    return FindTopWindow(WindowQuery::OfClass(DialogClass).InProcess(processId)) != nullptr;
}

}  // namespace

TEST(MainInstance, FirstInstanceStartsHiddenWithOrWithoutShow)
{
    for (const char* arguments : {"", "Show"}) {
        AppDir dir;
        RunningProgram program(dir, arguments);
        ASSERT_NE(program.Window(), nullptr) << "arguments: " << arguments;
        EXPECT_TRUE(program.Settle());
        EXPECT_FALSE(IsWindowVisible(program.Window())) << "arguments: " << arguments;
        EXPECT_FALSE(IsWindowEnabled(program.Window()));
        EXPECT_TRUE(MutexExists("Hvxmu01"));
        EXPECT_EQ(TextOf(program.Window()), MainTitle);
        // The application window owns it, so it has no task-bar button of its own.
        HWND owner = GetWindow(program.Window(), GW_OWNER);
        ASSERT_NE(owner, nullptr);
        EXPECT_TRUE(GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        EXPECT_EQ(TextOf(owner), MainTitle);
    }
}

// Only the exact single word "Show" asks the running instance to show its window.
TEST(MainInstance, SecondInstanceExitsAndOnlyExactShowSignals)
{
    AppDir dir;
    WriteSettings(dir, {{LogonUser(), "ProfileName", LogonUser()}, {LogonUser(), "LockPwd", "secret"}});
    RunningProgram program(dir);
    ASSERT_NE(program.Window(), nullptr);

    for (const char* arguments : {"", "show", "SHOW", "Show Show", "Show x", "Install2"}) {
        EXPECT_EQ(RunSecondInstance(dir, arguments), 0u) << "arguments: " << arguments;
        EXPECT_TRUE(program.Settle());
        EXPECT_FALSE(AnyPromptOf(program.Id())) << "arguments: " << arguments;
        EXPECT_FALSE(IsWindowVisible(program.Window())) << "arguments: " << arguments;
    }
    EXPECT_TRUE(program.Program().IsRunning());

    // The second instance waits in its broadcast while the first one prompts.
    Process second = StartInAppDir(dir, ProgramName, "Show");
    HWND prompt = WaitForPrompt(MainTitle, program.Id());
    ASSERT_NE(prompt, nullptr);
    EXPECT_TRUE(second.IsRunning());
    AnswerPrompt(prompt, "secret");
    EXPECT_TRUE(WaitForVisible(program.Window()));
    EXPECT_TRUE(IsWindowEnabled(program.Window()));
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.ExitCode(), 0u);
}

TEST(MainInstance, InstallKeepsTheNewestUninstallerFiles)
{
    AppDir dir;
    RunningProgram program(dir);
    ASSERT_NE(program.Window(), nullptr);
    // unins001.msg is absent: its old counterpart must stay as it is.
    dir.WriteFile("unins000.exe", "old exe");
    dir.WriteFile("unins001.exe", "new exe");
    dir.WriteFile("unins001.dat", "new dat");
    dir.WriteFile("unins000.msg", "old msg");

    EXPECT_EQ(RunSecondInstance(dir, "Install"), 0u);

    EXPECT_EQ(dir.ReadFile("unins000.exe"), "new exe");
    EXPECT_EQ(dir.ReadFile("unins000.dat"), "new dat");
    EXPECT_EQ(dir.ReadFile("unins000.msg"), "old msg");
    EXPECT_FALSE(dir.Contains("unins001.exe"));
    EXPECT_FALSE(dir.Contains("unins001.dat"));
    EXPECT_TRUE(program.Program().IsRunning());
}

TEST(MainInstance, InstallInAFirstInstanceGoesOnToStart)
{
    AppDir dir;
    dir.WriteFile("unins001.dat", "new dat");
    RunningProgram program(dir, "Install");
    ASSERT_NE(program.Window(), nullptr);
    EXPECT_EQ(dir.ReadFile("unins000.dat"), "new dat");
    EXPECT_TRUE(program.Program().IsRunning());
}

TEST(MainInstance, ShowRequestPromptsForThePasswordThenShowsTheWindow)
{
    AppDir dir;
    WriteSettings(dir, {{LogonUser(), "ProfileName", LogonUser()}, {LogonUser(), "LockPwd", "secret"}});
    RunningProgram program(dir);
    ASSERT_NE(program.Window(), nullptr);

    // A wrong answer keeps it hidden; the next request asks again.
    program.PostRequest(ShowRequest);
    HWND prompt = WaitForPrompt(MainTitle, program.Id());
    ASSERT_NE(prompt, nullptr);
    AnswerPrompt(prompt, "Secret");
    HWND error = WaitForMessageBox("Error", program.Id());
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(MessageBoxText(error), "Incorrect Password");
    PressMessageBoxButton(error, IDOK);
    EXPECT_TRUE(program.Settle());
    EXPECT_FALSE(IsWindowVisible(program.Window()));

    program.PostRequest(ShowRequest);
    prompt = WaitForPrompt(MainTitle, program.Id());
    ASSERT_NE(prompt, nullptr);
    AnswerPrompt(prompt, "secret");
    EXPECT_TRUE(WaitForVisible(program.Window()));

    // Shown already: a further request does nothing.
    program.PostRequest(ShowRequest);
    EXPECT_TRUE(program.Settle());
    EXPECT_FALSE(AnyPromptOf(program.Id()));
    EXPECT_TRUE(IsWindowVisible(program.Window()));
}

TEST(MainInstance, AboutRequestOpensOneAboutBoxAtATime)
{
    AppDir dir;
    RunningProgram program(dir);
    ASSERT_NE(program.Window(), nullptr);
    auto aboutBoxes = [&] {
        std::vector<HWND> visible;
        for (HWND box : FindTopWindows(WindowQuery::OfClass(DialogClass).WithTitle(AboutCaption).InProcess(program.Id())))
            if (IsWindowVisible(box)) visible.push_back(box);
        return visible;
    };

    program.PostRequest(AboutRequest);
    HWND first = WaitForPrompt(AboutCaption, program.Id());
    ASSERT_NE(first, nullptr);
    EXPECT_NE(FindControl(first, ControlQuery::WithText("Halvex 1.0.0.0")), nullptr);

    program.PostRequest(AboutRequest);
    ASSERT_TRUE(WaitUntil([&] { auto boxes = aboutBoxes(); return boxes.size() == 1 && boxes[0] != first; },
                          DefaultTimeout, "the second about box in place of the first"));
    HWND second = aboutBoxes()[0];
    Click(GetDlgItem(second, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return aboutBoxes().empty(); }, DefaultTimeout, "no about box"));
    EXPECT_TRUE(program.Program().IsRunning());
}

TEST(MainInstance, UnknownRequestsAndTheAboutCommandOfTheMenus)
{
    AppDir dir;
    RunningProgram program(dir);
    ASSERT_NE(program.Window(), nullptr);
    for (WPARAM request : {3u, 4u, 0xFFFFu}) {
        program.PostRequest(request);
        EXPECT_TRUE(program.Settle());
        EXPECT_FALSE(AnyPromptOf(program.Id())) << "request " << request;
        EXPECT_FALSE(IsWindowVisible(program.Window())) << "request " << request;
    }
    // The About action asks through the same message.
    program.Command(CmdAbout);
    EXPECT_NE(WaitForPrompt(AboutCaption, program.Id()), nullptr);
}

// The logon's transparent desktop holds the start back until it has gone.
TEST(MainInstance, StartWaitsForTheTransparentDesktop)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "MPRTransparentDesktop";
    RegisterClassA(&windowClass);
    HWND desktop = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   windowClass.hInstance, nullptr);
    ASSERT_NE(desktop, nullptr);

    AppDir dir;
    Process program = StartInAppDir(dir, ProgramName);
    ASSERT_TRUE(WaitUntil([] { return MutexExists("Hvxmu01"); }, DefaultTimeout, "the instance mutex"));
    // Idle means waiting in its loop for the window to go: past the point where it would create its own.
    ASSERT_EQ(WaitForInputIdle(program.Get(), static_cast<DWORD>(DefaultTimeout.count())), 0u);
    EXPECT_EQ(FindTopWindow(WindowQuery::OfClass(MainFormClass).InProcess(program.Id())), nullptr);
    DestroyWindow(desktop);
    EXPECT_NE(WaitForTopWindow(WindowQuery::OfClass(MainFormClass).InProcess(program.Id())), nullptr);
    UnregisterClassA(windowClass.lpszClassName, windowClass.hInstance);
}
