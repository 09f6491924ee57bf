// Entries of the user list and finding a user's profile among them.
#include "settings/UserList.h"

namespace {

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Account names are compared as the system does for ASCII letters; other bytes must match exactly.
bool SameAccountName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

}  // namespace

std::string UserEntry(const std::string& name, bool withValues, const std::string& value)
{
    return withValues ? name + "=" + value : name;
}

std::string UserListName(const std::string& entry)
{
    return entry.substr(0, entry.find('='));
}

void AppendDefaultProfile(TStrings& lines, bool withValues)
{
    lines.push_back(UserEntry(DefaultProfileName, withValues, NtProfileMark));
}

std::string ProfileNameFromList(const TStrings& listWithValues, const std::string& userName, bool withValues)
{
    for (const std::string& entry : listWithValues) {
        std::string name = UserListName(entry);
        if (SameAccountName(name, userName)) return withValues ? entry : name;
    }
    return UserEntry(DefaultProfileName, withValues, NtProfileMark);
}
