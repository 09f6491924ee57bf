// Self-test of the Wine test harness: drives harness_target.exe with every harness function,
// so that a fault of the harness shows here before it can mislead a test of the programs.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "harness/Harness.h"

using namespace harness;

namespace {

constexpr char TargetExe[] = "harness_target.exe";
constexpr char TargetClass[] = "HarnessTargetWindow";
constexpr char TargetTitle[] = "Harness Target";
constexpr char SaveQuestion[] = "Save the text to saved.txt?";
constexpr char SavedFile[] = "saved.txt";
constexpr int GreetingId = 100;
constexpr int EditId = 101;
constexpr int SaveId = 102;
constexpr int FolderId = 103;
// For waits that are meant to time out.
constexpr Timeout Short{300};

using Clock = std::chrono::steady_clock;

class HarnessTarget : public ::testing::Test {
protected:
    // Starts the target in Dir and returns its window once shown, with its controls made
    // (nullptr, with a failure, when it did not come).
    HWND Start(const std::string& arguments = "")
    {
        Target = StartInAppDir(Dir, TargetExe, arguments);
        if (!Target.IsStarted()) return nullptr;
        HWND window = WaitForTopWindow(WindowQuery::OfClass(TargetClass).InProcess(Target.Id()));
        if (arguments.find("--hidden") != std::string::npos) return window;
        return window && WaitForVisible(window) ? window : nullptr;
    }

    AppDir Dir;
    Process Target;
};

// --- AppDir -----------------------------------------------------------------------------------

TEST(HarnessAppDir, IsAFreshEmptyFolderOfItsOwn)
{
    AppDir first;
    AppDir second;
    ASSERT_FALSE(first.Path().empty());
    ASSERT_FALSE(second.Path().empty());
    EXPECT_NE(first.Path(), second.Path());
    EXPECT_EQ(first.Path().rfind(ScratchRoot(), 0), 0u) << first.Path() << " is not under " << ScratchRoot();
    EXPECT_TRUE(first.List().empty());
    EXPECT_TRUE(second.List().empty());
    ASSERT_TRUE(first.WriteFile("only-here.txt", "x"));
    EXPECT_FALSE(second.Contains("only-here.txt"));
}

TEST(HarnessAppDir, WritesReadsCopiesAndListsFiles)
{
    AppDir dir;
    // Bytes a text-mode file or a C string would damage.
    const std::string content("line 1\r\nline 2\n\0tail\x1a\xff", 21);
    ASSERT_TRUE(dir.WriteFile("data.bin", content));
    EXPECT_EQ(dir.ReadFile("data.bin"), content);
    ASSERT_TRUE(dir.CopyIn(dir.PathOf("data.bin"), "copy.bin"));
    EXPECT_EQ(dir.ReadFile("copy.bin"), content);
    ASSERT_TRUE(dir.WriteFile("data.bin", "shorter"));
    EXPECT_EQ(dir.ReadFile("data.bin"), "shorter");
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"copy.bin", "data.bin"}));
    EXPECT_FALSE(dir.ReadFile("missing.txt").has_value());
    EXPECT_FALSE(dir.Contains("missing.txt"));
}

TEST(HarnessAppDir, CopyInKeepsTheSourceNameByDefault)
{
    AppDir source;
    AppDir dir;
    ASSERT_TRUE(source.WriteFile("Halvex.dat", "settings"));
    ASSERT_TRUE(dir.CopyIn(source.PathOf("Halvex.dat")));
    EXPECT_EQ(dir.ReadFile("Halvex.dat"), "settings");
}

TEST(HarnessAppDir, IsRemovedWhenThePassingTestIsDone)
{
    std::string path;
    {
        AppDir dir;
        path = dir.Path();
        ASSERT_TRUE(dir.WriteFile("file.txt", "x"));
        ASSERT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path << " is still there";
}

TEST(HarnessAppDir, ReportsAFileItCannotCopy)
{
    AppDir dir;
    EXPECT_NONFATAL_FAILURE(dir.CopyIn(dir.PathOf("no-such-file.txt"), "x.txt"), "no-such-file.txt");
}

// --- Process ----------------------------------------------------------------------------------

TEST_F(HarnessTarget, RunsItsCopyInTheAppDirThatHoldsItsFiles)
{
    ASSERT_TRUE(Dir.WriteFile("greeting.txt", "Hello from the AppDir"));
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(Dir.Contains(TargetExe));
    // Reading greeting.txt by a relative name shows the working folder is the AppDir.
    EXPECT_EQ(GetText(FindControl(window, ControlQuery::WithId(GreetingId))), "Hello from the AppDir");
    std::string exeFolder = GetText(FindControl(window, ControlQuery::WithId(FolderId)));
    EXPECT_EQ(lstrcmpiA(exeFolder.c_str(), Dir.Path().c_str()), 0) << exeFolder << " vs " << Dir.Path();
}

TEST_F(HarnessTarget, WaitForExitReportsAProcessThatStillRuns)
{
    ASSERT_NE(Start(), nullptr);
    EXPECT_NONFATAL_FAILURE(Target.WaitForExit(Short), "the end of harness_target.exe");
    EXPECT_TRUE(Target.IsRunning());
    EXPECT_FALSE(Target.ExitCode().has_value());
}

TEST_F(HarnessTarget, EndsItsProcessWhenDestroyedWhileItRuns)
{
    ASSERT_NE(Start(), nullptr);
    UniqueKernelHandle watcher(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, Target.Id()));
    ASSERT_TRUE(watcher) << DescribeLastError();
    ASSERT_EQ(WaitForSingleObject(watcher.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    { Process ending = std::move(Target); }
    ASSERT_EQ(WaitForSingleObject(watcher.Get(), 5000), WAIT_OBJECT_0) << "the process still runs";
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(watcher.Get(), &code));
    EXPECT_EQ(code, Process::EndedByHarness);
}

TEST_F(HarnessTarget, ReportsAProgramThatIsNotThere)
{
    EXPECT_NONFATAL_FAILURE(Target = StartInAppDir(Dir, "no_such_program.exe"), "no_such_program.exe");
    EXPECT_FALSE(Target.IsStarted());
}

class HarnessExitCode : public HarnessTarget, public ::testing::WithParamInterface<DWORD> {};

TEST_P(HarnessExitCode, IsReadOnceTheProgramHasEnded)
{
    DWORD exitCode = GetParam();
    HWND window = Start("--exit-code=" + std::to_string(exitCode));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(Target.IsRunning());
    EXPECT_FALSE(Target.ExitCode().has_value());
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Target.WaitForExit());
    EXPECT_FALSE(Target.IsRunning());
    EXPECT_EQ(Target.ExitCode(), exitCode);
}

// 259 is STILL_ACTIVE, what GetExitCodeProcess also says of a running process.
INSTANTIATE_TEST_SUITE_P(Codes, HarnessExitCode, ::testing::Values(0u, 3u, 259u, 65535u));

// --- Top-level windows ------------------------------------------------------------------------

TEST_F(HarnessTarget, FindsTheWindowByClassTitleOrProcess)
{
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FindTopWindow(WindowQuery::OfClass(TargetClass)), window);
    EXPECT_EQ(FindTopWindow(WindowQuery::OfClass("harnesstargetwindow")), window);
    EXPECT_EQ(FindTopWindow(WindowQuery::Titled(TargetTitle)), window);
    EXPECT_EQ(FindTopWindow(WindowQuery::OfClass(TargetClass).WithTitle(TargetTitle).InProcess(Target.Id())), window);
    EXPECT_EQ(ProcessOf(window), Target.Id());
    EXPECT_EQ(FindTopWindow(WindowQuery::OfClass(TargetClass).InProcess(GetCurrentProcessId())), nullptr);
    EXPECT_EQ(FindTopWindow(WindowQuery::OfClass(TargetClass).WithTitle("Harness Targe")), nullptr);
    EXPECT_EQ(FindTopWindow(WindowQuery::Titled(TargetTitle).InProcess(Target.Id() + 4)), nullptr);
}

TEST_F(HarnessTarget, TellsTheWindowsOfTwoProcessesApart)
{
    HWND first = Start();
    ASSERT_NE(first, nullptr);
    Process other = StartInAppDir(Dir, TargetExe);
    ASSERT_TRUE(other.IsStarted());
    HWND second = WaitForTopWindow(WindowQuery::OfClass(TargetClass).InProcess(other.Id()));
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(ProcessOf(second), other.Id());
    EXPECT_EQ(FindTopWindows(WindowQuery::OfClass(TargetClass)).size(), 2u);
}

TEST_F(HarnessTarget, WaitsForTheWindowToShowHideAndGo)
{
    HWND window = Start("--hidden");
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_NONFATAL_FAILURE(WaitForVisible(window, Short), "to become visible");
    ShowWindowAsync(window, SW_SHOW);
    EXPECT_TRUE(WaitForVisible(window));
    ShowWindowAsync(window, SW_HIDE);
    EXPECT_TRUE(WaitForHidden(window));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_NONFATAL_FAILURE(WaitForDestroyed(window, Short), "to be destroyed");
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitForDestroyed(window));
    EXPECT_TRUE(WaitForNoTopWindow(WindowQuery::OfClass(TargetClass).InProcess(Target.Id())));
}

TEST(HarnessWindows, ReportWhatTheyAwaited)
{
    EXPECT_NONFATAL_FAILURE(WaitForTopWindow(WindowQuery::OfClass("NoSuchWindowClass").WithTitle("Nobody"), Short),
                            "top-level window of class \"NoSuchWindowClass\" titled \"Nobody\"");
}

// --- Controls ---------------------------------------------------------------------------------

TEST_F(HarnessTarget, FindsControlsByClassCaptionOrId)
{
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    HWND edit = FindControl(window, ControlQuery::OfClass("edit"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(GetDlgCtrlID(edit), EditId);
    HWND save = FindControl(window, ControlQuery::WithText("Save"));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(GetDlgCtrlID(save), SaveId);
    EXPECT_EQ(FindControl(window, ControlQuery::WithText("&Save").AndClass("Button")), save);
    EXPECT_EQ(FindControl(window, ControlQuery::WithId(SaveId)), save);
    EXPECT_EQ(WaitForControl(window, ControlQuery::OfClass("Button")), save);
    EXPECT_EQ(FindControl(window, ControlQuery::WithText("Save").AndClass("Edit")), nullptr);
    EXPECT_NONFATAL_FAILURE(WaitForControl(window, ControlQuery::WithText("Load"), Short),
                            "control with text \"Load\"");
}

TEST_F(HarnessTarget, TextSetIntoAnEditIsReadBack)
{
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    HWND edit = FindControl(window, ControlQuery::WithId(EditId));
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(SetText(edit, "set with WM_SETTEXT"));
    EXPECT_EQ(GetText(edit), "set with WM_SETTEXT");
    ASSERT_TRUE(SetText(edit, ""));
    EXPECT_EQ(GetText(edit), "");
}

TEST_F(HarnessTarget, TypedKeysArriveAsTheText)
{
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    HWND edit = FindControl(window, ControlQuery::WithId(EditId));
    ASSERT_NE(edit, nullptr);
    // Shifted and unshifted letters, digits and punctuation.
    const std::string text = "Typed Keys: 42 & more!";
    ASSERT_TRUE(TypeKeys(edit, text));
    EXPECT_TRUE(WaitUntil([&] { return GetText(edit) == text; }, DefaultTimeout, "the typed text in the edit"))
        << "the edit holds \"" << GetText(edit) << "\"";
}

TEST_F(HarnessTarget, PressedKeysHoldModifiersUntilTheKeyIsDown)
{
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    HWND edit = FindControl(window, ControlQuery::WithId(EditId));
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(Focus(edit));
    ASSERT_TRUE(PressKeys({VK_SHIFT, 'Q'}));
    EXPECT_TRUE(WaitUntil([&] { return GetText(edit) == "Q"; }, DefaultTimeout, "\"Q\" in the edit"))
        << "the edit holds \"" << GetText(edit) << "\"";
    ASSERT_TRUE(PressKeys({'W'}));
    ASSERT_TRUE(PressKeys({VK_LEFT}));
    ASSERT_TRUE(PressKeys({VK_BACK}));
    EXPECT_TRUE(WaitUntil([&] { return GetText(edit) == "w"; }, DefaultTimeout, "\"w\" in the edit"))
        << "the edit holds \"" << GetText(edit) << "\"";
}

// --- Message boxes ----------------------------------------------------------------------------

struct AnswerCase {
    int Button;
    const char* Caption;
    bool Saves;
};

class HarnessMessageBox : public HarnessTarget, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(HarnessMessageBox, AnswerDecidesWhatTheProgramDoes)
{
    const AnswerCase& answer = GetParam();
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    HWND edit = FindControl(window, ControlQuery::WithId(EditId));
    HWND save = FindControl(window, ControlQuery::WithId(SaveId));
    ASSERT_TRUE(edit && save);
    ASSERT_TRUE(SetText(edit, "keep this"));
    auto started = Clock::now();
    ASSERT_TRUE(Click(save));
    // The click is posted: it must not wait for the modal box it opens.
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(AnswerMessageBox(TargetTitle, answer.Button, Target.Id()), SaveQuestion);
    EXPECT_TRUE(WaitUntil([&] { return GetText(save) == answer.Caption; }, DefaultTimeout,
                          std::string("the button to read \"") + answer.Caption + "\""))
        << "the button reads \"" << GetText(save) << "\"";
    if (answer.Saves) {
        EXPECT_EQ(Dir.ReadFile(SavedFile), "keep this");
    } else {
        EXPECT_FALSE(Dir.Contains(SavedFile));
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, HarnessMessageBox,
                         ::testing::Values(AnswerCase{IDYES, "Saved", true}, AnswerCase{IDNO, "Not saved", false}));

TEST_F(HarnessTarget, MessageBoxIsFoundOnlyForItsProcess)
{
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Click(FindControl(window, ControlQuery::WithId(SaveId))));
    HWND box = WaitForMessageBox(TargetTitle, Target.Id());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), SaveQuestion);
    EXPECT_NONFATAL_FAILURE(WaitForMessageBox(TargetTitle, GetCurrentProcessId(), Short), "#32770");
    EXPECT_NONFATAL_FAILURE(WaitForMessageBox("Another caption", Target.Id(), Short), "Another caption");
    // A Yes/No box has no OK button.
    EXPECT_NONFATAL_FAILURE(PressMessageBoxButton(box, IDOK, Short), "shows no button with id 1");
    EXPECT_TRUE(IsWindow(box));
    EXPECT_TRUE(PressMessageBoxButton(box, IDNO));
    EXPECT_FALSE(IsWindow(box));
}

// --- Waiting ----------------------------------------------------------------------------------

TEST(HarnessWait, ReturnsAsSoonAsTheConditionHolds)
{
    int calls = 0;
    auto started = Clock::now();
    EXPECT_TRUE(WaitUntil([&] { return ++calls == 3; }, std::chrono::seconds(20), "the third call"));
    EXPECT_EQ(calls, 3);
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(5));
}

TEST(HarnessWait, FailsAtTheDeadlineSayingWhatWasAwaited)
{
    auto started = Clock::now();
    EXPECT_NONFATAL_FAILURE(WaitUntil([] { return false; }, Timeout(200), "the moon to rise"),
                            "Timed out after 200 ms waiting for the moon to rise");
    auto waited = Clock::now() - started;
    EXPECT_GE(waited, Timeout(200));
    EXPECT_LT(waited, std::chrono::seconds(5));
}

TEST(HarnessWait, PollUntilReportsNothing)
{
    EXPECT_FALSE(PollUntil([] { return false; }, Timeout(50)));
    EXPECT_TRUE(PollUntil([] { return true; }, Timeout(0)));
}

// A window of the test thread, to see that waiting dispatches its messages.
class MessageCounter {
public:
    MessageCounter()
    {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = ClassName;
        RegisterClassExA(&windowClass);
        Window.Reset(CreateWindowExA(0, ClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr));
        SetWindowLongPtrA(Window.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    HWND Get() const { return Window.Get(); }
    int Received = 0;

private:
    static constexpr char ClassName[] = "HarnessMessageCounter";

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<MessageCounter*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_APP && self) ++self->Received;
        return DefWindowProcA(window, message, wParam, lParam);
    }

    UniqueWindow Window;
};

TEST(HarnessWait, DispatchesTheMessagesOfTheTestThread)
{
    MessageCounter counter;
    ASSERT_NE(counter.Get(), nullptr);
    ASSERT_TRUE(PostMessageA(counter.Get(), WM_APP, 0, 0));
    EXPECT_TRUE(WaitUntil([&] { return counter.Received == 1; }, Timeout(2000), "the posted message"));
}

}  // namespace
