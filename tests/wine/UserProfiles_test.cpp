// The user list and account identifiers on Wine: the NT family in this process, the 9x
// family through a tool that Wine shows Windows 98.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "harness/AppDir.h"
#include "harness/Process.h"
#include "platform/WindowsFamily.h"
#include "settings/win32/AccountSid.h"
#include "settings/win32/UserProfiles.h"
#include "tools/profile_RegistryScratch.h"

using namespace registry_scratch;

namespace {

constexpr char NtProfileListPath[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr char ProfileListPath9x[] = "Software\\Microsoft\\Windows\\CurrentVersion\\ProfileList";
constexpr char ListTool[] = "profile_list.exe";
constexpr char ListToolVersionKey[] = "Software\\Wine\\AppDefaults\\profile_list.exe";
// The identifier Wine gives the one account of its prefix.
constexpr char WineUserSid[] = "S-1-5-21-0-0-0-1000";
constexpr char MadeUpUser[] = "no-such-user-h4lvex";

std::string SystemUserName()
{
    char name[256] = {};
    DWORD size = sizeof name;
    return GetUserNameA(name, &size) ? name : "";
}

std::string UpperCase(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

struct SidFree {
    void operator()(void* sid) const { FreeSid(sid); }
};
using OwnedSid = std::unique_ptr<void, SidFree>;

OwnedSid MakeSid(const SID_IDENTIFIER_AUTHORITY& authority, const std::vector<DWORD>& subAuthorities)
{
    DWORD sub[8] = {};
    std::copy(subAuthorities.begin(), subAuthorities.end(), sub);
    PSID sid = nullptr;
    if (!AllocateAndInitializeSid(const_cast<SID_IDENTIFIER_AUTHORITY*>(&authority),
                                  static_cast<BYTE>(subAuthorities.size()), sub[0], sub[1], sub[2], sub[3], sub[4],
                                  sub[5], sub[6], sub[7], &sid))
        return nullptr;
    return OwnedSid(sid);
}

bool RunsOnWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::string SystemSidText(PSID sid)
{
    LPSTR text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text)) return "<conversion failed>";
    std::string copy = text;
    LocalFree(text);
    return copy;
}

}  // namespace

TEST(UserProfilesNt, LogonUserNameIsTheSystemsOne)
{
    ASSERT_TRUE(IsNtFamily()) << "Wine reports the NT family unless told otherwise";
    const std::string user = SystemUserName();
    ASSERT_FALSE(user.empty());
    EXPECT_EQ(GetLogonUserName(), user);
}

TEST(UserProfilesNt, ListHoldsTheLoggedOnUserAndEndsWithTheDefaultProfile)
{
    const std::string user = SystemUserName();
    struct Case {
        bool withValues;
        std::string userEntry;
        std::string last;
    };
    for (const Case& c : {Case{true, user + "=#", ".Default=#"}, Case{false, user, ".Default"}}) {
        SCOPED_TRACE(c.withValues ? "with values" : "plain");
        TStrings list = {"left from before"};
        BuildUserList(list, c.withValues);
        ASSERT_FALSE(list.empty());
        EXPECT_EQ(list.back(), c.last);
        EXPECT_EQ(std::count(list.begin(), list.end(), c.userEntry), 1);
        EXPECT_EQ(std::count(list.begin(), list.end(), "left from before"), 0) << "the list is made anew";
        for (const std::string& entry : list)
            EXPECT_EQ(entry.find('=') != std::string::npos, c.withValues) << entry;
    }
}

TEST(UserProfilesNt, ProfileNameOfFindsTheListsSpelling)
{
    const std::string user = SystemUserName();
    struct Case {
        std::string userName;
        bool withValues;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {user, false, user},
        {UpperCase(user), false, user},
        {UpperCase(user), true, user + "=#"},
        {MadeUpUser, false, ".Default"},
        {MadeUpUser, true, ".Default=#"},
        {"", false, ".Default"},
    };
    for (const Case& c : cases) EXPECT_EQ(ProfileNameOf(c.userName, c.withValues), c.expected) << c.userName;
}

TEST(UserProfilesNt, AccountSidOfTheLoggedOnUserHasAProfileKey)
{
    const std::string user = SystemUserName();
    std::string sid;
    ASSERT_TRUE(AccountSidString(user, sid));
    EXPECT_EQ(sid, WineUserSid);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::string(NtProfileListPath) + "\\" + sid));
    EXPECT_TRUE(UserHasProfile(user));

    sid = "left from before";
    EXPECT_FALSE(AccountSidString(MadeUpUser, sid));
    EXPECT_EQ(sid, "");
    EXPECT_FALSE(UserHasProfile(MadeUpUser));
}

TEST(UserProfilesNt, SidToTextWritesWhatTheSystemWrites)
{
    // Wine 8.0's own conversion refuses authorities beyond 32 bits and writes those from
    // 2^31 up as negative numbers: there only the expected text is compared.
    enum Conversion { WineAgrees, WineDiffers };
    struct Case {
        SID_IDENTIFIER_AUTHORITY authority;
        std::vector<DWORD> subAuthorities;
        std::string text;
        Conversion wine;
    };
    const std::vector<Case> cases = {
        {{{0, 0, 0, 0, 0, 5}}, {18}, "S-1-5-18", WineAgrees},
        {{{0, 0, 0, 0, 0, 5}}, {32, 544}, "S-1-5-32-544", WineAgrees},
        {{{0, 0, 0, 0, 0, 1}}, {0}, "S-1-1-0", WineAgrees},
        {{{0, 0, 0, 0, 0, 5}}, {21, 1, 2, 3, 1000}, "S-1-5-21-1-2-3-1000", WineAgrees},
        {{{0, 0, 0, 0, 0, 5}}, {}, "S-1-5", WineAgrees},
        {{{0, 0, 0, 0, 0, 5}}, {1, 2, 3, 4, 5, 6, 7, 4294967295u}, "S-1-5-1-2-3-4-5-6-7-4294967295", WineAgrees},
        {{{0, 0, 0x7F, 0xFF, 0xFF, 0xFF}}, {1}, "S-1-2147483647-1", WineAgrees},
        {{{0, 0, 0xFF, 0xFF, 0xFF, 0xFF}}, {1}, "S-1-4294967295-1", WineDiffers},
        {{{1, 0, 0, 0, 0, 0}}, {2, 3}, "S-1-0x010000000000-2-3", WineDiffers},
        {{{0, 1, 0, 0, 0, 0}}, {7}, "S-1-0x000100000000-7", WineDiffers},
        {{{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}}, {1}, "S-1-0x123456789abc-1", WineDiffers},
    };
    const bool onWine = RunsOnWine();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        OwnedSid sid = MakeSid(c.authority, c.subAuthorities);
        ASSERT_TRUE(sid);
        std::string text;
        ASSERT_TRUE(SidToText(sid.get(), text));
        EXPECT_EQ(text, c.text);
        if (!onWine || c.wine == WineAgrees) {
            EXPECT_EQ(text, SystemSidText(sid.get()));
        }
    }
}

TEST(UserProfilesNt, SidToTextRefusesWhatIsNoIdentifier)
{
    std::string text = "left from before";
    EXPECT_FALSE(SidToText(nullptr, text));
    EXPECT_EQ(text, "");

    // Revision 2 does not exist.
    BYTE notASid[12] = {2, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};
    text = "left from before";
    EXPECT_FALSE(SidToText(notASid, text));
    EXPECT_EQ(text, "");
}

// The 9x profile list of the registry, made by the test and removed afterwards.
class UserProfiles9x : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ProfileListPath9x))
            << "the prefix has a 9x profile list of its own, which this test would overwrite";
    }

    // Subkeys made in an order other than the one they are listed in.
    void MakeProfiles()
    {
        const std::string path = std::string(ProfileListPath9x) + "\\";
        ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, path + "zed", "ProfileImagePath", REG_SZ,
                             StringBytes("C:\\WINDOWS\\Profiles\\zed")));
        ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, path + "Bob", "Other", REG_SZ, StringBytes("no folder")));
        ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, path + "anna", "ProfileImagePath", REG_EXPAND_SZ,
                             StringBytes("%windir%\\Profiles\\anna")));
        ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, path + "carl", "ProfileImagePath", REG_SZ, StringBytes("")));
    }

    CreatedKeys ProfileList{HKEY_LOCAL_MACHINE, ProfileListPath9x};
};

TEST_F(UserProfiles9x, ListsTheProfilesThatNameAFolderInEnumerationOrder)
{
    ASSERT_NO_FATAL_FAILURE(MakeProfiles());
    TStrings list = {"kept"};
    List9xUsers(list, true);
    EXPECT_EQ(list, (TStrings{"kept", "anna=%windir%\\Profiles\\anna", "zed=C:\\WINDOWS\\Profiles\\zed"}));
    list.clear();
    List9xUsers(list, false);
    EXPECT_EQ(list, (TStrings{"anna", "zed"}));
}

TEST_F(UserProfiles9x, WithoutTheProfileListNothingIsListedOrCreated)
{
    TStrings list;
    List9xUsers(list, true);
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ProfileListPath9x));
}

TEST_F(UserProfiles9x, ProgramSeeingWindows98BuildsTheListFromTheRegistry)
{
    CreatedKeys versionKey(HKEY_CURRENT_USER, ListToolVersionKey);
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, ListToolVersionKey, "Version", REG_SZ, StringBytes("win98")));
    harness::AppDir dir;
    auto listOf = [&dir](const std::string& arguments) -> std::string {
        harness::Process tool = harness::StartInAppDir(dir, ListTool, "\"" + dir.PathOf("list.txt") + "\" " + arguments);
        if (!tool.WaitForExit() || tool.ExitCode() != 0u) return "<" + std::string(ListTool) + " failed>";
        return dir.ReadFile("list.txt").value_or("<no list written>");
    };

    EXPECT_EQ(listOf(""), "9x\n.Default=#\n") << "without the profile list only the default profile";
    ASSERT_NO_FATAL_FAILURE(MakeProfiles());
    EXPECT_EQ(listOf(""), "9x\nanna=%windir%\\Profiles\\anna\nzed=C:\\WINDOWS\\Profiles\\zed\n.Default=#\n");
    EXPECT_EQ(listOf("plain"), "9x\nanna\nzed\n.Default\n");

    // The same tool in the NT family lists the accounts instead.
    versionKey.Remove();
    EXPECT_EQ(listOf(""), "NT\n" + SystemUserName() + "=#\n.Default=#\n");
}
