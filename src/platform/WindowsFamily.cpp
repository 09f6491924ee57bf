// The Windows family, read from the version the system reports.
#include "platform/WindowsFamily.h"

#include <windows.h>

namespace {

bool ReportsNtPlatform()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace

bool IsNtFamily()
{
    // The family cannot change while the program runs: ask once.
    static const bool isNt = ReportsNtPlatform();
    return isNt;
}
