// Which profile hvxw.exe works with, on both Windows families, and the
// options each family offers.
#include <gtest/gtest.h>

#include "HalvexProgram.h"
#include "Windows98.h"

using namespace harness;
using namespace halvex_test;

namespace {

// Marks the settings modified and applies them: the lock settings go to the current profile.
void ApplyAChange(const RunningProgram& program)
{
    program.PostRequest(ShowRequest);
    ASSERT_TRUE(WaitForVisible(program.Window()));
    Click(program.Control(IdStartUpCheckBox));
    ASSERT_TRUE(program.Settle());
    ASSERT_EQ(StatusText(program, 1), "Yes");
    program.Command(CmdSaveSettings);
    ASSERT_TRUE(program.Settle());
}

void ExpectOptionsEnabled(const RunningProgram& program, bool enabled)
{
    for (int id : {IdBootKeysCheckBox, IdBootMenuCheckBox, IdUserValidationCheckBox})
        EXPECT_EQ(IsWindowEnabled(program.Control(id)) != FALSE, enabled) << "control " << id;
}

}  // namespace

TEST(MainProfiles, OnTheNtFamilyTheLogonUserHasAProfile)
{
    AppDir dir;
    RunningProgram program(dir);
    ASSERT_NE(program.Window(), nullptr);
    ExpectOptionsEnabled(program, false);
    std::vector<std::string> users = ComboItems(program.Control(IdUsersComboBox));
    ASSERT_FALSE(users.empty());
    EXPECT_EQ(users.back(), ".Default");
    EXPECT_NE(std::find(users.begin(), users.end(), LogonUser()), users.end());
    EXPECT_EQ(StatusText(program, 7), LogonUser());

    ApplyAChange(program);
    EXPECT_EQ(ReadSetting(dir, LogonUser(), "ProfileName"), LogonUser());
    EXPECT_EQ(ReadSetting(dir, LogonUser(), "StartUp"), "1");
    EXPECT_EQ(ReadSetting(dir, ".Default", "ProfileName"), "<missing>");
}

TEST(MainProfiles, OnWindows98TheProfileListComesFromItsRegistryKey)
{
    Windows98 windows98;
    {
        // No profile list at all: everyone works with ".Default".
        AppDir dir;
        RunningProgram program(dir);
        ASSERT_NE(program.Window(), nullptr);
        ExpectOptionsEnabled(program, true);
        EXPECT_EQ(ComboItems(program.Control(IdUsersComboBox)), std::vector<std::string>{".Default"});
        ApplyAChange(program);
        EXPECT_EQ(ReadSetting(dir, ".Default", "ProfileName"), ".Default");
    }
    {
        // The profile is spelled as the list spells it, whatever the case of the logon name.
        std::string spelled = LogonUser();
        for (char& c : spelled) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        ProfileList list(spelled);
        AppDir dir;
        RunningProgram program(dir);
        ASSERT_NE(program.Window(), nullptr);
        EXPECT_EQ(ComboItems(program.Control(IdUsersComboBox)), (std::vector<std::string>{spelled, ".Default"}));
        ApplyAChange(program);
        EXPECT_EQ(ReadSetting(dir, spelled, "ProfileName"), spelled);
    }
}
