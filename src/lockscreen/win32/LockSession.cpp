// One lock: the refusal of a second, the lock window and the lockdown around
// it, and the loop that keeps the window in front until it is opened.
#include "lockscreen/win32/LockSession.h"

#include <windows.h>

#include "lockscreen/win32/Llh.h"
#include "lockscreen/win32/LockForm.h"
#include "lockscreen/win32/MonitorCoverWindows.h"
#include "lockscreen/win32/ShellWindows.h"
#include "platform/Application.h"
#include "platform/ReportFailure.h"
#include "platform/UniqueHandle.h"

namespace {

constexpr char LockMutexName[] = "Hvxmu02";
constexpr char PassFailedText[] = "Lock error, the lock stays up: ";
constexpr char LockNameTakenText[] = "Locked although another program holds ";
// A whole pass runs this often: a shell window shown during the lock is hidden
// again well within 50 ms, and an idle lock costs next to nothing. Messages that
// arrive in between are handled at once.
constexpr DWORD PassIntervalMs = 30;

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

void RunPass(THalvexForm& form, TMonitorCovers& covers, TShellWindowWatch& shell, TLockHost& host,
             TDateTime& hookTick)
{
    TLockLogic& logic = form.Logic();
    shell.HideShellWindows();
    if (Application.Terminated()) logic.Terminate();
    Application.ProcessMessages();
    if (Application.Terminated()) logic.Terminate();
    // Another program may have hidden, moved, shrunk, disabled or re-parented our windows.
    covers.HoldInPlace();
    form.HoldInPlace();
    if (GetForegroundWindow() != form.Handle()) form.BringLockToFront();
    // The lock window last, so it stays above a cover that overlaps its monitor.
    covers.KeepOnTop();
    form.KeepOnTop();
    form.AfterMessages();
    const TDateTime tick = host.TickTime();
    // Windows silently drops a hook that once answered too slowly: a fresh one every heartbeat.
    if (tick != hookTick) {
        hookTick = tick;
        ReinstallKeyboardHook();
    }
    logic.PollTick(tick, host.TimeExpired());
    logic.EndOfPass();
}

// What arrives between passes: input to the lock window, its timers, requests.
void RunMessages(THalvexForm& form)
{
    TLockLogic& logic = form.Logic();
    Application.ProcessMessages();
    if (Application.Terminated()) logic.Terminate();
    if (form.TakeLostFront()) {
        form.BringLockToFront();
        form.KeepOnTop();
    }
}

// Nothing that goes wrong in a pass opens the lock: the failure is logged once
// and the next pass puts everything back.
void RunLockLoop(THalvexForm& form, TMonitorCovers& covers, TLockHost& host)
{
    TLockLogic& logic = form.Logic();
    TShellWindowWatch shell;
    TDateTime hookTick = host.TickTime();
    bool failureLogged = false;
    DWORD lastPass = GetTickCount() - PassIntervalMs;
    while (logic.End() == TLockEnd::Running) {
        DWORD sinceLastPass = GetTickCount() - lastPass;
        try {
            if (sinceLastPass >= PassIntervalMs) {
                lastPass = GetTickCount();
                sinceLastPass = 0;
                RunPass(form, covers, shell, host, hookTick);
            } else {
                RunMessages(form);
            }
        } catch (...) {
            if (!failureLogged) host.Log(PassFailedText + CurrentExceptionText());
            failureLogged = true;
        }
        if (logic.End() == TLockEnd::Running)
            MsgWaitForMultipleObjectsEx(0, nullptr, PassIntervalMs - sinceLastPass, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

}  // namespace

bool RunLockSession(const TLockRequest& request, TLockHost& host)
{
    // One lock at a time. The name tells the screen saver a lock is up; another program that
    // holds it, or an object of another kind under it, must not keep every lock away.
    static bool Running = false;
    if (Running) return false;
    struct RunningScope {
        RunningScope() { Running = true; }
        ~RunningScope() { Running = false; }
    } running;
    UniqueKernelHandle lock(CreateMutexA(nullptr, FALSE, LockMutexName));
    if (!lock || GetLastError() == ERROR_ALREADY_EXISTS) host.Log(std::string(LockNameTakenText) + LockMutexName);

    THalvexForm form(request, host);
    if (request.Picture) form.SetPicture(request.Picture);
    form.SetShutDownEnabled(request.ShutDownEnabled);
    form.SetScrollLines(request.Lines);
    form.StartScrolling(true);
    {
        TLockdown lockdown(form);
        TMonitorCovers covers(MonitorFromWindow(form.Handle(), MONITOR_DEFAULTTOPRIMARY));
        form.Show();
        RunLockLoop(form, covers, host);
    }
    return form.Logic().End() == TLockEnd::Unlocked;
}
