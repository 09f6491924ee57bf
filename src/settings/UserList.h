// The list of users that have a profile on this computer: entries "name", or "name=value"
// when built with values (the profile folder on the 9x family, "#" on the NT family),
// in the system's order, always ending with the default profile.
#pragma once

#include <string>

#include "settings/DStorage.h"

constexpr char DefaultProfileName[] = ".Default";
// The value of an NT family entry, whose profile folder the list does not need.
constexpr char NtProfileMark[] = "#";

// "name" or "name=value".
std::string UserEntry(const std::string& name, bool withValues, const std::string& value);
// The part before the first "=", the whole entry when there is none.
std::string UserListName(const std::string& entry);
// Appends ".Default", or ".Default=#" with values.
void AppendDefaultProfile(TStrings& lines, bool withValues);

// The entry of userName in a list built with values, matched without regard to ASCII
// case (the first match wins): its name as the list spells it, or the whole entry
// withValues. The default profile's entry when the user has none.
std::string ProfileNameFromList(const TStrings& listWithValues, const std::string& userName, bool withValues);
