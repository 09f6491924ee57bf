// Child controls of other processes' windows, and keyboard input sent to them.
#include "harness/Controls.h"

#include <iterator>
#include <vector>

#include "harness/SystemError.h"
#include "harness/TopWindows.h"

namespace harness {

namespace {

// Longer than a click's round trip under Wine, short enough to report a stuck window quickly.
constexpr Timeout FocusTimeout{5000};
constexpr UINT SetTextTimeoutMilliseconds = 5000;

// The caption without the '&' that marks a shortcut letter ("&&" is a literal '&').
std::string WithoutShortcutMark(const std::string& caption)
{
    std::string shown;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        shown += caption[i];
    }
    return shown;
}

struct Search {
    const ControlQuery* Query;
    HWND Found;
};

BOOL CALLBACK FindFirstMatching(HWND control, LPARAM context)
{
    auto* search = reinterpret_cast<Search*>(context);
    if (!search->Query->Matches(control)) return TRUE;
    search->Found = control;
    return FALSE;
}

bool IsExtendedKey(WORD virtualKey)
{
    switch (virtualKey) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_INSERT: case VK_DELETE: case VK_RCONTROL: case VK_RMENU:
    case VK_LWIN: case VK_RWIN: case VK_APPS: case VK_DIVIDE: case VK_NUMLOCK:
        return true;
    default:
        return false;
    }
}

INPUT KeyInput(WORD virtualKey, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    // A zero scan code confuses some controls (the hot-key control among them).
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(virtualKey) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

bool Send(std::vector<INPUT>& inputs, const std::string& what, CallSite at)
{
    if (inputs.empty()) return true;
    UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent == inputs.size()) return true;
    ReportFailure(at, "SendInput sent " + std::to_string(sent) + " of " + std::to_string(inputs.size()) +
                          " key events for " + what + ": " + DescribeLastError());
    return false;
}

HWND FocusOf(DWORD threadId)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}

}  // namespace

ControlQuery ControlQuery::OfClass(std::string className)
{
    ControlQuery query;
    query.ClassName = std::move(className);
    return query;
}

ControlQuery ControlQuery::WithText(std::string text)
{
    ControlQuery query;
    query.Text = std::move(text);
    return query;
}

ControlQuery ControlQuery::WithId(int id)
{
    ControlQuery query;
    query.Id = id;
    return query;
}

ControlQuery ControlQuery::AndText(std::string text) const
{
    ControlQuery query = *this;
    query.Text = std::move(text);
    return query;
}

ControlQuery ControlQuery::AndClass(std::string className) const
{
    ControlQuery query = *this;
    query.ClassName = std::move(className);
    return query;
}

bool ControlQuery::Matches(HWND control) const
{
    if (Id != 0 && GetDlgCtrlID(control) != Id) return false;
    if (!ClassName.empty() && lstrcmpiA(ClassOf(control).c_str(), ClassName.c_str()) != 0) return false;
    if (Text.empty()) return true;
    std::string caption = TextOf(control);
    return caption == Text || WithoutShortcutMark(caption) == Text;
}

std::string ControlQuery::Describe() const
{
    std::string text = "control";
    if (!ClassName.empty()) text += " of class \"" + ClassName + "\"";
    if (!Text.empty()) text += " with text \"" + Text + "\"";
    if (Id != 0) text += " with id " + std::to_string(Id);
    return text;
}

HWND FindControl(HWND parent, const ControlQuery& query)
{
    // EnumChildWindows already walks grandchildren, parents before their children.
    Search search{&query, nullptr};
    EnumChildWindows(parent, FindFirstMatching, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND WaitForControl(HWND parent, const ControlQuery& query, Timeout timeout, CallSite at)
{
    HWND found = nullptr;
    std::string awaited = query.Describe() + " in \"" + TextOf(parent) + "\"";
    WaitUntil([&] { return (found = FindControl(parent, query)) != nullptr; }, timeout, awaited, at);
    return found;
}

bool Click(HWND button, CallSite at)
{
    if (PostMessageA(button, BM_CLICK, 0, 0)) return true;
    ReportFailure(at, "Cannot click the button: " + DescribeLastError());
    return false;
}

bool SetText(HWND control, const std::string& text, CallSite at)
{
    DWORD_PTR result = 0;
    if (SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                            SetTextTimeoutMilliseconds, &result) && result) {
        return true;
    }
    ReportFailure(at, "Cannot set the text \"" + text + "\" into the control: " + DescribeLastError());
    return false;
}

std::string GetText(HWND control)
{
    return TextOf(control);
}

bool Focus(HWND control, CallSite at)
{
    HWND top = GetAncestor(control, GA_ROOT);
    DWORD targetThread = GetWindowThreadProcessId(control, nullptr);
    if (!top || !targetThread) {
        ReportFailure(at, "Cannot focus a control that does not exist");
        return false;
    }
    SetForegroundWindow(top);
    // SetFocus acts on the caller's input state only: share the target's for the call.
    DWORD ownThread = GetCurrentThreadId();
    bool attached = AttachThreadInput(ownThread, targetThread, TRUE) != FALSE;
    SetFocus(control);
    if (attached) AttachThreadInput(ownThread, targetThread, FALSE);
    return WaitUntil([&] { return GetForegroundWindow() == top && FocusOf(targetThread) == control; }, FocusTimeout,
                     "the keyboard focus on the " + ClassOf(control) + " control in \"" + TextOf(top) + "\"", at);
}

bool TypeKeys(HWND control, const std::string& text, CallSite at)
{
    std::vector<INPUT> inputs;
    for (char c : text) {
        SHORT key = VkKeyScanA(c);
        if (key == -1) {
            ReportFailure(at, std::string("No key types the character '") + c + "'");
            return false;
        }
        WORD virtualKey = LOBYTE(key);
        std::vector<WORD> modifiers;
        if (HIBYTE(key) & 1) modifiers.push_back(VK_SHIFT);
        if (HIBYTE(key) & 2) modifiers.push_back(VK_CONTROL);
        if (HIBYTE(key) & 4) modifiers.push_back(VK_MENU);
        for (WORD modifier : modifiers) inputs.push_back(KeyInput(modifier, false));
        inputs.push_back(KeyInput(virtualKey, false));
        inputs.push_back(KeyInput(virtualKey, true));
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) inputs.push_back(KeyInput(*it, true));
    }
    return Focus(control, at) && Send(inputs, "\"" + text + "\"", at);
}

bool PressKeys(std::initializer_list<WORD> virtualKeys, CallSite at)
{
    std::vector<INPUT> inputs;
    for (WORD key : virtualKeys) inputs.push_back(KeyInput(key, false));
    for (auto it = std::rbegin(virtualKeys); it != std::rend(virtualKeys); ++it) inputs.push_back(KeyInput(*it, true));
    return Send(inputs, "a key combination", at);
}

}  // namespace harness
