// The about box, built from an in-memory template.
#include "core/win32/AboutBox.h"

#include "ResourceIds.h"
#include "core/Version.h"
#include "platform/DialogTemplate.h"
#include "platform/ReportFailure.h"

namespace {

constexpr char AboutCaption[] = "About Halvex";
constexpr char ProductLine[] = "Halvex " HALVEX_VERSION_TEXT;
constexpr char DescriptionLine[] =
    "Locks this workstation behind a password, on demand or when the allowed working time is over.";
constexpr char CopyrightLine[] = HALVEX_COPYRIGHT;
constexpr WORD IconId = 300;

INT_PTR CALLBACK AboutProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto* onOpen = reinterpret_cast<const std::function<void(HWND)>*>(lParam);
        HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(HALVEX_ICON_ID),
                                                   IMAGE_ICON, 32, 32, LR_SHARED));
        SendDlgItemMessageA(box, IconId, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        RECT area, own;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        GetWindowRect(box, &own);
        SetWindowPos(box, HWND_TOP, area.left + (area.right - area.left - (own.right - own.left)) / 2,
                     area.top + (area.bottom - area.top - (own.bottom - own.top)) / 2, 0, 0, SWP_NOSIZE);
        SetForegroundWindow(box);
        try {
            (*onOpen)(box);
        } catch (...) {
            ReportCurrentException(box);
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(box, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void RunAboutBox(HWND owner, const std::function<void(HWND)>& onOpen)
{
    TDialogTemplate layout(AboutCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 220, 86,
                           "MS Sans Serif", 8);
    layout.AddControl(DialogStaticClass, "", IconId, SS_ICON, 10, 10, 21, 20);
    layout.AddControl(DialogStaticClass, ProductLine, 301, SS_LEFT | SS_NOPREFIX, 40, 10, 170, 10);
    layout.AddControl(DialogStaticClass, DescriptionLine, 302, SS_LEFT | SS_NOPREFIX, 40, 24, 170, 20);
    layout.AddControl(DialogStaticClass, CopyrightLine, 303, SS_LEFT | SS_NOPREFIX, 40, 48, 170, 10);
    layout.AddControl(DialogButtonClass, "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 85, 64, 50, 14);
    DialogBoxIndirectParamA(GetModuleHandleA(nullptr), layout.Get(), owner, AboutProcedure,
                            reinterpret_cast<LPARAM>(&onOpen));
    onOpen(nullptr);
}
