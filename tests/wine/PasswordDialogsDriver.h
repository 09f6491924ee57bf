// Driving password_prompt.exe's dialogs as a user would: opening one, putting text in,
// closing it one of the ways a user can, and reading what the call returned.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "PasswordDialogsTool.h"
#include "activation/DialogLayout.h"
#include "activation/win32/MixDlg.h"
#include "harness/Harness.h"
#include "platform/TextMeasure.h"
#include "platform/UniqueHandle.h"

namespace password_dialogs {

using namespace harness;

inline constexpr char DialogClass[] = "#32770";
inline constexpr char ErrorCaption[] = "Error";
inline constexpr char IncorrectPassword[] = "Incorrect Password";

// How text gets into a field.
enum class Entry {
    None,            // left as it opened
    Put,             // WM_SETTEXT, as another program would
    Typed,           // real key strokes
    TypedAndErased,  // real key strokes, then as many backspaces
};

// How a dialog is closed.
enum class Closing { OkButton, EnterKey, CancelButton, EscapeKey, CloseBox };

inline std::string Quoted(const std::string& argument) { return "\"" + argument + "\""; }

inline std::string Arguments(std::initializer_list<std::string> arguments)
{
    std::string line;
    for (const std::string& argument : arguments) line += (line.empty() ? "" : " ") + Quoted(argument);
    return line;
}

class ScreenDC {
public:
    ScreenDC() : Dc(GetDC(nullptr)) {}
    ~ScreenDC() { ReleaseDC(nullptr, Dc); }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC Get() const { return Dc; }

private:
    HDC Dc;
};

// The font a dialog template asks for with "MS Sans Serif" 8 pt, made as the dialog manager makes it.
inline UniqueFont DialogTemplateFont()
{
    const ScreenDC dc;
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(8, GetDeviceCaps(dc.Get(), LOGPIXELSY), 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, "MS Sans Serif", LF_FACESIZE);
    return UniqueFont(CreateFontIndirectA(&font));
}

// Measurements of text in the dialog font, made in this process.
class DialogFontMeasure {
public:
    DialogFontMeasure() : Font(DialogTemplateFont()), Previous(SelectObject(Dc.Get(), Font.Get())) {}
    ~DialogFontMeasure() { SelectObject(Dc.Get(), Previous); }
    DialogFontMeasure(const DialogFontMeasure&) = delete;
    DialogFontMeasure& operator=(const DialogFontMeasure&) = delete;

    CharSize AverageSize() const { return AverageCharSize(Dc.Get()); }
    SIZE TextSize(const std::string& text) const
    {
        RECT r = {0, 0, 0, 0};
        DrawTextA(Dc.Get(), text.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX);
        return {r.right - r.left, r.bottom - r.top};
    }

private:
    ScreenDC Dc;
    UniqueFont Font;
    HGDIOBJ Previous;
};

// A control's rectangle in its dialog's client coordinates.
inline RECT PlacementOf(HWND control)
{
    RECT r = {};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The selection of an edit (also of another process, also when masked): {start, end}.
inline std::pair<int, int> SelectionOf(HWND edit)
{
    const DWORD selection = static_cast<DWORD>(SendMessageA(edit, EM_GETSEL, 0, 0));
    return {LOWORD(selection), HIWORD(selection)};
}

inline HWND FocusedControlOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

inline bool WaitForFocus(HWND control, CallSite at = CallSite::Here())
{
    return WaitUntil([&] { return FocusedControlOf(control) == control; }, DefaultTimeout,
                     "the focus on control " + std::to_string(GetDlgCtrlID(control)), at);
}

// Typed keys arrive after posted messages: wait for the caret before a click can follow them.
inline bool WaitForCaretAt(HWND edit, int position, CallSite at = CallSite::Here())
{
    return WaitUntil([&] { return SelectionOf(edit) == std::make_pair(position, position); }, DefaultTimeout,
                     "the caret at " + std::to_string(position), at);
}

// The tool, started in a folder of its own; declared in this order so the process ends first.
class PromptTool {
public:
    void Start(const std::string& arguments, CallSite at = CallSite::Here())
    {
        Tool = StartInAppDir(Dir, password_prompt::ExeName, arguments, at);
    }

    // The tool's dialog with that caption once shown; nullptr (and a failure) when none came.
    HWND WaitForDialog(const std::string& caption, CallSite at = CallSite::Here()) const
    {
        const auto query = WindowQuery::OfClass(DialogClass).WithTitle(caption).InProcess(Tool.Id());
        HWND dialog = WaitForTopWindow(query, DefaultTimeout, at);
        return dialog && WaitForVisible(dialog, DefaultTimeout, at) ? dialog : nullptr;
    }

    HWND OwnerWindow() const
    {
        return FindTopWindow(WindowQuery::OfClass(password_prompt::OwnerClass).InProcess(Tool.Id()));
    }

    // What the calls returned, once the tool has ended by itself (as it cannot while a box waits).
    std::string Result(CallSite at = CallSite::Here()) const
    {
        if (!Tool.WaitForExit(DefaultTimeout, at)) return "<still running>";
        EXPECT_EQ(Tool.ExitCode(), 0u) << "password_prompt.exe failed";
        return Dir.ReadFile(password_prompt::ResultFile).value_or("<no result file>");
    }

    const AppDir& Folder() const { return Dir; }
    DWORD Id() const { return Tool.Id(); }

private:
    AppDir Dir;
    Process Tool;
};

inline void Enter(HWND edit, Entry entry, const std::string& text, CallSite at = CallSite::Here())
{
    switch (entry) {
    case Entry::None: break;
    case Entry::Put: SetText(edit, text, at); break;
    case Entry::Typed:
        if (TypeKeys(edit, text, at)) WaitForCaretAt(edit, static_cast<int>(text.size()), at);
        break;
    case Entry::TypedAndErased:
        if (!TypeKeys(edit, text, at) || !WaitForCaretAt(edit, static_cast<int>(text.size()), at)) break;
        for (size_t i = 0; i < text.size(); ++i) PressKeys({VK_BACK}, at);
        WaitForCaretAt(edit, 0, at);
        break;
    }
}

inline void Close(HWND dialog, Closing closing, CallSite at = CallSite::Here())
{
    switch (closing) {
    case Closing::OkButton: Click(GetDlgItem(dialog, IDOK), at); break;
    case Closing::CancelButton: Click(GetDlgItem(dialog, IDCANCEL), at); break;
    case Closing::EnterKey:
        if (Focus(GetDlgItem(dialog, PasswordEdit1Id), at)) PressKeys({VK_RETURN}, at);
        break;
    case Closing::EscapeKey:
        if (Focus(GetDlgItem(dialog, PasswordEdit1Id), at)) PressKeys({VK_ESCAPE}, at);
        break;
    // What the title bar's close box sends.
    case Closing::CloseBox: PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    }
}

// Waits for the "Incorrect Password" box, checks it came after the dialog had closed, and presses OK.
inline void AnswerIncorrectPassword(const PromptTool& tool, HWND dialog, CallSite at = CallSite::Here())
{
    HWND box = WaitForMessageBox(ErrorCaption, tool.Id(), DefaultTimeout, at);
    if (!box) return;
    EXPECT_FALSE(IsWindow(dialog)) << "the password dialog is still open under the message box";
    EXPECT_EQ(MessageBoxText(box), IncorrectPassword);
    EXPECT_EQ(GetWindow(box, GW_OWNER), tool.OwnerWindow());
    PressMessageBoxButton(box, IDOK, DefaultTimeout, at);
}

}  // namespace password_dialogs
