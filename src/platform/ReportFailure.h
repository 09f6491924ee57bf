// The one place where a failure that escaped a handler is shown to the user,
// as a framework's default exception report would: the program keeps running.
#pragma once

#include <windows.h>

#include <string>

// Call from a catch block only.
void ReportCurrentException(HWND owner);
void ReportError(HWND owner, const std::string& text);
