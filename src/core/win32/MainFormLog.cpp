// The LogFile page: the current profile's event log shown and cleared.
#include <windows.h>

#include <fstream>
#include <sstream>

#include "core/win32/MainForm.h"
#include "core/win32/MainFormIds.h"
#include "core/win32/ProgramGlobals.h"
#include "platform/Application.h"

void TMainForm::RefreshLogPage()
{
    HWND memo = Control(IdLogFileMemo);
    std::ifstream file(LogFileName, std::ios::binary);
    if (ActivePage() != LogFilePageIndex || !file) {
        SetWindowTextA(memo, "");
        return;
    }
    std::ostringstream content;
    content << file.rdbuf();
    SendMessageA(memo, WM_SETREDRAW, FALSE, 0);
    SetWindowTextA(memo, content.str().c_str());
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
