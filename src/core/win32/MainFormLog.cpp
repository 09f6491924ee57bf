// The event log and the LogFile page: the current profile's log written,
// shown and cleared.
#include <windows.h>

#include "core/LogLine.h"
#include "core/win32/MainForm.h"
#include "core/win32/MainFormIds.h"
#include "core/win32/ProgramClock.h"
#include "core/win32/ProgramGlobals.h"
#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/Files.h"

namespace {
constexpr char NotWrittenText[] = "Events could not be written to ";
}

// The lock screen waits on this before it accepts or refuses a password: a log
// that cannot be written must not hold it up, so a failure is only kept to be
// shown on the page.
void TMainForm::WriteLogEvent(const std::string& text)
{
    if (!IsChecked(Control(IdLogFileCheckBox))) return;
    std::string line = LogLine(DecodeDateTime(ProgramNow()), DateSeparator, TimeSeparator, text);
    std::optional<std::string> failure = AppendToFile(LogFileName, line);
    LogFailure = failure ? NotWrittenText + LogFileName + ": " + *failure : std::string();
    // A guessing program logs a line for every entry: a hidden page is read again
    // only when the window is shown, not for each line.
    if (IsWindowVisible(Handle())) PageControlChange(TPageChange::LogRefresh);
}

void TMainForm::RefreshLogPage()
{
    HWND memo = Control(IdLogFileMemo);
    if (ActivePage() != LogFilePageIndex) {
        SetWindowTextA(memo, "");
        return;
    }
    std::string content = ReadWholeFile(LogFileName).value_or("");
    if (!LogFailure.empty()) content = LogFailure + "\r\n\r\n" + content;
    SendMessageA(memo, WM_SETREDRAW, FALSE, 0);
    SetWindowTextA(memo, content.c_str());
    SendMessageA(memo, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(memo, nullptr, TRUE);
}

void TMainForm::BtnClearLogClick()
{
    if (Application.ShowMessageBox("Clear LogFile?", "Confirmation", MB_OKCANCEL | MB_ICONQUESTION) == IDCANCEL)
        return;
    SetWindowTextA(Control(IdLogFileMemo), "");
    DeleteFileA(LogFileName.c_str());
}
