// Token privileges around ExitWindowsEx and SetSystemPowerState.
#include "lockscreen/win32/SystemRoutines.h"

#include "platform/UniqueHandle.h"

namespace {
constexpr char ShutdownPrivilege[] = "SeShutdownPrivilege";
}

bool EnablePrivilege(const char* privilege, bool enable)
{
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &rawToken)) return false;
    UniqueKernelHandle token(rawToken);
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    if (!LookupPrivilegeValueA(nullptr, privilege, &privileges.Privileges[0].Luid)) return false;
    privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    return AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr) &&
           GetLastError() == ERROR_SUCCESS;
}

void ShutDownWindows(UINT flags)
{
    EnablePrivilege(ShutdownPrivilege, true);
    PostMessageA(HWND_BROADCAST, WM_QUERYENDSESSION, 0, 0);
    PostMessageA(HWND_BROADCAST, WM_ENDSESSION, 1, 0);
    ExitWindowsEx(flags, 0);
    EnablePrivilege(ShutdownPrivilege, false);
    Sleep(0);
}

bool SuspendWindows(BOOL suspend)
{
    EnablePrivilege(ShutdownPrivilege, true);
    BOOL ok = SetSystemPowerState(suspend, FALSE);
    EnablePrivilege(ShutdownPrivilege, false);
    Sleep(0);
    return ok != FALSE;
}
