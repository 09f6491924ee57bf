// Acting on the controls of another program's window as a user would: finding them by
// caption, class or id, clicking, typing (as text or as real keys) and reading them.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "harness/CallSite.h"
#include "harness/Wait.h"

namespace harness {

// Empty fields (and Id 0) match anything. Text is the caption as shown: an '&' marking a
// shortcut letter may be left out ("Save" finds "&Save").
struct ControlQuery {
    std::string ClassName;
    std::string Text;
    int Id = 0;

    static ControlQuery OfClass(std::string className);
    static ControlQuery WithText(std::string text);
    static ControlQuery WithId(int id);
    ControlQuery AndText(std::string text) const;
    ControlQuery AndClass(std::string className) const;

    bool Matches(HWND control) const;
    std::string Describe() const;
};

// Searches all descendants of parent, depth first; nullptr when none matches.
HWND FindControl(HWND parent, const ControlQuery& query);
HWND WaitForControl(HWND parent, const ControlQuery& query, Timeout timeout = DefaultTimeout,
                    CallSite at = CallSite::Here());

// Posts BM_CLICK: a handler that opens a modal box then cannot block the test.
bool Click(HWND button, CallSite at = CallSite::Here());
// Puts the text in with WM_SETTEXT (EN_CHANGE fires, as for typing).
bool SetText(HWND control, const std::string& text, CallSite at = CallSite::Here());
std::string GetText(HWND control);

// Brings the control's window to the front and gives the control the keyboard focus.
bool Focus(HWND control, CallSite at = CallSite::Here());
// Focuses the control, then types the text as real key strokes (SendInput). The keys arrive
// asynchronously: wait for their effect.
bool TypeKeys(HWND control, const std::string& text, CallSite at = CallSite::Here());
// Presses the virtual keys in order and releases them in reverse: {VK_CONTROL, VK_MENU, 'L'}.
// They go to whatever has the focus.
bool PressKeys(std::initializer_list<WORD> virtualKeys, CallSite at = CallSite::Here());

}  // namespace harness
