// The service's registration. Its start and stop are waited for here, with a deadline,
// so that an installer that runs this knows the outcome.
#include "guard/win32/ServiceSetup.h"

#include <windows.h>

#include "guard/GuardNames.h"
#include "guard/win32/SecurityAttributes.h"

namespace {

constexpr char Description[] =
    "Keeps the Halvex lock program running in the user's session and brings it back locked when it is ended.";
constexpr DWORD StateDeadlineMs = 15000;
constexpr DWORD StatePollMs = 50;
constexpr DWORD RestartDelayMs = 1000;

struct ServiceHandle {
    SC_HANDLE Value = nullptr;
    explicit ServiceHandle(SC_HANDLE value) : Value(value) {}
    ~ServiceHandle()
    {
        if (Value) CloseServiceHandle(Value);
    }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;
    explicit operator bool() const { return Value != nullptr; }
};

std::string Failed(const char* call)
{
    return std::string(call) + " failed (error " + std::to_string(GetLastError()) + ")";
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

std::string SetSecurity(SC_HANDLE service)
{
    TSecurityAttributes security(GuardServiceSecurity);
    if (!security.Get()) return Failed("ConvertStringSecurityDescriptorToSecurityDescriptorA");
    return SetServiceObjectSecurity(service, DACL_SECURITY_INFORMATION, security.Get()->lpSecurityDescriptor)
               ? std::string()
               : Failed("SetServiceObjectSecurity");
}

// Restarted by the system too, should the guard itself ever end.
void SetRecovery(SC_HANDLE service)
{
    SC_ACTION actions[3] = {{SC_ACTION_RESTART, RestartDelayMs},
                            {SC_ACTION_RESTART, RestartDelayMs},
                            {SC_ACTION_RESTART, RestartDelayMs}};
    SERVICE_FAILURE_ACTIONSA failure = {};
    failure.dwResetPeriod = 24 * 60 * 60;
    failure.cActions = 3;
    failure.lpsaActions = actions;
    ChangeServiceConfig2A(service, SERVICE_CONFIG_FAILURE_ACTIONS, &failure);
    // Also when it stops with an error of its own, not only when it crashes.
    SERVICE_FAILURE_ACTIONS_FLAG onErrors = {TRUE};
    ChangeServiceConfig2A(service, SERVICE_CONFIG_FAILURE_ACTIONS_FLAG, &onErrors);
    char text[sizeof Description];
    lstrcpyA(text, Description);
    SERVICE_DESCRIPTIONA description = {text};
    ChangeServiceConfig2A(service, SERVICE_CONFIG_DESCRIPTION, &description);
}

}  // namespace

std::string InstallGuardService(const std::string& guardPath, const std::string& programPath)
{
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) return Failed("OpenSCManagerA");
    std::string binaryPath = "\"" + guardPath + "\" \"" + programPath + "\"";
    ServiceHandle service(CreateServiceA(manager.Value, GuardServiceName, GuardServiceDisplayName, SERVICE_ALL_ACCESS,
                                         SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                         binaryPath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!service && GetLastError() == ERROR_SERVICE_EXISTS) {
        service.Value = OpenServiceA(manager.Value, GuardServiceName, SERVICE_ALL_ACCESS);
        if (!service) return Failed("OpenServiceA");
        if (!ChangeServiceConfigA(service.Value, SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                  binaryPath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                  GuardServiceDisplayName))
            return Failed("ChangeServiceConfigA");
    }
    if (!service) return Failed("CreateServiceA");
    SetRecovery(service.Value);
    std::string security = SetSecurity(service.Value);
    if (!security.empty()) return security;
    SERVICE_STATUS status = {};
    if (QueryServiceStatus(service.Value, &status) && status.dwCurrentState == SERVICE_RUNNING) return {};
    if (!StartServiceA(service.Value, 0, nullptr) && GetLastError() != ERROR_SERVICE_ALREADY_RUNNING)
        return Failed("StartServiceA");
    return WaitForState(service.Value, SERVICE_RUNNING) ? std::string() : "the service did not start";
}

std::string UninstallGuardService()
{
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) return Failed("OpenSCManagerA");
    ServiceHandle service(OpenServiceA(manager.Value, GuardServiceName, SERVICE_ALL_ACCESS));
    if (!service) return GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST ? std::string() : Failed("OpenServiceA");
    SERVICE_STATUS status = {};
    if (ControlService(service.Value, SERVICE_CONTROL_STOP, &status) || GetLastError() != ERROR_SERVICE_NOT_ACTIVE)
        if (!WaitForState(service.Value, SERVICE_STOPPED)) return "the service did not stop";
    return DeleteService(service.Value) ? std::string() : Failed("DeleteService");
}
