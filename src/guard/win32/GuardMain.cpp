// Entry of hvxguard.exe: "/install [program]" and "/uninstall" for the installer, and
// otherwise the service itself, started by the system with the program's path.
#include <windows.h>

#include <cstring>
#include <string>

#include "guard/GuardNames.h"
#include "guard/win32/Guard.h"
#include "guard/win32/GuardLog.h"
#include "guard/win32/ProgramStarter.h"
#include "guard/win32/ServiceSetup.h"
#include "platform/UniqueHandle.h"

namespace {

constexpr char ProgramName[] = "hvxw.exe";
constexpr char LogName[] = "hvxguard.log";

// The service's state lives here: the system calls ServiceMain and the handler with no
// context of their own.
struct TService {
    SERVICE_STATUS_HANDLE StatusHandle = nullptr;
    SERVICE_STATUS Status = {};
    TGuardSignals Signals;
    std::string Program;
};
TService Service;

std::string ModulePath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Beside the guard, or in the folder above it (the guard's own folder is not the user's to write).
std::string DefaultProgram()
{
    std::string folder = FolderOf(ModulePath());
    std::string beside = folder + "\\" + ProgramName;
    return Exists(beside) ? beside : FolderOf(folder) + "\\" + ProgramName;
}

// The watch may be in a wait of up to 5 s (a program that said it exits) when told to stop.
constexpr DWORD StopWaitHintMs = 6000;

void SetState(DWORD state)
{
    Service.Status.dwCurrentState = state;
    Service.Status.dwWaitHint = state == SERVICE_STOP_PENDING ? StopWaitHintMs : 0;
    Service.Status.dwControlsAccepted =
        state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN | SERVICE_ACCEPT_SESSIONCHANGE : 0;
    SetServiceStatus(Service.StatusHandle, &Service.Status);
}

DWORD WINAPI ControlHandler(DWORD control, DWORD eventType, LPVOID eventData, LPVOID)
{
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        Service.Signals.Sessions.ServiceStops();
        SetState(SERVICE_STOP_PENDING);
        SetEvent(Service.Signals.Stop);
        return NO_ERROR;
    case SERVICE_CONTROL_SESSIONCHANGE: {
        // A session that logs off must not get the program started again into it; a lock or
        // unlock of Windows itself changes nothing here.
        if (!eventData) return NO_ERROR;
        DWORD session = static_cast<const WTSSESSION_NOTIFICATION*>(eventData)->dwSessionId;
        if (eventType == WTS_SESSION_LOGOFF) Service.Signals.Sessions.LoggingOff(session);
        if (eventType == WTS_SESSION_LOGON) Service.Signals.Sessions.LoggedOn(session);
        if (eventType == WTS_SESSION_LOGON || eventType == WTS_SESSION_LOGOFF || eventType == WTS_CONSOLE_CONNECT)
            SetEvent(Service.Signals.SessionChanged);
        return NO_ERROR;
    }
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI ServiceMain(DWORD, LPSTR*)
{
    Service.StatusHandle = RegisterServiceCtrlHandlerExA(GuardServiceName, ControlHandler, nullptr);
    if (!Service.StatusHandle) return;
    Service.Status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    UniqueKernelHandle stop(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    UniqueKernelHandle session(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    Service.Signals.Stop = stop.Get();
    Service.Signals.SessionChanged = session.Get();
    TGuardLog log(FolderOf(ModulePath()) + "\\" + LogName);
    if (!stop || !session) {
        log.Write("cannot create the service's events");
        Service.Status.dwWin32ExitCode = GetLastError();
        SetState(SERVICE_STOPPED);
        return;
    }
    SetState(SERVICE_RUNNING);
    try {
        TGuard(Service.Program, Service.Signals, log).Run();
    } catch (...) {
        log.Write("the guard failed and stops");
        Service.Status.dwWin32ExitCode = ERROR_EXCEPTION_IN_SERVICE;
    }
    log.Write("stopped");
    SetState(SERVICE_STOPPED);
}

int Report(const std::string& failure)
{
    if (failure.empty()) return 0;
    TGuardLog(FolderOf(ModulePath()) + "\\" + LogName).Write(failure);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "/install") == 0)
        return Report(InstallGuardService(ModulePath(), argc >= 3 ? argv[2] : DefaultProgram()));
    if (argc == 2 && std::strcmp(argv[1], "/uninstall") == 0) return Report(UninstallGuardService());
    Service.Program = argc >= 2 ? argv[1] : DefaultProgram();
    char name[sizeof GuardServiceName];
    lstrcpyA(name, GuardServiceName);
    SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
