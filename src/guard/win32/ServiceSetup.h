// Registering the guard as an auto-start LocalSystem service that only administrators
// control, and removing it.
#pragma once

#include <string>

// The service's security: SYSTEM and administrators control it; interactive and service
// users may only query it, so a standard user can neither stop, reconfigure nor delete it.
inline constexpr char GuardServiceSecurity[] =
    "D:(A;;CCLCSWRPWPDTLOCRRC;;;SY)(A;;CCDCLCSWRPWPDTLOCRSDRCWDWO;;;BA)(A;;CCLCSWLORC;;;IU)(A;;CCLCSWLORC;;;SU)";

// Registers (or updates) and starts the service, which keeps the program at programPath
// running. Empty text on success; otherwise what failed.
std::string InstallGuardService(const std::string& guardPath, const std::string& programPath);
// Stops and deletes it; a service that is not there is no failure.
std::string UninstallGuardService();
