// SSHalvex.scr, the screen-saver module: each of the system's command lines with the control
// program absent, running, and locked; and the control program's screen-saver lock style.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "LockScreenFixture.h"
#include "tools/profile_RegistryScratch.h"

using namespace harness;
using namespace halvex_test;

namespace {

constexpr char ModuleName[] = "SSHalvex.scr";
constexpr char ControlProgramMutex[] = "Hvxmu01";
constexpr char BoxCaption[] = "Halvex Screen Saver";
constexpr char NotExecutedText[] = "Halvex is not executed !";
constexpr char NothingToConfigureText[] = "Nothing to configure !";
constexpr char Password[] = "Secret";   // the lock settings' default
constexpr char HotKeyCtrlShiftA[] = "24641";

constexpr char ApplicationClass[] = "HalvexApplication";
constexpr char ApplicationTitle[] = "Halvex";
constexpr char DesktopKey[] = "Control Panel\\Desktop";
constexpr char ScreenSaverValue[] = "SCRNSAVE.EXE";
constexpr char ScreenSaverActiveValue[] = "ScreenSaveActive";
constexpr char HookLibrary[] = "screensave_witness.dll";
constexpr char HookProcedure[] = "ScreenSaveWitnessHook";
constexpr char HookWitnessClass[] = "HalvexScreenSaveWitness";   // as the hook looks for it
constexpr char RequestWitnessClass[] = "HalvexLockRequestWitness";

// --- What the module does for each command line ----------------------------------------------

enum class Outcome { Nothing, Lock, NotExecuted, Configure, LockAndConfigure };

bool Locks(Outcome outcome)
{
    return outcome == Outcome::Lock || outcome == Outcome::LockAndConfigure;
}

const char* BoxTextOf(Outcome outcome)
{
    switch (outcome) {
    case Outcome::NotExecuted: return NotExecutedText;
    case Outcome::Configure:
    case Outcome::LockAndConfigure: return NothingToConfigureText;
    default: return nullptr;
    }
}

struct CommandLineCase {
    const char* Arguments;
    Outcome NotRunning, Running, LockUp;
};

// The system's usual command lines in the three states of the control program.
const CommandLineCase CommandLines[] = {
    {"/s", Outcome::Nothing, Outcome::Lock, Outcome::Nothing},
    {"/S", Outcome::Nothing, Outcome::Lock, Outcome::Nothing},
    {"/p 1234", Outcome::NotExecuted, Outcome::Nothing, Outcome::Nothing},
    {"/c", Outcome::Nothing, Outcome::Configure, Outcome::Configure},
    {"/c:1234", Outcome::Nothing, Outcome::Configure, Outcome::Configure},
    {"/sc", Outcome::Nothing, Outcome::LockAndConfigure, Outcome::Configure},
    {"/a 1234", Outcome::Nothing, Outcome::Nothing, Outcome::Nothing},
    {"/x", Outcome::Nothing, Outcome::Nothing, Outcome::Nothing},
    {"", Outcome::Nothing, Outcome::Nothing, Outcome::Nothing},
};

// --- Witnesses of the test's own -------------------------------------------------------------

using Messages = std::vector<std::pair<WPARAM, LPARAM>>;
// Hvxms01 asking for a lock: wParam 1, lParam 0.
const std::pair<WPARAM, LPARAM> LockRequestMessage{LockRequest, 0};

// A hidden top-level window that records one message as (wParam, lParam): a broadcast reaches
// it as it reaches the control program's windows.
class MessageWitness {
public:
    MessageWitness(const char* className, UINT message) : Message(message)
    {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassExA(&windowClass);   // fails harmlessly once registered
        Window.Reset(CreateWindowExA(WS_EX_TOOLWINDOW, className, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), this));
    }

    MessageWitness(const MessageWitness&) = delete;
    MessageWitness& operator=(const MessageWitness&) = delete;

    bool IsReady() const { return static_cast<bool>(Window); }
    // What has arrived, once this thread's queue is handled: a message that a process sent or
    // posted before it ended is waiting in it already.
    Messages Received() const
    {
        PumpMessagesFor(Timeout{0});
        return Arrived;
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<MessageWitness*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == self->Message) {
            self->Arrived.emplace_back(wParam, lParam);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    UINT Message;
    Messages Arrived;
    UniqueWindow Window;
};

// --- A message box as seen from outside ------------------------------------------------------

// A message box's controls are its direct children.
std::vector<HWND> ChildrenOf(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// A standard icon as the test's own process draws it, on the given background.
std::vector<COLORREF> DrawnIcon(LPCSTR standardIcon, int width, int height, COLORREF background)
{
    using namespace screen_detail;
    UniqueScreenDc screen(GetDC(nullptr));
    UniqueMemoryDc memory(CreateCompatibleDC(screen.Get()));
    void* bits = nullptr;
    UniqueBitmap bitmap = CreateTopDownBitmap(memory.Get(), width, height, &bits);
    UniqueBrush brush(CreateSolidBrush(background));
    if (!memory || !bitmap || !bits || !brush) return {};
    HGDIOBJ previous = SelectObject(memory.Get(), bitmap.Get());
    RECT all = {0, 0, width, height};
    FillRect(memory.Get(), &all, brush.Get());
    DrawIconEx(memory.Get(), 0, 0, LoadIconA(nullptr, standardIcon), width, height, 0, nullptr, DI_NORMAL);
    GdiFlush();
    SelectObject(memory.Get(), previous);
    const auto* pixels = static_cast<const uint32_t*>(bits);
    std::vector<COLORREF> colors;
    for (int i = 0; i < width * height; ++i) colors.push_back(ColorOf(pixels[i]));
    return colors;
}

struct StandardIcon {
    const char* Name;
    LPCSTR Id;
};
const StandardIcon StandardIcons[] = {{"hand", IDI_HAND},
                                      {"question", IDI_QUESTION},
                                      {"exclamation", IDI_EXCLAMATION},
                                      {"information", IDI_ASTERISK}};

// The name of the standard icon the screen shows in the area, or empty when none. Another
// process's icon handle means nothing here, but the same icon draws the same pixels: those
// that come out alike on black and on white are compared.
std::string StandardIconShownAt(const RECT& area)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    ScreenArea screen(area);
    if (!screen.Taken()) return "";
    for (const StandardIcon& icon : StandardIcons) {
        std::vector<COLORREF> onBlack = DrawnIcon(icon.Id, width, height, RGB(0, 0, 0));
        std::vector<COLORREF> onWhite = DrawnIcon(icon.Id, width, height, RGB(255, 255, 255));
        if (onBlack.empty() || onWhite.empty()) return "";
        int solid = 0, differing = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const size_t i = static_cast<size_t>(y) * width + x;
                if (onBlack[i] != onWhite[i]) continue;
                ++solid;
                differing += screen.At(area.left + x, area.top + y) != onBlack[i];
            }
        if (solid * 4 >= width * height && differing * 50 <= solid) return icon.Name;
    }
    return "";
}

// What the box's flags (MB_OK, an icon, no owner) leave to be seen from outside. The icon is
// compared on the screen only when nothing covers the box.
void CheckBoxLook(HWND box, const std::string& expectedIcon, bool inSight)
{
    EXPECT_EQ(TextOf(box), BoxCaption);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr) << "the box has an owner window";
    HWND icon = nullptr;
    std::vector<int> buttons;
    for (HWND child : ChildrenOf(box)) {
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        if (ClassOf(child) == "Button" && (style & WS_VISIBLE)) buttons.push_back(GetDlgCtrlID(child));
        if (ClassOf(child) == "Static" && (style & SS_TYPEMASK) == SS_ICON) icon = child;
    }
    EXPECT_EQ(buttons, std::vector<int>{IDOK}) << "MB_OK shows one button, OK";
    EXPECT_EQ(TextOf(GetDlgItem(box, IDOK)), "OK");
    ASSERT_NE(icon, nullptr) << "the box has no icon control";
    DWORD_PTR handle = 0;
    SendMessageTimeoutA(icon, STM_GETICON, 0, 0, SMTO_NORMAL, 5000, &handle);
    EXPECT_NE(handle, 0u) << "the box's icon control holds no icon";
    if (!inSight) return;
    std::string shown;
    WaitUntil([&] { return !(shown = StandardIconShownAt(ScreenRectOf(icon))).empty(); }, DefaultTimeout,
              "a standard icon drawn in the box");
    EXPECT_EQ(shown, expectedIcon);
}

// --- Running the module -----------------------------------------------------------------------

// Starts the module, checks and answers the box it is expected to show, and checks that it
// ends by itself with exit code 0. With no box expected, a box it shows is a failure.
void RunModule(const AppDir& dir, const std::string& arguments, Outcome expected, bool boxInSight)
{
    Process module = StartInAppDir(dir, ModuleName, arguments);
    ASSERT_TRUE(module.IsStarted());
    const auto itsBox = WindowQuery::OfClass(MessageBoxClass).WithTitle(BoxCaption).InProcess(module.Id());
    if (const char* text = BoxTextOf(expected)) {
        HWND box = WaitForMessageBox(BoxCaption, module.Id());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), text);
        CheckBoxLook(box, expected == Outcome::NotExecuted ? "hand" : "information", boxInSight);
        EXPECT_TRUE(PressMessageBoxButton(box, IDOK));
    } else {
        HWND box = nullptr;
        // A box would keep it from ending.
        WaitUntil([&] { return !module.IsRunning() || (box = FindTopWindow(itsBox)) != nullptr; }, DefaultTimeout,
                  "the module's end");
        if (box) {
            ADD_FAILURE() << "unexpected message box \"" << MessageBoxText(box) << "\"";
            WaitForVisible(box);
            PressMessageBoxButton(box, IDOK);
        }
    }
    ASSERT_TRUE(module.WaitForExit());
    EXPECT_EQ(module.ExitCode(), 0u);
}

// --- The registry ------------------------------------------------------------------------------

// Puts the user's screen-saver values back as they were: every suite of the run shares the prefix.
class DesktopValuesKept {
public:
    DesktopValuesKept()
    {
        for (const char* name : {ScreenSaverValue, ScreenSaverActiveValue})
            Saved.emplace_back(name, registry_scratch::QueryValue(HKEY_CURRENT_USER, DesktopKey, name));
    }
    ~DesktopValuesKept()
    {
        for (const auto& [name, value] : Saved) {
            if (value) {
                registry_scratch::SetValue(HKEY_CURRENT_USER, DesktopKey, name, value->Type, value->Bytes);
            } else if (UniqueKey key = registry_scratch::OpenKey(HKEY_CURRENT_USER, DesktopKey, KEY_SET_VALUE)) {
                RegDeleteValueA(key.Get(), name.c_str());
            }
        }
    }
    DesktopValuesKept(const DesktopValuesKept&) = delete;
    DesktopValuesKept& operator=(const DesktopValuesKept&) = delete;

private:
    std::vector<std::pair<std::string, std::optional<registry_scratch::StoredValue>>> Saved;
};

bool SetDesktopValue(const char* name, const std::string& text)
{
    return registry_scratch::SetValue(HKEY_CURRENT_USER, DesktopKey, name, REG_SZ, registry_scratch::StringBytes(text));
}

// --- The hook on the control program's thread ----------------------------------------------

// The witness DLL's message hook on the thread of the given window; Wine loads the DLL into
// that window's process. The witness window gets WM_APP with the command's window.
class ScreenSaveHook {
public:
    explicit ScreenSaveHook(HWND window)
    {
        Library.Reset(LoadLibraryA(JoinPath(ExeDir(), HookLibrary).c_str()));
        auto procedure = Library ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(
                                       GetProcAddress(Library.Get(), HookProcedure)))
                                 : nullptr;
        if (procedure)
            Hook.Reset(SetWindowsHookExA(WH_GETMESSAGE, procedure, Library.Get(),
                                         GetWindowThreadProcessId(window, nullptr)));
    }
    bool IsSet() const { return static_cast<bool>(Hook); }

private:
    UniqueLibrary Library;   // declared first, so the hook goes before the library
    UniqueHook Hook;
};

}  // namespace

// --- The table -------------------------------------------------------------------------------

TEST(ScreenSaver, WithoutTheControlProgramOnlyThePreviewAnswers)
{
    MessageWitness requests(RequestWitnessClass, HalvexMessage());
    ASSERT_TRUE(requests.IsReady());
    ASSERT_FALSE(MutexExists(ControlProgramMutex)) << "a control program is running";
    AppDir dir;
    for (const CommandLineCase& c : CommandLines) {
        SCOPED_TRACE(std::string("SSHalvex.scr ") + c.Arguments);
        RunModule(dir, c.Arguments, c.NotRunning, true);
        EXPECT_TRUE(requests.Received().empty()) << "a lock request was sent";
        EXPECT_EQ(FindTopWindow(WindowQuery::OfClass(LockFormClass)), nullptr);
    }
}

TEST(ScreenSaver, WithTheControlProgramRunningRunLocksAndConfigureAnswers)
{
    MessageWitness requests(RequestWitnessClass, HalvexMessage());
    ASSERT_TRUE(requests.IsReady());
    LockScreenProgram program;
    ASSERT_TRUE(program.IsStarted());
    size_t sent = 0;
    for (const CommandLineCase& c : CommandLines) {
        SCOPED_TRACE(std::string("SSHalvex.scr ") + c.Arguments);
        // The lock window would cover the box.
        RunModule(program.Dir(), c.Arguments, c.Running, !Locks(c.Running));
        const Messages received = requests.Received();
        if (Locks(c.Running)) {
            ASSERT_EQ(received.size(), sent + 1);
            EXPECT_EQ(received.back(), LockRequestMessage);
            ASSERT_TRUE(program.WaitForLock());
            EXPECT_TRUE(program.Unlock(Password));
        } else {
            EXPECT_EQ(received.size(), sent) << "a lock request was sent";
            // A request sent before the mark has been handled by then: sent messages come first.
            EXPECT_TRUE(program.Program().Settle());
            EXPECT_EQ(FindTopWindow(WindowQuery::OfClass(LockFormClass).InProcess(program.Program().Id())), nullptr);
        }
        sent = received.size();
    }
}

TEST(ScreenSaver, WithALockUpNothingIsSentAndConfigureAnswers)
{
    MessageWitness requests(RequestWitnessClass, HalvexMessage());
    ASSERT_TRUE(requests.IsReady());
    LockScreenProgram program;
    ASSERT_TRUE(program.IsStarted());
    ASSERT_TRUE(program.Lock());
    HWND lock = program.Window().Form;
    for (const CommandLineCase& c : CommandLines) {
        SCOPED_TRACE(std::string("SSHalvex.scr ") + c.Arguments);
        RunModule(program.Dir(), c.Arguments, c.LockUp, false);
        EXPECT_TRUE(requests.Received().empty()) << "a lock request was sent while the lock was up";
        EXPECT_TRUE(program.WaitForPass());
        EXPECT_EQ(FindTopWindows(WindowQuery::OfClass(LockFormClass)), std::vector<HWND>{lock});
        EXPECT_TRUE(program.IsLocked());
    }
    EXPECT_TRUE(program.Unlock(Password));
}

// The control program answers the module's request with its own lock window, whatever its style.
TEST(ScreenSaver, TheScreenSaverLockStyleStillLocksWithTheLockWindow)
{
    LockSettings settings;
    settings.LockStyle = "1";
    LockScreenProgram program(settings);
    ASSERT_TRUE(program.IsStarted());
    RunModule(program.Dir(), "/s", Outcome::Lock, false);
    ASSERT_TRUE(program.WaitForLock());
    EXPECT_TRUE(program.Unlock(Password));
}

// --- The screen-saver lock style ---------------------------------------------------------------

// Wine 8 starts no screen saver on the command, even with the module configured and screen
// savers active, so the command is seen where the control program takes it from its queue,
// through the witness DLL's message hook. The module's half of the road is tested above.
TEST(ScreenSaverStyle, TheHotKeyAndTheTrayIconPostTheScreenSaveCommandToTheApplicationWindow)
{
    DesktopValuesKept kept;
    MessageWitness commands(HookWitnessClass, WM_APP);
    ASSERT_TRUE(commands.IsReady());
    LockSettings settings;
    settings.LockStyle = "1";
    settings.HotKey = HotKeyCtrlShiftA;
    LockScreenProgram program(settings);
    ASSERT_TRUE(program.IsStarted());
    // The module installed beside the control program, named by its full path.
    ASSERT_TRUE(program.Dir().CopyIn(JoinPath(ExeDir(), ModuleName)));
    ASSERT_TRUE(SetDesktopValue(ScreenSaverValue, program.Dir().PathOf(ModuleName)));
    ASSERT_TRUE(SetDesktopValue(ScreenSaverActiveValue, "1"));
    ScreenSaveHook hook(program.Program().Window());
    ASSERT_TRUE(hook.IsSet()) << DescribeLastError();

    HWND application = GetWindow(program.Program().Window(), GW_OWNER);
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(ClassOf(application), ApplicationClass);
    EXPECT_EQ(TextOf(application), ApplicationTitle);
    EXPECT_FALSE(IsWindowVisible(application));
    const std::pair<WPARAM, LPARAM> command{reinterpret_cast<WPARAM>(application), 0};

    ASSERT_TRUE(PressKeys({VK_SHIFT, VK_CONTROL, 'A'}));
    ASSERT_TRUE(WaitUntil([&] { return commands.Received().size() == 1; }, DefaultTimeout,
                          "the screen-save command after the hot key"));
    EXPECT_EQ(commands.Received().back(), command);

    program.Program().Post(TrayIconMessage, 1, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return commands.Received().size() == 2; }, DefaultTimeout,
                          "the screen-save command after the tray double click"));
    EXPECT_EQ(commands.Received().back(), command);
    EXPECT_TRUE(program.Program().Settle());
    EXPECT_EQ(commands.Received().size(), 2u);
}

// The same witness sees nothing when the style is the own lock window: the command it reports
// above does not come from the hot key or the tray icon themselves.
TEST(ScreenSaverStyle, TheOwnLockWindowStylePostsNoScreenSaveCommand)
{
    DesktopValuesKept kept;
    MessageWitness commands(HookWitnessClass, WM_APP);
    ASSERT_TRUE(commands.IsReady());
    LockSettings settings;
    settings.HotKey = HotKeyCtrlShiftA;
    LockScreenProgram program(settings);
    ASSERT_TRUE(program.IsStarted());
    ASSERT_TRUE(program.Dir().CopyIn(JoinPath(ExeDir(), ModuleName)));
    ASSERT_TRUE(SetDesktopValue(ScreenSaverValue, program.Dir().PathOf(ModuleName)));
    ScreenSaveHook hook(program.Program().Window());
    ASSERT_TRUE(hook.IsSet()) << DescribeLastError();

    ASSERT_TRUE(PressKeys({VK_SHIFT, VK_CONTROL, 'A'}));
    ASSERT_TRUE(program.WaitForLock());
    EXPECT_TRUE(program.Unlock(Password));
    program.Program().Post(TrayIconMessage, 1, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(program.WaitForLock());
    EXPECT_TRUE(program.Unlock(Password));
    EXPECT_TRUE(program.Program().Settle());
    EXPECT_TRUE(commands.Received().empty());
}
