// The security identifier of an account, as text ("S-1-5-21-...").
#pragma once

#include <windows.h>

#include <string>

// Looks the account up on this computer. Uses the system's own conversion where it has
// one (not before Windows 2000) and SidToText otherwise. False, text empty, on failure.
bool AccountSidString(const std::string& name, std::string& text);

// The text built by hand; false and text empty unless sid is a valid identifier.
bool SidToText(PSID sid, std::string& text);
