// The configuration window's commands: showing and hiding it behind a
// password, exiting, help, about and the web links.
#include <windows.h>
#include <shellapi.h>

#include "activation/win32/MixDlg.h"
#include "core/win32/MainForm.h"
#include "core/win32/MainFormIds.h"
#include "core/win32/PasswordPrompts.h"
#include "core/win32/ProgramGlobals.h"
#include "platform/ForceForeground.h"
#include "platform/Application.h"
#include "platform/Controls.h"

namespace {

constexpr int ImageShow = 12;
constexpr int ImageHide = 13;

constexpr char HomePageUrl[] = "https://www.example.com/halvex/";
constexpr char ProductsUrl[] = "https://www.example.com/products/";
constexpr char SupportAddress[] = "support@example.com";
constexpr char HelpFileName[] = "Halvex.hlp";
constexpr char HelpPageName[] = "Halvex.html";
constexpr UINT HelpContextTopic = 1000;

void OpenTarget(const std::string& target)
{
    ShellExecuteA(GetDesktopWindow(), "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

void TMainForm::ActionHideShowExecute(TShowHide how)
{
    bool visible = IsWindowVisible(Handle()) != FALSE;
    // While it is created the window is not yet visible: the hide path gives it the hidden state.
    bool hide = how == TShowHide::Toggle ? visible : !visible;
    if (hide) {
        ShowWindow(Handle(), SW_HIDE);
        if (SavedWindowState != TWindowState::Minimized)
            SavedWindowState = IsZoomed(Handle()) ? TWindowState::Maximized : TWindowState::Normal;
        EnableWindow(Handle(), FALSE);
        Actions.SetImage(CmdHideShow, ImageShow);
        Tray.ShowFormState(false);
        SelectPage(0);
        return;
    }
    // Nothing shows over a lock, and its prompt would let another program guess the lock's
    // password with no wait between tries.
    if (LockRunning) return;
    if (IsChecked(Control(IdLockedUserCfgCheckBox))) {
        if (!AdminPassword.Empty() && !PasswordQuery(Application.Handle(), Application.Title(), AdminPrompt,
                                                     AdminPassword.Get(), ""))
            return;
    } else {
        const std::string& lockPassword = LockPassword();
        if (!lockPassword.empty() && !PasswordQuery(Application.Handle(), Application.Title(), PasswordPrompt,
                                                    lockPassword, AdminPassword.Get()))
            return;
    }
    EnableWindow(Handle(), TRUE);
    ShowWindow(Handle(), SavedWindowState == TWindowState::Maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    if (IsIconic(Application.Handle())) {
        Application.Restore();
    } else {
        BringWindowToTop(Handle());
        ForceForegroundWindow(Application.Handle(), true);
        // The application window is never shown, so the form takes the foreground itself.
        SetForegroundWindow(Handle());
        Application.ProcessMessages();
    }
    Actions.SetImage(CmdHideShow, ImageHide);
    Tray.ShowFormState(true);
}

// Without an admin password there is nothing to check.
bool TMainForm::AdminCheckPassed()
{
    return AdminPassword.Empty() ||
           PasswordQuery(Application.Handle(), AdminCheckCaption, AdminPrompt, AdminPassword.Get(), "");
}

void TMainForm::ActionExitExecute()
{
    if (!AdminCheckPassed()) return;
    std::string question = "Exit " + Application.Title() + "?";
    if (Application.ShowMessageBox(question, "Confirmation", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    Guard.ExitSanctioned();
    Close();
}

void TMainForm::Close()
{
    ClosingByProgram = true;
    PostMessageA(Handle(), WM_CLOSE, 0, 0);
}

void TMainForm::ActionHlpContentsExecute()
{
    ShowHelp(HELP_FINDER, 0);
}

void TMainForm::ActionHlpHelpExecute()
{
    ShowHelp(HELP_CONTEXT, HelpContextTopic);
}

// Current Windows has no help engine for the old help files: our own page stands in.
void TMainForm::ShowHelp(UINT command, ULONG_PTR data)
{
    std::string helpFile = AppDir + HelpFileName;
    if (GetFileAttributesA(helpFile.c_str()) != INVALID_FILE_ATTRIBUTES &&
        WinHelpA(Handle(), helpFile.c_str(), command, data))
        return;
    OpenTarget(AppDir + HelpPageName);
}

void TMainForm::ActionAboutExecute()
{
    PostMessageA(Handle(), HalvexMessage, RequestAbout, 0);
}

void TMainForm::ActionWebHomeExecute()
{
    OpenTarget(HomePageUrl);
}

void TMainForm::ActionWebProductsExecute()
{
    OpenTarget(ProductsUrl);
}

void TMainForm::ActionWebEMailExecute()
{
    OpenTarget(std::string("mailto:") + SupportAddress + "?subject=Support: " + Application.Title());
}
