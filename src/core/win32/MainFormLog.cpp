// The LogFile page: the current profile's event log shown and cleared.
#include <windows.h>

#include "core/win32/MainForm.h"
#include "core/win32/MainFormIds.h"
#include "core/win32/ProgramGlobals.h"
#include "platform/Application.h"
#include "platform/Files.h"

void TMainForm::RefreshLogPage()
{
    HWND memo = Control(IdLogFileMemo);
    std::optional<std::string> content;
    if (ActivePage() == LogFilePageIndex) content = ReadWholeFile(LogFileName);
    if (!content) {
        SetWindowTextA(memo, "");
        return;
    }
    SendMessageA(memo, WM_SETREDRAW, FALSE, 0);
    SetWindowTextA(memo, content->c_str());
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
