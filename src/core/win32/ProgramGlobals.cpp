// Storage of the program-wide values.
#include "core/win32/ProgramGlobals.h"

std::string AppDir;
std::string SettingsFileName;
std::string LogFileName;
std::string UserName;
std::string CurrentProfile;
TSecret AdminPassword;
TDateTime TickTime = 0;
bool TimeExpired = false;
unsigned HalvexMessage = 0;
