// Finding the windows of the setup program and its uninstaller (NSIS wizards and their
// message boxes, all of the dialog class) and of the program's own questions among them.
#pragma once

#include <windows.h>

#include <string>

#include "harness/Harness.h"

namespace setup_windows {

// The wizard's Next / Install / Uninstall / Finish / Close button.
inline constexpr int WizardNextButton = 1;
// The static text of a message box.
inline constexpr int MessageBoxTextId = 0xFFFF;

// A visible dialog whose title starts with caption (a wizard adds its page's subcaption) and
// whose message starts with textStart; an empty textStart wants a wizard, not a message box.
inline HWND FindDialog(const std::string& caption, const std::string& textStart)
{
    using namespace harness;
    for (HWND window : FindTopWindows(WindowQuery::OfClass(MessageBoxClass))) {
        if (!IsWindowVisible(window) || TextOf(window).rfind(caption, 0) != 0) continue;
        const bool isMessageBox = GetDlgItem(window, MessageBoxTextId) != nullptr;
        if (textStart.empty() ? !isMessageBox : isMessageBox && MessageBoxText(window).rfind(textStart, 0) == 0)
            return window;
    }
    return nullptr;
}

// Records a test failure saying what was awaited when none comes in time.
inline HWND WaitForDialog(const std::string& caption, const std::string& textStart, harness::Timeout timeout,
                          harness::CallSite at = harness::CallSite::Here())
{
    HWND found = nullptr;
    harness::WaitUntil([&] { return (found = FindDialog(caption, textStart)) != nullptr; }, timeout,
                       "a window \"" + caption + "\"" + (textStart.empty() ? "" : " saying \"" + textStart + "...\""),
                       at);
    return found;
}

// The wizard's Next button once it can be pressed, as after a page's work is done.
inline HWND WaitForNextEnabled(HWND wizard, harness::Timeout timeout, harness::CallSite at = harness::CallSite::Here())
{
    HWND next = GetDlgItem(wizard, WizardNextButton);
    if (!next) {
        harness::ReportFailure(at, "The wizard has no Next button");
        return nullptr;
    }
    return harness::WaitUntil([&] { return IsWindowVisible(next) && IsWindowEnabled(next); }, timeout,
                              "the wizard's " + harness::TextOf(next) + " button", at)
               ? next
               : nullptr;
}

}  // namespace setup_windows
