// hvxw.exe's settings as an earlier session left them in Halvex.dat, c:\msdos.sys and the
// registry: what its configuration window shows of them, and what Apply and Cancel make of them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "MainSettingsFixture.h"
#include "TestClock.h"

using namespace main_settings;

namespace {

constexpr char Global[] = "";
constexpr char DefaultSection[] = ".Default";
constexpr char LockPassword[] = "Lock#1";
constexpr char AdminPassword[] = "Adm!n9";
// Ctrl+Alt+L as stored (the key, Ctrl 0x4000, Alt 0x8000) and as the hot-key control holds it.
constexpr char CtrlAltL[] = "49228";
constexpr WORD CtrlAltLInControl = MAKEWORD('L', HOTKEYF_CONTROL | HOTKEYF_ALT);
constexpr char BootFileWithOptions[] = "[Paths]\r\nWinDir=C:\\WINDOWS\r\n[Options]\r\nBootKeys=0\r\nBootMenu=1\r\n";
constexpr char BootFileWithoutOptions[] = "[Paths]\r\nWinDir=C:\\WINDOWS\r\n";

class MainSettings : public ::testing::Test {
protected:
    SystemOptionsGuard SystemOptions;
};

// This source file's folder as Wine sees the build machine (Z: is the Unix root).
std::string PictureFixture(const std::string& name)
{
    std::string path = __FILE__;
    if (!path.empty() && path.front() == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path.substr(0, path.find_last_of('\\')) + "\\fixtures\\pictures\\" + name;
}

struct ButtonState {
    int Id;
    const char* Name;
    bool Checked;
};

void ExpectButtons(RunningProgram& program, const std::vector<ButtonState>& buttons)
{
    for (const ButtonState& button : buttons)
        EXPECT_EQ(IsChecked(program.Control(button.Id)), button.Checked) << button.Name;
}

WORD HotKeyOf(RunningProgram& program)
{
    return static_cast<WORD>(SendMessageA(program.Control(IdHalvexHotKey), HKM_GETHOTKEY, 0, 0));
}

std::string Described(const Entry& entry)
{
    return "[" + entry.Section + "] " + entry.Key;
}

// The test build's clock at noon, inside the restrictions' windows whatever the hour of the run.
TDateTime Noon()
{
    return TodayAt(12);
}

// The day's count belongs to the usage-time tick, which writes it every 3 s: Apply leaves it alone.
bool IsUsageCount(const Entry& entry)
{
    return entry.Key == "DurationDay" || entry.Key == "DurationTick";
}

// The count belongs to the usage-time tick: Apply does not put back what the window loaded.
// The tick found the stored day old and counts today's use from 0; a file emptied meanwhile
// holds its count only once a tick has come.
void ExpectCountOfTheTick(const AppDir& dir, const std::string& user, const std::string& loadedDay,
                          const std::string& loadedCount)
{
    EXPECT_NE(ReadSetting(dir, user, "DurationDay"), loadedDay);
    const std::string counted = ReadSetting(dir, user, "DurationTick");
    EXPECT_NE(counted, loadedCount);
    if (counted == "<missing>") return;
    EXPECT_LT(std::atoi(counted.c_str()), 300) << counted;
    EXPECT_EQ(std::atoi(counted.c_str()) % 3, 0) << counted;
}

// --- Round trip -------------------------------------------------------------------------------

TEST_F(MainSettings, ApplyStoresEverySettingAsItWasLoaded)
{
    const AppDir dir;
    const std::string user = LogonUser();
    ASSERT_TRUE(dir.CopyIn(PictureFixture("baseline.jpg"), "lock.jpg"));
    const std::vector<Entry> written = {
        {user, "ProfileName", user},
        {user, "LockPwd", LockPassword},
        {user, "Picture", dir.PathOf("lock.jpg")},
        {user, "TimeOut", "300"},
        {user, "PowerMode", "2"},
        {user, "LockStyle", "1"},
        {user, "ShutDown", "1"},
        // On, it would start the lock at once: the test turns it on through the window instead.
        {user, "StartUp", "0"},
        {user, "LogFile", "1"},
        {user, "LeftTimeBound", "0.0078125"},    // 00:11:15, a fraction exact in binary
        {user, "RightTimeBound", "0.9921875"},   // 23:48:45
        {user, "TimeLimit", "1"},
        {user, "DurationHours", "8"},
        {user, "Duration", "1"},
        {user, "DurationDay", "45000"},
        {user, "DurationTick", "1234"},
        {Global, "HotKey", CtrlAltL},
        {Global, "APwd", AdminPassword},
        {Global, "LUCfg", "1"},
    };
    const TStrings scrollText = {"Back at three", "", "Room 2.14"};
    WriteSettings(dir, written);
    // The restriction is enforced: at noon the program is inside its window.
    ASSERT_TRUE(UseTestClock(dir, Noon()));
    WriteSettingLines(dir, user, "Text", scrollText);
    ASSERT_TRUE(WriteWholeFile(BootFile, BootFileWithOptions));
    ASSERT_TRUE(WriteMustBeValidated(1));

    {
        RunningProgram program(dir);
        ASSERT_TRUE(program.Window());
        EXPECT_EQ(TextOf(program.Control(IdTimeOutEdit)), "300");
        EXPECT_EQ(TextOf(program.Control(IdScrollTextMemo)), "Back at three\r\n\r\nRoom 2.14\r\n");
        EXPECT_EQ(HotKeyOf(program), CtrlAltLInControl);
        ExpectButtons(program, {
                                   {IdPowerMode0, "None", false},
                                   {IdPowerMode1, "Blank Screen", false},
                                   {IdPowerMode2, "Suspend", true},
                                   {IdPowerMode3, "StandBy", false},
                                   {IdLockStyle0, "Halvex Screen", false},
                                   {IdLockStyle1, "Screen Saver", true},
                                   {IdShutDownCheckBox, "ShutDown", true},
                                   {IdStartUpCheckBox, "StartUp", false},
                                   {IdLogFileCheckBox, "LogFile", true},
                                   {IdLockedUserCfgCheckBox, "LUCfg", true},
                                   {IdBootKeysCheckBox, "BootKeys disabled", true},
                                   {IdBootMenuCheckBox, "BootMenu", true},
                                   {IdUserValidationCheckBox, "MustBeValidated", true},
                               });
        EXPECT_EQ(StatusText(program, PasswordPart), "Enable");
        EXPECT_EQ(StatusText(program, TimeLimitPart), "On");
        EXPECT_EQ(StatusText(program, ModifiedPart), "No");

        // With LUCfg on, showing the window asks for the admin password, not the lock password.
        ASSERT_TRUE(ShowConfiguration(program, AdminPassword, "Enter Admin password:"));
        ASSERT_TRUE(PassAdminGate(program, AdminPassword));
        ASSERT_TRUE(SelectProfile(program, user));
        EXPECT_EQ(PickerText(program, IdLDateTimePicker), "00:11:15");
        EXPECT_EQ(PickerText(program, IdRDateTimePicker), "23:48:45");
        EXPECT_EQ(TextOf(program.Control(IdDurationSpinEdit)), "8");
        ExpectButtons(program, {{IdTimeLimitCheckBox, "TimeLimit", true}, {IdDurationCheckBox, "Duration", true}});

        // What Apply stores must come from the window: the stores lose their values meanwhile.
        ASSERT_TRUE(dir.WriteFile(SettingsName, ""));
        ASSERT_TRUE(WriteWholeFile(BootFile, BootFileWithoutOptions));
        ASSERT_TRUE(WriteMustBeValidated(0));

        ASSERT_TRUE(ClickToModify(program, IdStartUpCheckBox));
        ASSERT_TRUE(RunSettingsCommand(program, CmdSaveSettings));
        EXPECT_TRUE(ShowsNoBox(program));
        EXPECT_TRUE(program.Program().IsRunning());
    }

    for (Entry expected : written) {
        if (IsUsageCount(expected)) continue;
        if (expected.Key == "StartUp") expected.Value = "1";
        EXPECT_EQ(ReadSetting(dir, expected.Section, expected.Key), expected.Value) << Described(expected);
    }
    ExpectCountOfTheTick(dir, user, "45000", "1234");
    EXPECT_EQ(ReadSettingLines(dir, user, "Text"), scrollText);
    TDStorage bootOptions(BootFile, false);
    std::string bootKeys, bootMenu, winDir;
    EXPECT_TRUE(bootOptions.ReadString("Options", "BootKeys", bootKeys) && bootKeys == "0") << bootKeys;
    EXPECT_TRUE(bootOptions.ReadString("Options", "BootMenu", bootMenu) && bootMenu == "1") << bootMenu;
    EXPECT_TRUE(bootOptions.ReadString("Paths", "WinDir", winDir) && winDir == "C:\\WINDOWS") << winDir;
    EXPECT_EQ(ReadMustBeValidated(), std::optional<DWORD>(1));
}

// --- The default profile ---------------------------------------------------------------------

struct DefaultProfileCase {
    const char* Name;
    std::vector<std::pair<std::string, std::string>> DefaultEntries;
    std::vector<std::pair<std::string, std::string>> OwnEntries;   // no ProfileName among them
    const char* PasswordStatus;
    const char* TimeLimitStatus;
    const char* ShowPassword;   // the password the window asks before it shows; "" none
    bool EditsOwnProfile;       // the Admin page's restriction of the user is open at the Apply
    std::vector<std::pair<std::string, std::string>> OwnAfterApply;
};

TEST_F(MainSettings, ProfileWithoutProfileNameTakesTheDefaultLockSettings)
{
    const std::string user = LogonUser();
    const DefaultProfileCase cases[] = {
        {"the default profile's password is the one in force",
         {{"LockPwd", "Def#1"}, {"TimeOut", "120"}, {"ShutDown", "1"}},
         {{"LockPwd", "Own#2"}, {"TimeOut", "999"}, {"TimeLimit", "1"}},
         "Enable",
         "On",
         "Def#1",
         false,
         {{"ProfileName", user}, {"LockPwd", "Def#1"}, {"TimeOut", "120"}, {"ShutDown", "1"}, {"TimeLimit", "1"}}},
        {"the user's own password is ignored",
         {{"TimeOut", "120"}},
         {{"LockPwd", "Own#2"}, {"PowerMode", "3"}},
         "Disable",
         "Off",
         "",
         false,
         {{"ProfileName", user}, {"LockPwd", ""}, {"TimeOut", "120"}, {"PowerMode", "0"}}},
        {"the password in force stays when the Admin page edits the user's profile",
         {{"LockPwd", "Def#1"}, {"TimeOut", "120"}},
         {{"LockPwd", "Own#2"}, {"DurationHours", "3"}},
         "Enable",
         "Off",
         "Def#1",
         true,
         {{"ProfileName", user}, {"LockPwd", "Def#1"}, {"TimeOut", "120"}, {"DurationHours", "3"}}},
    };
    for (const DefaultProfileCase& test : cases) {
        SCOPED_TRACE(test.Name);
        const AppDir dir;
        std::vector<Entry> entries;
        for (const auto& [key, value] : test.DefaultEntries) entries.push_back({DefaultSection, key, value});
        for (const auto& [key, value] : test.OwnEntries) entries.push_back({user, key, value});
        WriteSettings(dir, entries);
        {
            RunningProgram program(dir);
            ASSERT_TRUE(program.Window());
            EXPECT_EQ(TextOf(program.Control(IdTimeOutEdit)), "120");
            EXPECT_EQ(StatusText(program, PasswordPart), test.PasswordStatus);
            EXPECT_EQ(StatusText(program, TimeLimitPart), test.TimeLimitStatus);
            ASSERT_TRUE(ShowConfiguration(program, test.ShowPassword, "Enter password:"));
            if (test.EditsOwnProfile) {
                ASSERT_TRUE(PassAdminGate(program, ""));
                ASSERT_TRUE(SelectProfile(program, user));
            }
            // The selected item clicked again: the settings count as modified, none changes.
            ASSERT_TRUE(ClickToModify(program, IdPowerMode0));
            ASSERT_TRUE(RunSettingsCommand(program, CmdSaveSettings));
        }
        for (const auto& [key, value] : test.OwnAfterApply)
            EXPECT_EQ(ReadSetting(dir, user, key), value) << "[" << user << "] " << key;
        for (const auto& [key, value] : test.DefaultEntries)
            EXPECT_EQ(ReadSetting(dir, DefaultSection, key), value) << "[.Default] " << key;
    }
}

// --- Apply without the Admin page -------------------------------------------------------------

TEST_F(MainSettings, ApplyWithoutTheAdminGateKeepsTheAdminSettings)
{
    const AppDir dir;
    const std::string user = LogonUser();
    const std::vector<Entry> restriction = {
        {user, "LeftTimeBound", "0.375"}, {user, "RightTimeBound", "0.75"}, {user, "TimeLimit", "1"},
        {user, "DurationHours", "5"},     {user, "Duration", "1"},          {user, "DurationDay", "45000"},
        {user, "DurationTick", "600"},
    };
    WriteSettings(dir, {{user, "ProfileName", user},
                        {user, "LockPwd", LockPassword},
                        {user, "ShutDown", "0"},
                        {Global, "HotKey", CtrlAltL},
                        {Global, "APwd", AdminPassword},
                        {Global, "LUCfg", "1"}});
    WriteSettings(dir, restriction);
    ASSERT_TRUE(UseTestClock(dir, Noon()));
    ASSERT_TRUE(WriteWholeFile(BootFile, BootFileWithOptions));
    ASSERT_TRUE(WriteMustBeValidated(1));
    const std::string before = dir.ReadFile(SettingsName).value_or("");
    const std::vector<std::string> globalBefore = SectionLines(before, true, Global);
    ASSERT_EQ(globalBefore.size(), 3u);

    {
        RunningProgram program(dir);
        ASSERT_TRUE(program.Window());
        // The NT family has no start-up file options: their boxes are loaded but not for editing.
        ExpectButtons(program, {{IdBootKeysCheckBox, "BootKeys disabled", true},
                                {IdBootMenuCheckBox, "BootMenu", true},
                                {IdUserValidationCheckBox, "MustBeValidated", true}});
        for (int id : {IdBootKeysCheckBox, IdBootMenuCheckBox, IdUserValidationCheckBox})
            EXPECT_FALSE(IsWindowEnabled(program.Control(id))) << "box " << id;
        EXPECT_FALSE(IsWindowEnabled(program.Page(IdAdminPage)));

        // Admin page changes made past its gate, which another program can do.
        constexpr WORD ShiftCtrlK = MAKEWORD('K', HOTKEYF_SHIFT | HOTKEYF_CONTROL);
        SendMessageA(program.Control(IdHalvexHotKey), HKM_SETHOTKEY, ShiftCtrlK, 0);
        ASSERT_EQ(HotKeyOf(program), ShiftCtrlK);
        ASSERT_TRUE(ClickToModify(program, IdLockedUserCfgCheckBox));
        ASSERT_FALSE(IsChecked(program.Control(IdLockedUserCfgCheckBox)));
        ASSERT_TRUE(Click(program.Control(IdShutDownCheckBox)));
        ASSERT_TRUE(WaitUntil([&] { return IsChecked(program.Control(IdShutDownCheckBox)); }, DefaultTimeout,
                              "the ShutDown box checked"));
        ASSERT_TRUE(RunSettingsCommand(program, CmdSaveSettings));
    }

    EXPECT_EQ(ReadSetting(dir, user, "ShutDown"), "1") << "the Apply did not save the General page";
    const std::string after = dir.ReadFile(SettingsName).value_or("");
    EXPECT_EQ(SectionLines(after, true, Global), globalBefore);
    for (const Entry& entry : restriction) {
        if (IsUsageCount(entry)) continue;
        EXPECT_EQ(ReadSetting(dir, entry.Section, entry.Key), entry.Value) << Described(entry);
    }
    ExpectCountOfTheTick(dir, user, "45000", "600");
    EXPECT_EQ(ReadWholeFile(BootFile), std::optional<std::string>(BootFileWithOptions));
    EXPECT_EQ(ReadMustBeValidated(), std::optional<DWORD>(1));
}

// --- Cancel -----------------------------------------------------------------------------------

TEST_F(MainSettings, CancelSettingsRestoresTheFileValues)
{
    const AppDir dir;
    const std::string user = LogonUser();
    WriteSettings(dir, {{user, "ProfileName", user},
                        {user, "TimeOut", "300"},
                        {user, "PowerMode", "1"},
                        {user, "LockStyle", "0"},
                        {user, "ShutDown", "1"},
                        {user, "LogFile", "0"}});
    WriteSettingLines(dir, user, "Text", {"Gone for lunch"});
    const std::string fileBefore = dir.ReadFile(SettingsName).value_or("");

    struct TextEdit {
        int Id;
        const char* InFile;
        const char* Edited;
    };
    const TextEdit textEdits[] = {{IdTimeOutEdit, "300", "45"}, {IdScrollTextMemo, "Gone for lunch\r\n", "Changed\r\n"}};
    const int clicks[] = {IdShutDownCheckBox, IdLogFileCheckBox, IdPowerMode3, IdLockStyle1};
    const std::vector<ButtonState> asInFile = {
        {IdShutDownCheckBox, "ShutDown", true}, {IdLogFileCheckBox, "LogFile", false},
        {IdPowerMode1, "Blank Screen", true},   {IdPowerMode3, "StandBy", false},
        {IdLockStyle0, "Halvex Screen", true},  {IdLockStyle1, "Screen Saver", false},
    };
    std::vector<ButtonState> edited = asInFile;
    for (ButtonState& button : edited) button.Checked = !button.Checked;

    RunningProgram program(dir);
    ASSERT_TRUE(program.Window());
    ASSERT_TRUE(ShowConfiguration(program));
    for (const TextEdit& edit : textEdits) ASSERT_TRUE(SetText(program.Control(edit.Id), edit.Edited));
    ASSERT_TRUE(WaitForStatus(program, ModifiedPart, "Yes"));
    for (int id : clicks) ASSERT_TRUE(Click(program.Control(id)));
    const auto showsEdited = [&] {
        for (const ButtonState& button : edited)
            if (IsChecked(program.Control(button.Id)) != button.Checked) return false;
        return true;
    };
    if (!WaitUntil(showsEdited, DefaultTimeout, "the clicks shown")) {
        ExpectButtons(program, edited);
        return;
    }

    ASSERT_TRUE(RunSettingsCommand(program, CmdReLoadSettings));
    SCOPED_TRACE("after Cancel Settings");
    ExpectButtons(program, asInFile);
    for (const TextEdit& edit : textEdits) EXPECT_EQ(TextOf(program.Control(edit.Id)), edit.InFile);
    EXPECT_EQ(StatusText(program, ModifiedPart), "No");
    EXPECT_EQ(dir.ReadFile(SettingsName).value_or(""), fileBefore);
}

// --- Damaged input ----------------------------------------------------------------------------

struct DamagedPicture {
    const char* Name;
    const char* FileName;
    std::function<std::string()> Bytes;   // empty: no such file
};

TEST_F(MainSettings, DamagedPictureStillLoadsTheOtherSettings)
{
    const std::string user = LogonUser();
    const DamagedPicture cases[] = {
        {"random bytes named .jpg", "noise.jpg", [] { return NoiseBytes(4096, 7); }},
        {"a JPEG cut off in its scan", "cut.jpg",
         [] {
             const std::string whole = ReadWholeFile(PictureFixture("baseline.jpg")).value_or("");
             // Half the entropy-coded data after the start-of-scan segment (FF DA, length).
             const size_t scan = whole.find("\xFF\xDA");
             EXPECT_LT(scan + 4, whole.size()) << "the baseline fixture has no scan";
             if (scan + 4 >= whole.size()) return whole;
             const size_t data = scan + 2 + (static_cast<unsigned char>(whole[scan + 2]) << 8 |
                                             static_cast<unsigned char>(whole[scan + 3]));
             return whole.substr(0, data + (whole.size() - data) / 2);
         }},
        {"a JPEG header alone", "header.jpg", [] { return std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10); }},
        {"a missing file", "absent.bmp", nullptr},
    };
    for (const DamagedPicture& test : cases) {
        SCOPED_TRACE(test.Name);
        const AppDir dir;
        if (test.Bytes) {
            ASSERT_TRUE(dir.WriteFile(test.FileName, test.Bytes()));
        }
        WriteSettings(dir, {{user, "ProfileName", user},
                            {user, "Picture", dir.PathOf(test.FileName)},
                            {user, "TimeOut", "300"},
                            {user, "LockStyle", "1"},
                            {user, "ShutDown", "1"}});
        RunningProgram program(dir);
        ASSERT_TRUE(program.Window());
        ASSERT_TRUE(ShowConfiguration(program));
        EXPECT_TRUE(program.Program().IsRunning());
        EXPECT_TRUE(ShowsNoBox(program));
        EXPECT_EQ(TextOf(program.Control(IdTimeOutEdit)), "300");
        ExpectButtons(program, {{IdShutDownCheckBox, "ShutDown", true}, {IdLockStyle1, "Screen Saver", true}});
        EXPECT_EQ(StatusText(program, ModifiedPart), "No");
    }
}

struct DamagedSettings {
    const char* Name;
    std::function<std::string(const std::string& user)> Content;
    // What still loads; nothing is expected of a file that holds no readable entry.
    std::vector<ButtonState> Buttons;
    const char* TimeOut;   // nullptr: no expectation
    const char* TimeLimitStatus;
};

TEST_F(MainSettings, DamagedSettingsFileStillStartsAndLoadsWhatItCan)
{
    const DamagedSettings cases[] = {
        {"random bytes", [](const std::string&) { return NoiseBytes(8192, 11); }, {}, nullptr, nullptr},
        {"plain text where scrambled lines belong",
         [](const std::string& user) { return "[" + user + "]\r\nTimeOut=300\r\nShutDown=1\r\n"; }, {}, nullptr,
         nullptr},
        {"junk lines and values that are no numbers",
         [](const std::string& user) {
             return ScrambledLines({"[" + user + "]", "ProfileName=" + user, "%%% not an entry", "TimeOut=abc",
                                    "ShutDown=1", "=", "[", "]]==[[", "LeftTimeBound=zz", "TimeLimit=1",
                                    "\x01\x02\x7F\xFF", "[]", "HotKey=x1", "LUCfg=1"});
         },
         {{IdShutDownCheckBox, "ShutDown", true}, {IdLockedUserCfgCheckBox, "LUCfg", true}},
         "0",
         "On"},
    };
    const std::string user = LogonUser();
    for (const DamagedSettings& test : cases) {
        SCOPED_TRACE(test.Name);
        const AppDir dir;
        ASSERT_TRUE(dir.WriteFile(SettingsName, test.Content(user)));
        RunningProgram program(dir);
        ASSERT_TRUE(program.Window());
        ASSERT_TRUE(ShowConfiguration(program));
        EXPECT_TRUE(program.Program().IsRunning());
        EXPECT_TRUE(ShowsNoBox(program));
        EXPECT_EQ(StatusText(program, UserPart), user);
        ExpectButtons(program, test.Buttons);
        if (test.TimeOut) {
            EXPECT_EQ(TextOf(program.Control(IdTimeOutEdit)), test.TimeOut);
            EXPECT_EQ(HotKeyOf(program), 0);
            EXPECT_EQ(StatusText(program, TimeLimitPart), test.TimeLimitStatus);
        }
    }
}

// --- No settings file -------------------------------------------------------------------------

TEST_F(MainSettings, MissingFileGivesTheDefaults)
{
    const AppDir dir;
    const std::string user = LogonUser();
    RunningProgram program(dir);
    ASSERT_TRUE(program.Window());
    ASSERT_TRUE(ShowConfiguration(program));

    EXPECT_EQ(TextOf(program.Control(IdTimeOutEdit)), "0");
    EXPECT_EQ(TextOf(program.Control(IdScrollTextMemo)), "");
    EXPECT_EQ(HotKeyOf(program), 0);
    ExpectButtons(program, {
                               {IdPowerMode0, "None", true},
                               {IdPowerMode1, "Blank Screen", false},
                               {IdPowerMode2, "Suspend", false},
                               {IdPowerMode3, "StandBy", false},
                               {IdLockStyle0, "Halvex Screen", true},
                               {IdLockStyle1, "Screen Saver", false},
                               {IdShutDownCheckBox, "ShutDown", false},
                               {IdStartUpCheckBox, "StartUp", false},
                               {IdLogFileCheckBox, "LogFile", false},
                               {IdLockedUserCfgCheckBox, "LUCfg", false},
                               {IdBootKeysCheckBox, "BootKeys disabled", false},
                               {IdBootMenuCheckBox, "BootMenu", false},
                           });
    EXPECT_EQ(TextOf(program.Control(IdPowerMode0)), "None");
    EXPECT_EQ(TextOf(program.Control(IdLockStyle0)), "Halvex Screen");
    EXPECT_EQ(StatusText(program, ModifiedPart), "No");
    EXPECT_EQ(StatusText(program, PasswordPart), "Disable");
    EXPECT_EQ(StatusText(program, TimeLimitPart), "Off");
    EXPECT_EQ(StatusText(program, UserPart), user);

    const std::vector<std::string> users = ComboItems(program.Control(IdUsersComboBox));
    ASSERT_GE(users.size(), 2u);
    EXPECT_EQ(users.back(), ".Default");
    bool listsUser = false;
    for (const std::string& item : users) listsUser = listsUser || lstrcmpiA(item.c_str(), user.c_str()) == 0;
    EXPECT_TRUE(listsUser) << "the logged-on user " << user << " is not in the profile list";
    EXPECT_TRUE(ShowsNoBox(program));
}

// --- c:\msdos.sys unusable --------------------------------------------------------------------

TEST_F(MainSettings, UnusableBootFileStillLoadsAndWarnsAfterSaving)
{
    const AppDir dir;
    const std::string user = LogonUser();
    // Running as root, Wine writes read-only files anyway: a folder of that name stops the file.
    DeleteFileA(BootFile);
    ASSERT_TRUE(CreateDirectoryA(BootFile, nullptr)) << DescribeLastError();
    WriteSettings(dir, {{user, "ProfileName", user}, {user, "ShutDown", "0"}});

    RunningProgram program(dir);
    ASSERT_TRUE(program.Window());
    EXPECT_EQ(StatusText(program, ModifiedPart), "No");
    EXPECT_EQ(StatusText(program, PasswordPart), "Disable");
    EXPECT_EQ(StatusText(program, UserPart), user);
    ExpectButtons(program, {{IdBootKeysCheckBox, "BootKeys disabled", false}, {IdBootMenuCheckBox, "BootMenu", false}});
    ASSERT_TRUE(ShowConfiguration(program));
    EXPECT_TRUE(ShowsNoBox(program));

    ASSERT_TRUE(PassAdminGate(program, ""));
    ASSERT_TRUE(ClickToModify(program, IdShutDownCheckBox));
    program.Command(CmdSaveSettings);
    HWND warning = WaitForMessageBox(WarningCaption, program.Id());
    ASSERT_TRUE(warning);
    EXPECT_NE(MessageBoxText(warning).find("c:\\msdos.sys"), std::string::npos) << MessageBoxText(warning);
    EXPECT_EQ(ReadSetting(dir, user, "ShutDown"), "1") << "Halvex.dat is saved before the warning";
    ASSERT_TRUE(PressMessageBoxButton(warning, IDOK));
    EXPECT_TRUE(WaitForStatus(program, ModifiedPart, "No"));
    EXPECT_TRUE(program.Program().IsRunning());
}

}  // namespace
