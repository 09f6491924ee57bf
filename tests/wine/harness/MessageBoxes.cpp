// Message boxes of other processes.
#include "harness/MessageBoxes.h"

#include "harness/Controls.h"
#include "harness/TopWindows.h"

namespace harness {

namespace {

constexpr int MessageTextId = 0xFFFF;

}  // namespace

HWND WaitForMessageBox(const std::string& caption, DWORD processId, Timeout timeout, CallSite at)
{
    auto query = WindowQuery::OfClass(MessageBoxClass).WithTitle(caption).InProcess(processId);
    HWND box = WaitForTopWindow(query, timeout, at);
    // A box is created hidden and shown once laid out; before that its buttons may not answer.
    return box && WaitForVisible(box, timeout, at) ? box : nullptr;
}

std::string MessageBoxText(HWND box)
{
    HWND text = GetDlgItem(box, MessageTextId);
    return text ? TextOf(text) : std::string();
}

bool PressMessageBoxButton(HWND box, int buttonId, Timeout timeout, CallSite at)
{
    HWND button = GetDlgItem(box, buttonId);
    // A user can press only a button that is shown.
    if (!button || !IsWindowVisible(button)) {
        ReportFailure(at, "The message box \"" + TextOf(box) + "\" shows no button with id " + std::to_string(buttonId));
        return false;
    }
    return Click(button, at) && WaitForDestroyed(box, timeout, at);
}

std::optional<std::string> AnswerMessageBox(const std::string& caption, int buttonId, DWORD processId,
                                            Timeout timeout, CallSite at)
{
    HWND box = WaitForMessageBox(caption, processId, timeout, at);
    if (!box) return std::nullopt;
    std::string text = MessageBoxText(box);
    if (!PressMessageBoxButton(box, buttonId, timeout, at)) return std::nullopt;
    return text;
}

}  // namespace harness
