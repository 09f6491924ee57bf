// The lock commands: lock now, lock then stand-by, the platform's own
// workstation lock, and the lock request that runs the lock session.
#include <windows.h>

#include "core/win32/LockHost.h"
#include "core/win32/ControlValues.h"
#include "core/win32/MainForm.h"
#include "core/win32/MainFormIds.h"
#include "core/win32/ProgramGlobals.h"
#include "lockscreen/win32/LockSession.h"
#include "lockscreen/win32/SystemRoutines.h"
#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/SystemFunction.h"
#include "platform/PictureControl.h"
#include "platform/WindowsFamily.h"
#include "settings/DStorage.h"
#include "settings/SettingCodec.h"
#include "settings/win32/Registry.h"

namespace {

constexpr char NoScreenSaverText[] = "You should configure the Screen Saver before using.";
constexpr char DesktopKeyPath[] = "Control Panel\\Desktop";
constexpr char ScreenSaverValue[] = "SCRNSAVE.EXE";
constexpr char AlarmFileName[] = "alarm.wav";

std::string ConfiguredScreenSaver()
{
    std::string screenSaver;
    if (IsNtFamily()) {
        ReadRegValue(nullptr, HKEY_CURRENT_USER, DesktopKeyPath, ScreenSaverValue, screenSaver);
        return screenSaver;
    }
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    std::string systemIni = folder;
    if (systemIni.empty() || systemIni.back() != '\\') systemIni += '\\';
    TDStorage storage(systemIni + "system.ini", false);
    storage.ReadString("boot", ScreenSaverValue, screenSaver);
    return screenSaver;
}

}  // namespace

void TMainForm::ActionSetHalvexExecute(TAfterLock after)
{
    if (SelectedItem(IdLockStyle0, 2) == 0) {
        PostMessageA(Handle(), HalvexMessage, RequestLock, 0);
        if (after == TAfterLock::StandBy) SuspendWindows(FALSE);
        return;
    }
    if (!ConfiguredScreenSaver().empty()) {
        PostMessageA(Application.Handle(), WM_SYSCOMMAND, SC_SCREENSAVE, 0);
        if (after == TAfterLock::StandBy) SuspendWindows(FALSE);
        return;
    }
    Application.ShowMessageBox(NoScreenSaverText, "Information", MB_ICONINFORMATION);
    WinExec("CONTROL.EXE DESK.CPL", SW_SHOWNORMAL);
}

void TMainForm::ActionSetHalvexStandByExecute()
{
    ActionSetHalvexExecute(TAfterLock::StandBy);
}

void TMainForm::ActionLockWorkStationExecute()
{
    // The 9x family has none: looked up at run time.
    TSystemFunction<BOOL WINAPI()> lock("user32.dll", "LockWorkStation");
    if (lock) lock.Get()();
}

void TMainForm::RunLockRequest()
{
    TLockRequest request;
    request.Picture = ControlPicture(Control(IdImage));
    request.DisplayName = CurrentProfile;
    request.Password.Assign(LockPassword());
    request.AdminPassword = AdminPassword;
    request.ShutDownEnabled = ShutDownAllowed();
    request.Lines = MemoLines(Control(IdScrollTextMemo));
    request.TimeOut = static_cast<uint32_t>(ReadInteger(WindowText(Control(IdTimeOutEdit)), 0));
    request.PowerMode = SelectedItem(IdPowerMode0, 4) - 1;
    request.AlarmFile = AppDir + AlarmFileName;
    TLockHostOfProgram host(PasswordThrottle);
    // While it runs, nothing another program sends may end or uncover it.
    struct LockRunningScope {
        bool& Flag;
        bool Before;
        explicit LockRunningScope(bool& flag) : Flag(flag), Before(flag) { Flag = true; }
        ~LockRunningScope() { Flag = Before; }
    } running(LockRunning);
    Guard.LockBegins();
    // A request during a lock returns at once and must not let go of what the lock holds. The
    // shut-down path keeps it too: a program ended but not followed by a shutdown comes back locked.
    bool unlocked = RunLockSession(request, host);
    if (unlocked && Application.Tag != TApplication::ShutDownAfterwards) Guard.LockEndedByPassword();
}

const std::string& TMainForm::LockPassword() const
{
    return PwdBitBtnHint.Get();
}

bool TMainForm::ShutDownAllowed() const
{
    return IsChecked(Control(IdShutDownCheckBox));
}
