// Entries of the user list and the lookup of a user's profile in it.
#include "settings/UserList.h"

#include <gtest/gtest.h>

namespace {

const TStrings NtList = {"Anna=#", "bob=#", "ANNA=#", ".Default=#"};
const TStrings List9x = {"anna=C:\\WINDOWS\\Profiles\\anna", "Carl=C:\\odd=folder", "Dora", ".Default=#"};

}  // namespace

TEST(UserList, ProfileNameFromListFindsTheFirstEntryOfTheUser)
{
    struct Case {
        const char* what;
        const TStrings& list;
        std::string userName;
        bool withValues;
        std::string expected;
    };
    const TStrings empty;
    const TStrings nonAscii = {"\xC4nna=#"};
    const std::vector<Case> cases = {
        {"exact name", NtList, "bob", false, "bob"},
        {"exact name with value", NtList, "bob", true, "bob=#"},
        {"other case gives the list's spelling", NtList, "BOB", false, "bob"},
        {"first match wins over a later one in other case", NtList, "anna", false, "Anna"},
        {"first match wins, with value", List9x, "ANNA", true, "anna=C:\\WINDOWS\\Profiles\\anna"},
        {"no match", NtList, "zoe", false, ".Default"},
        {"no match, with value", NtList, "zoe", true, ".Default=#"},
        {"a prefix of a name is no match", NtList, "ann", false, ".Default"},
        {"a name extended is no match", NtList, "bobby", false, ".Default"},
        {"the default profile is in the list", List9x, ".default", true, ".Default=#"},
        {"the value may hold '='", List9x, "carl", true, "Carl=C:\\odd=folder"},
        {"the name stops at the first '='", List9x, "Carl=C:\\odd", false, ".Default"},
        {"an entry without value", List9x, "dora", true, "Dora"},
        {"empty user name", NtList, "", false, ".Default"},
        {"empty user name, with value", NtList, "", true, ".Default=#"},
        {"empty list", empty, "anna", true, ".Default=#"},
        {"only ASCII letters fold", nonAscii, "\xE4nna", false, ".Default"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ProfileNameFromList(c.list, c.userName, c.withValues), c.expected);
    }
}

TEST(UserList, EntriesAndTheirNames)
{
    struct Case {
        std::string entry;
        std::string name;
    };
    const std::vector<Case> cases = {
        {"anna", "anna"},
        {"anna=#", "anna"},
        {"anna=C:\\a=b", "anna"},
        {"=value", ""},
        {"", ""},
        {".Default=#", ".Default"},
    };
    for (const auto& c : cases) EXPECT_EQ(UserListName(c.entry), c.name) << c.entry;

    EXPECT_EQ(UserEntry("anna", true, "C:\\Profiles\\anna"), "anna=C:\\Profiles\\anna");
    EXPECT_EQ(UserEntry("anna", false, "C:\\Profiles\\anna"), "anna");
}

TEST(UserList, DefaultProfileGoesLast)
{
    TStrings plain = {"anna"};
    AppendDefaultProfile(plain, false);
    EXPECT_EQ(plain, (TStrings{"anna", ".Default"}));

    TStrings withValues = {"anna=#"};
    AppendDefaultProfile(withValues, true);
    EXPECT_EQ(withValues, (TStrings{"anna=#", ".Default=#"}));
}
