// Finding the top-level windows of other processes by class, title and process, and waiting
// for them to appear, become visible, hide or go away.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "harness/CallSite.h"
#include "harness/Wait.h"

namespace harness {

// Empty fields match anything; the class is compared without case, as Windows does.
struct WindowQuery {
    std::string ClassName;
    std::string Title;
    DWORD ProcessId = 0;

    static WindowQuery OfClass(std::string className);
    static WindowQuery Titled(std::string title);
    WindowQuery WithTitle(std::string title) const;
    WindowQuery InProcess(DWORD processId) const;

    bool Matches(HWND window) const;
    // "window of class "X" titled "Y" of process 12", for failure messages.
    std::string Describe() const;
};

std::string ClassOf(HWND window);
// A window's text, read with WM_GETTEXT so that controls of other processes answer too.
std::string TextOf(HWND window);
DWORD ProcessOf(HWND window);

std::vector<HWND> FindTopWindows(const WindowQuery& query);
// The first match, or nullptr; does not wait.
HWND FindTopWindow(const WindowQuery& query);

// Each waits with a deadline and records a test failure saying what was awaited.
// A window is found as soon as it exists, before its WM_CREATE has made its controls: wait for
// it to be visible, or use WaitForControl, before acting on them.
HWND WaitForTopWindow(const WindowQuery& query, Timeout timeout = DefaultTimeout, CallSite at = CallSite::Here());
bool WaitForNoTopWindow(const WindowQuery& query, Timeout timeout = DefaultTimeout, CallSite at = CallSite::Here());
bool WaitForVisible(HWND window, Timeout timeout = DefaultTimeout, CallSite at = CallSite::Here());
// Hidden or destroyed.
bool WaitForHidden(HWND window, Timeout timeout = DefaultTimeout, CallSite at = CallSite::Here());
bool WaitForDestroyed(HWND window, Timeout timeout = DefaultTimeout, CallSite at = CallSite::Here());

}  // namespace harness
