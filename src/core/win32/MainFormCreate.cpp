// The configuration window's creation and destruction, its usage-time tick
// and its status bar.
#include <windows.h>
#include <commctrl.h>

#include "activation/win32/MixDlg.h"
#include "core/win32/ControlValues.h"
#include "core/win32/MainForm.h"
#include "core/win32/MainFormIds.h"
#include "core/win32/ProgramGlobals.h"
#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/GdiScopes.h"
#include "platform/Clock.h"
#include "platform/ReportFailure.h"
#include "platform/TextMeasure.h"
#include "core/win32/EventLog.h"
#include "platform/WindowsFamily.h"
#include "settings/win32/UserProfiles.h"

namespace {

constexpr UINT MainTimerInterval = TUsageTime::TickInterval;
constexpr char TickFailedText[] = "Usage time tick failed: ";

std::string LocaleText(LCTYPE type, const char* fallback)
{
    char text[16] = {};
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text) > 1 ? text : fallback;
}

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

}  // namespace

void TMainForm::FormCreate()
{
    DateSeparator = LocaleText(LOCALE_SDATE, "/");
    TimeSeparator = LocaleText(LOCALE_STIME, ":");
    Tray.Create(Handle(), SmallIcon, Actions);
    SetWindowTextA(Handle(), Application.Title().c_str());
    Application.SetMessageFilter([](const MSG& message) {
        return message.message == WM_SYSCOMMAND && (message.wParam == SC_MINIMIZE || message.wParam == SC_CLOSE);
    });
    Application.SetShortCuts(Handle(), Actions.ShortCuts());
    AppDir = ProgramFolder();
    SelectPage(0);
    if (IsNtFamily()) {
        for (int id : {IdBootKeysCheckBox, IdBootMenuCheckBox, IdUserValidationCheckBox})
            EnableWindow(Control(id), FALSE);
        Actions.SetEnabled(CmdLockWorkStation, true);
    }
    UserName = GetLogonUserName();
    CurrentProfile = ProfileNameOf(UserName, false);
    SettingsFileName = AppDir + "Halvex.dat";
    LogFileName = AppDir + CurrentProfile + ".log";
    WatchHotKeyControl();
    SetHotKeyControl(DesignHotKey);

    SavedWindowState = TWindowState::Normal;
    ActionHideShowExecute(TShowHide::HideAtCreation);
    CurrentHotKey = 0;
    try {
        ActionReLoadSettingsExecute();
    } catch (...) {
        // The program still runs; nothing can be saved over a file it could not read.
        ReportCurrentException(Application.Handle());
    }

    SYSTEMTIME today;
    GetLocalTime(&today);
    SetPickerDate(Control(IdLDateTimePicker), today);
    SetPickerDate(Control(IdRDateTimePicker), today);

    // Started again by the guard after it was ended during a lock: locked at once, whatever
    // the lock style, and with the count of wrong passwords it had.
    PasswordThrottle.Resume(Guard.WrongPasswordsKept(), GetTickCount());
    PasswordThrottle.CountChanged = [this](uint32_t count) { Guard.KeepWrongPasswords(count); };

    SetTimer(Handle(), MainTimerId, MainTimerInterval, nullptr);
    TimerEnabled = true;
    MainTimerTimer(TTick::StartUp);
    Usage.EndStartUp();

    if (LockAtOnce)
        PostMessageA(Handle(), HalvexMessage, RequestLock, 0);
    else if (IsChecked(Control(IdStartUpCheckBox)))
        ActionSetHalvexExecute(TAfterLock::StayOn);
}

void TMainForm::FormDestroy()
{
    UnregisterHotKey(Handle(), HotKeyId);
    KillTimer(Handle(), MainTimerId);
    Tray.RemoveIcon();
}

void TMainForm::SetTimerEnabled(bool enabled)
{
    if (enabled == TimerEnabled) return;
    TimerEnabled = enabled;
    if (enabled)
        SetTimer(Handle(), MainTimerId, MainTimerInterval, nullptr);
    else
        KillTimer(Handle(), MainTimerId);
}

void TMainForm::MainTimerTimer(TTick tick)
{
    SetTimerEnabled(false);
    // Whatever happens in a tick, the timer runs again: a stopped timer would
    // silently end every restriction. A tick also runs under the lock screen,
    // so it never shows a message box.
    struct TimerRestart {
        TMainForm& Form;
        ~TimerRestart() { Form.SetTimerEnabled(true); }
    } restart{*this};
    try {
        Usage.Tick(tick == TTick::Timer);
    } catch (...) {
        if (!TickFailureLogged) LogEvent(TickFailedText + CurrentExceptionText());
        TickFailureLogged = true;
    }
    TickTime = Usage.TickTime();
    TimeExpired = Usage.TimeExpired();
    Guard.SetTimeExpired(TimeExpired);
    // A shutdown requested in the tick has destroyed the window and its tray icon.
    if (IsWindow(Handle())) Tray.Update(Usage.SecondsLeft());
}

void TMainForm::ShowBalloon(const std::string& text)
{
    Tray.ShowBalloon(text);
}

void TMainForm::ActionSetStatusBarExecute()
{
    WindowDcScope dc(StatusBar);
    SelectionScope font(dc.Get(), reinterpret_cast<HFONT>(SendMessageA(StatusBar, WM_GETFONT, 0, 0)));
    int w = AverageCharSize(dc.Get()).Cx;
    const std::string texts[7] = {
        "Modified:", Actions.Enabled(CmdSaveSettings) ? "Yes" : "No",
        "Password:", PwdBitBtnHint.Empty() ? "Disable" : "Enable",
        "TimeLimit:", Usage.Restriction().TimeLimit ? "On" : "Off",
        "User:",
    };
    int edges[8];
    int right = 0;
    for (int i = 0; i < 7; ++i) {
        SIZE size = {};
        GetTextExtentPoint32A(dc.Get(), texts[i].c_str(), static_cast<int>(texts[i].size()), &size);
        edges[i] = right += size.cx + 2 * w;
    }
    edges[7] = -1;
    SendMessageA(StatusBar, SB_SETPARTS, 8, reinterpret_cast<LPARAM>(edges));
    for (int i = 0; i < 8; ++i) {
        // A leading tab centres a part's text; label parts have no bevel.
        std::string text = "\t" + (i < 7 ? texts[i] : UserName);
        WPARAM kind = static_cast<WPARAM>(i) | (i % 2 == 0 && i < 7 ? SBT_NOBORDERS : 0);
        SendMessageA(StatusBar, SB_SETTEXTA, kind, reinterpret_cast<LPARAM>(text.c_str()));
    }
}
