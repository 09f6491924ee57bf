// One lock: the refusal of a second, the lock window and the lockdown around
// it, and the loop that keeps the window in front until it is opened.
#include "lockscreen/win32/LockSession.h"

#include <windows.h>

#include "core/win32/ProgramGlobals.h"
#include "lockscreen/win32/Llh.h"
#include "lockscreen/win32/LockForm.h"
#include "lockscreen/win32/MonitorCoverWindows.h"
#include "lockscreen/win32/ShellWindows.h"
#include "platform/Application.h"
#include "platform/UniqueHandle.h"

namespace {

// A pass runs as soon as anything arrives, and at least this often, so a shell
// window shown during the lock is hidden again at once without spinning a core.
constexpr DWORD PassIntervalMs = 10;

// Whatever way the lock ends, the lockdown is switched off and the window goes.
class TLockdown {
public:
    explicit TLockdown(THalvexForm& form) : Form(form)
    {
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, &PreviousScreenSaver, 0);
        InstallKeyboardHook();
        Application.PushMessageFilter([this](const MSG& message) { return Form.PreviewMessage(message); });
    }
    ~TLockdown()
    {
        Application.PopMessageFilter();
        if (Form.Logic().End() == TLockEnd::Unlocked) RestoreShellWindows();
        Form.Hide();
        Form.StartScrolling(false);
        RemoveKeyboardHook();
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &PreviousScreenSaver, 0);
    }
    TLockdown(const TLockdown&) = delete;
    TLockdown& operator=(const TLockdown&) = delete;

private:
    THalvexForm& Form;
    BOOL PreviousScreenSaver = FALSE;
};

void RunLockLoop(THalvexForm& form, TMonitorCovers& covers)
{
    TLockLogic& logic = form.Logic();
    // Windows silently drops a hook that once answered too slowly: a fresh one every heartbeat.
    TDateTime hookTick = TickTime;
    while (logic.End() == TLockEnd::Running) {
        HideShellWindows();
        if (Application.Terminated()) logic.Terminate();
        Application.ProcessMessages();
        if (Application.Terminated()) logic.Terminate();
        if (GetForegroundWindow() != form.Handle()) form.BringLockToFront();
        // The lock window last, so it stays above a cover that overlaps its monitor.
        covers.KeepOnTop();
        form.KeepOnTop();
        form.AfterMessages();
        if (TickTime != hookTick) {
            hookTick = TickTime;
            ReinstallKeyboardHook();
        }
        logic.PollTick(TickTime, TimeExpired);
        logic.EndOfPass();
        if (logic.End() == TLockEnd::Running)
            MsgWaitForMultipleObjectsEx(0, nullptr, PassIntervalMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

}  // namespace

bool RunLockSession(const TPicture* lockPicture, const std::string& displayName, const std::string& password,
                    bool shutDownEnabled, const TStrings* lines, uint32_t timeOut, int32_t powerMode,
                    const TLogProc& logProc)
{
    UniqueKernelHandle lock(CreateMutexA(nullptr, FALSE, LockMutexName));
    if (!lock || GetLastError() == ERROR_ALREADY_EXISTS) return false;

    LockUserName = displayName;
    THalvexForm form(password, AdminPassword, timeOut, powerMode, logProc);
    if (lockPicture) form.SetPicture(lockPicture);
    form.SetShutDownEnabled(shutDownEnabled);
    if (lines) form.SetScrollLines(*lines);
    form.StartScrolling(true);
    {
        TLockdown lockdown(form);
        TMonitorCovers covers(MonitorFromWindow(form.Handle(), MONITOR_DEFAULTTOPRIMARY));
        form.Show();
        RunLockLoop(form, covers);
    }
    return form.Logic().End() == TLockEnd::Unlocked;
}
