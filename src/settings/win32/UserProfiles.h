// The users of this computer that have a profile, from the account database on the NT
// family and from the profile list of the registry on the 9x family.
#pragma once

#include <string>

#include "settings/UserList.h"

// The name the user logged on with; ".Default" when the system gives none.
std::string GetLogonUserName();

// The user's entry in the list with values (see ProfileNameFromList).
std::string ProfileNameOf(const std::string& userName, bool withValues);

// The list of the family this system belongs to, the default profile last.
void BuildUserList(TStrings& lines, bool withValues);

// The local accounts that have a profile ("name=#" with values). Appends to lines.
void ListNtUsers(TStrings& lines, bool withValues);
// True when the account's identifier has a key in the NT profile list.
bool UserHasProfile(const std::string& name);
// The 9x profiles that name a folder ("name=folder" with values). Appends to lines.
void List9xUsers(TStrings& lines, bool withValues);
