// The program-wide values of hvxw: set while the main window is created and
// read by every part of the program.
#pragma once

#include <string>

#include "common/DateTime.h"
#include "common/Secret.h"

extern std::string AppDir;             // the program's folder, with a trailing backslash
extern std::string SettingsFileName;   // AppDir + "Halvex.dat"
extern std::string LogFileName;        // AppDir + CurrentProfile + ".log"
extern std::string UserName;           // the logged-on user, or ".Default"
extern std::string CurrentProfile;     // that user's profile, or ".Default"
extern TSecret AdminPassword;          // the admin password in force
extern TDateTime TickTime;             // time of the latest usage-time tick
extern bool TimeExpired;               // the usage time has run out
extern unsigned HalvexMessage;         // the registered "Hvxms01"

constexpr int HotKeyId = 4097;
constexpr char HalvexMessageName[] = "Hvxms01";
constexpr char InstanceMutexName[] = "Hvxmu01";
constexpr char ApplicationTitle[] = "Halvex";

// wParam values of HalvexMessage.
enum HalvexRequest : unsigned { RequestShowWindow = 0, RequestLock = 1, RequestAbout = 2 };
