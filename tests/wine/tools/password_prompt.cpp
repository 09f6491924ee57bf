// Opens one of hvxw's password dialogs from its command line, for the tests to answer as a user
// would, and writes what it returned to result.txt beside itself.
// Subsystem: windows
//
//   password_prompt.exe [--no-owner] query <caption> <prompt> <expected> <alternative> [<times>]
//   password_prompt.exe [--no-owner] input <caption> <prompt> <value> <masked> <acceptUnmodified>
//   password_prompt.exe [--no-owner] pair <caption> <prompt1> <prompt2> <value1> <value2> <acceptUnmodified>
//                                         <masked1> <masked2>
//   password_prompt.exe nested <caption> <prompt> <expected> <alternative>
// Flags are 0 or 1. Without --no-owner the dialogs belong to a hidden window, as in hvxw.
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "PasswordDialogsTool.h"
#include "activation/win32/MixDlg.h"
#include "platform/UniqueHandle.h"

namespace {

using Arguments = std::vector<std::string>;

std::string BoolText(bool value) { return value ? "true" : "false"; }
bool Flag(const std::string& text) { return text == "1"; }

std::string BesideExe(const std::string& name)
{
    char path[MAX_PATH];
    std::string exe(path, GetModuleFileNameA(nullptr, path, sizeof path));
    return exe.substr(0, exe.find_last_of('\\') + 1) + name;
}

// Through a temporary file, so that a test polling for the file never reads half of it.
bool WriteBesideExe(const std::string& name, const std::string& content)
{
    const std::string path = BesideExe(name);
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!(file << content) || !file.flush()) return false;
    }
    return MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

struct QueryRequest {
    std::string Caption, Prompt, Expected, Alternative;
};

// The hidden window the dialogs belong to; it also opens the nested query when told to.
class OwnerWindow {
public:
    explicit OwnerWindow(const QueryRequest* nested) : Nested(nested)
    {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = password_prompt::OwnerClass;
        RegisterClassExA(&windowClass);
        Window.Reset(CreateWindowExA(0, password_prompt::OwnerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                     windowClass.hInstance, this));
    }

    HWND Get() const { return Window.Get(); }
    bool NestedWriteFailed() const { return WriteFailed; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<OwnerWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (self && message == password_prompt::NestedQueryMessage) {
            self->OpenNestedQuery(window);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    void OpenNestedQuery(HWND window)
    {
        if (!Nested) return;
        bool accepted = false;
        try {
            accepted = PasswordQuery(window, Nested->Caption, Nested->Prompt, Nested->Expected, Nested->Alternative);
        } catch (...) {
        }
        if (!WriteBesideExe(password_prompt::NestedResultFile, BoolText(accepted) + "\n")) WriteFailed = true;
    }

    const QueryRequest* Nested;
    bool WriteFailed = false;
    UniqueWindow Window;
};

std::string RunQuery(HWND owner, const Arguments& args)
{
    const QueryRequest request{args[0], args[1], args[2], args[3]};
    const int times = args.size() > 4 ? std::atoi(args[4].c_str()) : 1;
    std::string result;
    for (int i = 0; i < times; ++i) {
        result += BoolText(PasswordQuery(owner, request.Caption, request.Prompt, request.Expected,
                                         request.Alternative)) + "\n";
    }
    return result;
}

std::string RunInput(HWND owner, const Arguments& args)
{
    std::string value = args[2];
    const bool accepted = InputPasswordQuery(owner, args[0], args[1], value, Flag(args[3]), Flag(args[4]));
    return BoolText(accepted) + "\n" + value + "\n";
}

std::string RunPair(HWND owner, const Arguments& args)
{
    std::string value1 = args[3];
    std::string value2 = args[4];
    const bool accepted =
        InputPasswordPair(owner, args[0], args[1], args[2], value1, value2, Flag(args[5]), Flag(args[6]), Flag(args[7]));
    return BoolText(accepted) + "\n" + value1 + "\n" + value2 + "\n";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Arguments args(__argv + 1, __argv + __argc);
    bool withOwner = true;
    if (!args.empty() && args.front() == "--no-owner") {
        withOwner = false;
        args.erase(args.begin());
    }
    if (args.empty()) return password_prompt::BadUsage;
    const std::string operation = args.front();
    args.erase(args.begin());

    const bool nested = operation == "nested";
    const QueryRequest nestedRequest = nested && args.size() == 4 ? QueryRequest{args[0], args[1], args[2], args[3]}
                                                                    : QueryRequest{};
    OwnerWindow ownerWindow(nested ? &nestedRequest : nullptr);
    HWND owner = withOwner ? ownerWindow.Get() : nullptr;

    std::string result;
    if ((operation == "query" && (args.size() == 4 || args.size() == 5)) || (nested && args.size() == 4)) {
        result = RunQuery(owner, args);
    } else if (operation == "input" && args.size() == 5) {
        result = RunInput(owner, args);
    } else if (operation == "pair" && args.size() == 8) {
        result = RunPair(owner, args);
    } else {
        return password_prompt::BadUsage;
    }
    if (ownerWindow.NestedWriteFailed() || !WriteBesideExe(password_prompt::ResultFile, result)) {
        return password_prompt::CannotWriteResult;
    }
    return 0;
}
