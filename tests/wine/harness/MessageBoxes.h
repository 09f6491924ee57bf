// Answering the message boxes of other programs: wait for one by caption, read its text,
// press one of its buttons.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "harness/CallSite.h"
#include "harness/Wait.h"

namespace harness {

// The window class of a message box (and of every dialog box).
inline constexpr char MessageBoxClass[] = "#32770";

// processId 0: a box of any process.
HWND WaitForMessageBox(const std::string& caption, DWORD processId = 0, Timeout timeout = DefaultTimeout,
                       CallSite at = CallSite::Here());
// The message text (the static control with id 0xFFFF).
std::string MessageBoxText(HWND box);
// Presses the button (IDOK, IDCANCEL, IDYES, IDNO...) and waits for the box to close.
bool PressMessageBoxButton(HWND box, int buttonId, Timeout timeout = DefaultTimeout, CallSite at = CallSite::Here());
// All three in one: the box's text once it was answered, nullopt when that failed.
std::optional<std::string> AnswerMessageBox(const std::string& caption, int buttonId, DWORD processId = 0,
                                            Timeout timeout = DefaultTimeout, CallSite at = CallSite::Here());

}  // namespace harness
