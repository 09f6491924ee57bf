// A small program for the harness's self-test to drive: a window with a text read from a file,
// an edit, and a button that asks through a message box; it ends with the exit code it was given.
// Subsystem: windows
//
// Command line: [--exit-code=N] [--hidden]
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr char WindowClass[] = "HarnessTargetWindow";
constexpr char WindowTitle[] = "Harness Target";
constexpr char GreetingFile[] = "greeting.txt";
constexpr char SavedFile[] = "saved.txt";
constexpr char NoGreeting[] = "(no greeting)";
constexpr char SaveQuestion[] = "Save the text to saved.txt?";
constexpr char SaveCaption[] = "&Save";
constexpr char SavedCaption[] = "Saved";
constexpr char NotSavedCaption[] = "Not saved";

enum ControlId { GreetingId = 100, EditId = 101, SaveId = 102, FolderId = 103 };

struct Options {
    int ExitCode = 0;
    bool Hidden = false;
};

Options ParseOptions(const std::string& commandLine)
{
    Options options;
    std::istringstream words(commandLine);
    std::string word;
    while (words >> word) {
        if (word.rfind("--exit-code=", 0) == 0) options.ExitCode = std::atoi(word.c_str() + 12);
        if (word == "--hidden") options.Hidden = true;
    }
    return options;
}

std::string ReadGreeting()
{
    std::ifstream file(GreetingFile, std::ios::binary);
    if (!file) return NoGreeting;
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

std::string ExeFolder()
{
    char path[MAX_PATH];
    std::string exe(path, GetModuleFileNameA(nullptr, path, sizeof path));
    return exe.substr(0, exe.find_last_of('\\'));
}

std::string TextOf(HWND window)
{
    std::string text(GetWindowTextLengthA(window) + 1, '\0');
    text.resize(GetWindowTextA(window, text.data(), static_cast<int>(text.size())));
    return text;
}

class TargetWindow {
public:
    explicit TargetWindow(int exitCode) : ExitCode(exitCode) {}

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<TargetWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        return self ? self->Handle(window, message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
    }

private:
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_CREATE: CreateControls(window); return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == SaveId && HIWORD(wParam) == BN_CLICKED) AskAndSave(window);
            return 0;
        case WM_DESTROY: PostQuitMessage(ExitCode); return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
        }
    }

    void CreateControls(HWND window)
    {
        auto create = [window](const char* cls, const std::string& text, DWORD style, int y, int id) {
            return CreateWindowExA(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 10, y, 300, 24, window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        };
        create("STATIC", ReadGreeting(), 0, 10, GreetingId);
        create("STATIC", ExeFolder(), 0, 40, FolderId);
        Edit = create("EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 70, EditId);
        Save = create("BUTTON", SaveCaption, WS_TABSTOP | BS_PUSHBUTTON, 100, SaveId);
    }

    void AskAndSave(HWND window)
    {
        if (MessageBoxA(window, SaveQuestion, WindowTitle, MB_YESNO | MB_ICONQUESTION) != IDYES) {
            SetWindowTextA(Save, NotSavedCaption);
            return;
        }
        std::ofstream(SavedFile, std::ios::binary) << TextOf(Edit);
        SetWindowTextA(Save, SavedCaption);
    }

    int ExitCode;
    HWND Edit = nullptr;
    HWND Save = nullptr;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    Options options = ParseOptions(commandLine);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = TargetWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = WindowClass;
    if (!RegisterClassExA(&windowClass)) return 1;

    TargetWindow target(options.ExitCode);
    HWND window = CreateWindowExA(0, WindowClass, WindowTitle, WS_OVERLAPPEDWINDOW, 50, 50, 340, 180, nullptr,
                                  nullptr, instance, &target);
    if (!window) return 1;
    ShowWindow(window, options.Hidden ? SW_HIDE : showCommand);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
