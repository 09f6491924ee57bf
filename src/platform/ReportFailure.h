// The one place where a failure that escaped a handler is shown to the user,
// as a framework's default exception report would: the program keeps running.
#pragma once

#include <windows.h>

#include <string>

// The system's own text for an error code, without the line break it ends with.
std::string SystemErrorText(unsigned long code);
// The reason an exception gives, with the system's text for a file error. Call from a catch block only.
std::string CurrentExceptionText();

// Call from a catch block only.
void ReportCurrentException(HWND owner);
void ReportError(HWND owner, const std::string& text);
