// Stands in for hvxguard.exe while this branch is built without it: "/install" registers and
// starts an auto-start LocalSystem service "HalvexGuard" running this file, "/uninstall" stops
// and deletes it; run by the system it only reports itself running until it is stopped.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

constexpr char ServiceName[] = "HalvexGuard";
constexpr DWORD StateDeadlineMs = 15000;
constexpr DWORD StatePollMs = 50;

SERVICE_STATUS_HANDLE StatusHandle;
SERVICE_STATUS Status;
HANDLE StopEvent;

std::string ModulePath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

void SetState(DWORD state)
{
    Status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    Status.dwCurrentState = state;
    Status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    SetServiceStatus(StatusHandle, &Status);
}

DWORD WINAPI Handler(DWORD control, DWORD, LPVOID, LPVOID)
{
    if (control != SERVICE_CONTROL_STOP) return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
    SetState(SERVICE_STOP_PENDING);
    SetEvent(StopEvent);
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, LPSTR*)
{
    StatusHandle = RegisterServiceCtrlHandlerExA(ServiceName, Handler, nullptr);
    if (!StatusHandle) return;
    StopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetState(SERVICE_RUNNING);
    WaitForSingleObject(StopEvent, INFINITE);
    SetState(SERVICE_STOPPED);
}

bool WaitForState(SC_HANDLE service, DWORD wanted)
{
    for (DWORD waited = 0; waited <= StateDeadlineMs; waited += StatePollMs) {
        SERVICE_STATUS status = {};
        if (!QueryServiceStatus(service, &status)) return false;
        if (status.dwCurrentState == wanted) return true;
        Sleep(StatePollMs);
    }
    return false;
}

int Install()
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager) return 1;
    std::string folder = ModulePath();
    folder.erase(folder.find_last_of('\\'));
    std::string binary = "\"" + ModulePath() + "\" \"" + folder.substr(0, folder.find_last_of('\\')) + "\\hvxw.exe\"";
    SC_HANDLE service = CreateServiceA(manager, ServiceName, "Halvex Guard", SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                       SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, binary.c_str(), nullptr, nullptr,
                                       nullptr, nullptr, nullptr);
    int result = 1;
    if (service) {
        if (StartServiceA(service, 0, nullptr) && WaitForState(service, SERVICE_RUNNING)) result = 0;
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return result;
}

int Uninstall()
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager) return 1;
    SC_HANDLE service = OpenServiceA(manager, ServiceName, SERVICE_ALL_ACCESS);
    int result = service ? 1 : 0;
    if (service) {
        SERVICE_STATUS status = {};
        if (ControlService(service, SERVICE_CONTROL_STOP, &status)) WaitForState(service, SERVICE_STOPPED);
        if (DeleteService(service)) result = 0;
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "/install") == 0) return Install();
    if (argc == 2 && std::strcmp(argv[1], "/uninstall") == 0) return Uninstall();
    char name[sizeof ServiceName];
    lstrcpyA(name, ServiceName);
    SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
