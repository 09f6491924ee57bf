// The configuration window's window procedure: the program's registered
// message, the hot key, the end of the session, commands and the tray icon's clicks.
#include <windows.h>
#include <commctrl.h>

#include "core/win32/AboutBox.h"
#include "core/win32/MainForm.h"
#include "core/win32/MainFormIds.h"
#include "core/win32/ProgramGlobals.h"
#include "lockscreen/win32/LockSession.h"
#include "platform/Application.h"

namespace {
constexpr COLORREF PurpleText = RGB(128, 0, 128);
}

LRESULT TMainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Tray.HandleTaskbarCreated(message)) return DefaultProcessing(message, wParam, lParam);
    if (message == HalvexMessage && HalvexMessage != 0 && HandleHalvexMessage(wParam)) return 0;

    switch (message) {
    case WM_QUERYENDSESSION:
        // Only a question: another program may still cancel the shutdown, and anyone may ask.
        return TRUE;
    case WM_ENDSESSION:
        // Ended for real only with TRUE; a lock stays up to the very end, whoever sends it.
        if (wParam && !LockRunning) {
            // Anyone can send this message: only a session really ending is an exit the guard keeps.
            if (GetSystemMetrics(SM_SHUTTINGDOWN)) Guard.ExitSanctioned();
            Close();
        }
        return 0;
    case WM_HOTKEY:
        if (wParam == HotKeyId) ActionSetHalvexExecute(TAfterLock::StayOn);
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_MINIMIZE || wParam == SC_CLOSE) {
            ActionHideShowExecute(TShowHide::Toggle);
            return 0;
        }
        break;
    case WM_CLOSE:
        // From anyone else it is the close box: the window hides, the program runs on.
        if (ClosingByProgram)
            DestroyWindow(Handle());
        else if (!LockRunning && IsWindowVisible(Handle()))
            ActionHideShowExecute(TShowHide::Toggle);
        return 0;
    case WM_DESTROY:
        FormDestroy();
        Application.Terminate();
        return 0;
    case WM_SHOWWINDOW:
        if (wParam) RefreshLogPage();
        break;
    case WM_TIMER:
        if (wParam == MainTimerId) MainTimerTimer(TTick::Timer);
        return 0;
    case WM_COMMAND:
        HandleCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY:
        return HandleNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IdUserValidationCheckBox) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, PurpleText);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    default:
        if (message == TrayIconMessage) {
            Tray.HandleNotification(lParam);
            return 0;
        }
        break;
    }
    return DefaultProcessing(message, wParam, lParam);
}

bool TMainForm::HandleHalvexMessage(WPARAM request)
{
    // Nothing may show over a lock or open a dialog inside its loop.
    if (LockRunning && (request == RequestShowWindow || request == RequestAbout)) return true;
    switch (request) {
    case RequestShowWindow:
        if (!IsWindowVisible(Handle())) ActionHideShowExecute(TShowHide::Toggle);
        return true;
    case RequestLock:
        RunLockRequest();
        return true;
    case RequestAbout:
        ShowAboutBox();
        return true;
    default:
        return false;
    }
}

void TMainForm::ShowAboutBox()
{
    if (AboutBox) {
        DefWindowProcA(AboutBox, WM_SYSCOMMAND, SC_CLOSE, 0);
        Application.ProcessMessages();
    }
    RunAboutBox(Application.Handle(), [this](HWND box) { AboutBox = box; });
}

void TMainForm::TrayIconDoubleClick()
{
    ActionSetHalvexExecute(TAfterLock::StayOn);
}

void TMainForm::TrayMenuCommand(int command)
{
    RunCommand(command);
}

void TMainForm::RunCommand(int command)
{
    if (!Actions.Enabled(command)) return;
    switch (command) {
    case CmdHideShow: ActionHideShowExecute(TShowHide::Toggle); break;
    case CmdSetHalvex: ActionSetHalvexExecute(TAfterLock::StayOn); break;
    case CmdSetHalvexStandBy: ActionSetHalvexStandByExecute(); break;
    case CmdReLoadSettings: ActionReLoadSettingsExecute(); break;
    case CmdSaveSettings: ActionSaveSettingsExecute(); break;
    case CmdHlpContents: ActionHlpContentsExecute(); break;
    case CmdHlpHelp: ActionHlpHelpExecute(); break;
    case CmdAbout: ActionAboutExecute(); break;
    case CmdExit: ActionExitExecute(); break;
    case CmdWebHome: ActionWebHomeExecute(); break;
    case CmdWebProducts: ActionWebProductsExecute(); break;
    case CmdWebEMail: ActionWebEMailExecute(); break;
    case CmdLockWorkStation: ActionLockWorkStationExecute(); break;
    default: break;
    }
}

void TMainForm::HandleCommand(int id, int notification, HWND control)
{
    // A menu item or a short-cut has no control.
    if (!control || Actions.IsToolBar(control)) {
        RunCommand(id);
        return;
    }
    HandleControlCommand(id, notification);
}

LRESULT TMainForm::HandleNotify(const NMHDR& header)
{
    if (header.code == TTN_GETDISPINFOA) {
        Actions.GiveToolTip(const_cast<NMTTDISPINFOA&>(reinterpret_cast<const NMTTDISPINFOA&>(header)));
        return 0;
    }
    if (header.hwndFrom == PageControl && header.code == TCN_SELCHANGE) {
        SelectPage(ActivePage());
        PageControlChange(TPageChange::ByUser);
        return 0;
    }
    if (header.idFrom == IdHalvexHotKey && header.code == NM_KILLFOCUS) {
        SetHalvexHotKey(THotKeyFrom::Control);
        return 0;
    }
    return HandleControlNotify(header);
}
