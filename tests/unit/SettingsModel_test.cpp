// Loading and saving the settings structs over real files. Values are chosen
// per row of the settings table, so a new row is covered without a new test.
#include "settings/SettingsModel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

#include "TempFolder.h"
#include "settings/SettingCodec.h"
#include "settings/SettingsTable.h"
#include "settings/StorageFormat.h"

namespace {

using Lines = std::vector<std::string>;

const std::string AppDir = "C:\\Program Files\\Halvex\\";
const std::string Profile = "Anna";

// The whole configuration; the boot options share the settings file here,
// which their own section keeps apart.
struct Configuration {
    TLockSettings Lock;
    TRestrictionSettings Restriction;
    TGlobalSettings Global;
    TBootOptions Boot;
};

template <class Struct, class Whole>
auto& PartOf(Whole& whole)
{
    if constexpr (std::is_same_v<Struct, TLockSettings>) return whole.Lock;
    else if constexpr (std::is_same_v<Struct, TRestrictionSettings>) return whole.Restriction;
    else if constexpr (std::is_same_v<Struct, TGlobalSettings>) return whole.Global;
    else return whole.Boot;
}

template <class Whole, class Struct, class Value>
auto& Member(Whole& whole, Value Struct::*holder)
{
    return PartOf<Struct>(whole).*holder;
}

// action(index, row, holder) for every row held by a struct member.
template <class Action>
void ForEachHeldRow(Action action)
{
    for (size_t index = 0; index < std::size(SettingsTable); ++index) {
        const SettingRow& row = SettingsTable[index];
        std::visit(
            [&](auto holder) {
                if constexpr (!std::is_same_v<decltype(holder), std::monostate>) action(index, row, holder);
            },
            row.Holder);
    }
}

// A value unlike the default and unlike every other row's, so a row that
// reads into the wrong member or from the wrong key shows.
template <class Value>
Value SampleFor(size_t index, const SettingRow& row)
{
    const std::string key = row.Key;
    if constexpr (std::is_same_v<Value, std::string>) return "C:\\" + key + " = value " + std::to_string(index);
    else if constexpr (std::is_same_v<Value, bool>) return true;
    else if constexpr (std::is_same_v<Value, int32_t>) return static_cast<int32_t>(100 + index);
    else if constexpr (std::is_same_v<Value, uint16_t>) return static_cast<uint16_t>(0xC000 + index);   // > INT16_MAX
    else if constexpr (std::is_same_v<Value, double>) return (index + 1) / 64.0;   // exact, under a day
    else return TStrings{key + " first line", "second line " + std::to_string(index)};
}

Configuration Samples()
{
    Configuration samples;
    ForEachHeldRow([&](size_t index, const SettingRow& row, auto holder) {
        auto& member = Member(samples, holder);
        member = SampleFor<std::decay_t<decltype(member)>>(index, row);
    });
    return samples;
}

std::string SectionOf(SettingStore store)
{
    switch (store) {
    case SettingStore::ProfileLock:
    case SettingStore::ProfileRestriction: return Profile;
    case SettingStore::Global: return GlobalSection;
    case SettingStore::BootFile: return MsDosOptionsSection;
    case SettingStore::Registry: break;
    }
    ADD_FAILURE() << "no file section for this store";
    return "";
}

void WriteConfiguration(TDStorage& store, const Configuration& configuration)
{
    WriteLockSettings(store, Profile, configuration.Lock);
    WriteProfileRestrictions(store, Profile, configuration.Lock.LockPwd, configuration.Restriction);
    WriteGlobalSettings(store, configuration.Global);
    WriteBootOptions(store, configuration.Boot);
    // What the rest of the program saves on its own: written here as it would.
    ForEachHeldRow([&](size_t, const SettingRow& row, auto holder) {
        if (row.Saving != SettingSaving::Elsewhere) return;
        const auto& value = Member(configuration, holder);
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, int32_t>)
            store.WriteString(SectionOf(row.Store), row.Key, IntegerText(value));
        else
            ADD_FAILURE() << row.Key << ": the test has no writer for this kind of value";
    });
}

Configuration ReadConfiguration(const TDStorage& store)
{
    Configuration configuration;
    configuration.Lock = ReadLockSettings(store, LockSettingsSection(store, Profile), AppDir);
    configuration.Restriction = ReadRestrictions(store, Profile);
    configuration.Global = ReadGlobalSettings(store);
    configuration.Boot = ReadBootOptions(store);
    return configuration;
}

// Every held setting equal, except the row named in exceptKey, which must
// equal the same setting of otherwise.
void ExpectSameSettings(const Configuration& actual, const Configuration& expected,
                        const std::string& exceptKey = "", const Configuration& otherwise = {})
{
    ForEachHeldRow([&](size_t, const SettingRow& row, auto holder) {
        const Configuration& wanted = row.Key == exceptKey ? otherwise : expected;
        EXPECT_EQ(Member(actual, holder), Member(wanted, holder)) << "setting " << row.Key;
    });
}

Lines LogicalLines(const std::string& path, bool scrambled)
{
    const std::string content = TempFolder::Read(path);
    storage::LineReader reader(content, scrambled);
    Lines lines;
    std::string line;
    while (reader.Next(line)) lines.push_back(line);
    return lines;
}

void WriteLines(const std::string& path, const Lines& lines)
{
    std::string bytes;
    for (const std::string& line : lines) storage::AppendLine(bytes, line, false);
    TempFolder::Write(path, bytes);
}

const std::string ListOpen(1, storage::ListStart);
const std::string ListClose(1, storage::ListEnd);

}  // namespace

TEST(SettingsModelRoundTrip, EverySettingReadsBackAsWritten)
{
    const Configuration defaults;
    const Configuration written = Samples();
    ForEachHeldRow([&](size_t, const SettingRow& row, auto holder) {
        EXPECT_NE(Member(written, holder), Member(defaults, holder))
            << row.Key << ": the sample must not be the default";
    });
    for (bool scrambled : {false, true}) {
        SCOPED_TRACE(scrambled ? "scrambled file" : "plain file");
        TempFolder folder;
        TDStorage store(folder.File("Halvex.dat"), scrambled);
        WriteConfiguration(store, written);
        ExpectSameSettings(ReadConfiguration(store), written);
    }
}

TEST(SettingsModelRoundTrip, StoredTextsAreTheFileEncodings)
{
    TempFolder folder;
    TDStorage store(folder.File("Halvex.dat"), true);
    Configuration configuration = Samples();
    configuration.Lock.ShutDown = true;
    configuration.Lock.StartUp = false;
    configuration.Lock.TimeOut = 300;
    configuration.Lock.Text = {"Away until noon", "", "Call 1234"};
    configuration.Restriction.LeftTimeBound = 0.375;
    configuration.Global.HotKey = 16576;
    configuration.Boot.BootKeysDisabled = true;
    configuration.Boot.BootMenu = false;
    WriteConfiguration(store, configuration);

    const struct {
        std::string Section;
        std::string Key;
        std::string Text;
    } cases[] = {
        {Profile, ShutDownKey, "1"},
        {Profile, StartUpKey, "0"},
        {Profile, TimeOutKey, "300"},
        {Profile, LeftTimeBoundKey, "0.375"},
        {"", HotKeyKey, "16576"},
        {MsDosOptionsSection, BootKeysKey, "0"},
        {MsDosOptionsSection, BootMenuKey, "0"},
    };
    for (const auto& c : cases) {
        std::string text;
        EXPECT_TRUE(store.ReadString(c.Section, c.Key, text)) << c.Key;
        EXPECT_EQ(text, c.Text) << c.Key;
    }
    TStrings lines;
    EXPECT_TRUE(store.ReadStrings(Profile, TextKey, lines));
    EXPECT_EQ(lines, configuration.Lock.Text);
}

TEST(SettingsModelDefaults, MissingEmptyOrForeignFileReadsDefaults)
{
    const struct {
        const char* Name;
        bool FileExists;
        Lines Content;
    } cases[] = {
        {"missing file", false, {}},
        {"empty file", true, {}},
        {"other sections only", true,
         {"[Bob]", "ProfileName=Bob", "LockPwd=bob", "TimeOut=60", "[Boot]", "BootKeys=0"}},
        {"empty entries", true,
         {"[.Default]", "Picture=", "LockPwd=", "TimeOut=", "Text=" + ListOpen, ListClose, "[]", "HotKey=", "APwd=",
          "[Options]", "BootKeys=", "BootMenu="}},
    };
    Configuration expected;
    expected.Lock.Picture = AppDir + "Logo.bmp";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TempFolder folder;
        const std::string path = folder.File("Halvex.dat");
        if (c.FileExists) WriteLines(path, c.Content);
        TDStorage store(path, false);
        const Configuration read = ReadConfiguration(store);
        ExpectSameSettings(read, expected);
        EXPECT_EQ(read.Lock.Picture, "C:\\Program Files\\Halvex\\Logo.bmp");
        EXPECT_EQ(read.Lock.TimeOut, 0);
        EXPECT_TRUE(std::filesystem::exists(path)) << "the store creates a missing file";
    }
}

TEST(SettingsModelProfile, OnlyASectionWithProfileNameHoldsTheProfilesOwnSettings)
{
    const Lines defaults = {"[.Default]", "LockPwd=default pwd", "TimeOut=60"};
    const struct {
        const char* Name;
        Lines Own;
        std::string Section;
        std::string LockPwd;
        int32_t TimeOut;
    } cases[] = {
        {"no section", {}, ".Default", "default pwd", 60},
        {"no ProfileName", {"[Anna]", "LockPwd=own pwd"}, ".Default", "default pwd", 60},
        {"ProfileName elsewhere", {"[Anna]", "LockPwd=own pwd", "[Bob]", "ProfileName=Anna"}, ".Default",
         "default pwd", 60},
        {"ProfileName as a list", {"[Anna]", "ProfileName=" + ListOpen, ListClose, "LockPwd=own pwd"}, ".Default",
         "default pwd", 60},
        {"empty ProfileName", {"[Anna]", "ProfileName=", "LockPwd=own pwd"}, "Anna", "own pwd", 0},
        {"ProfileName last", {"[Anna]", "LockPwd=own pwd", "ProfileName=x"}, "Anna", "own pwd", 0},
        {"other case", {"[ANNA]", "profilename=Anna", "LockPwd=own pwd"}, "Anna", "own pwd", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TempFolder folder;
        Lines content = defaults;
        content.insert(content.end(), c.Own.begin(), c.Own.end());
        WriteLines(folder.File("Halvex.dat"), content);
        TDStorage store(folder.File("Halvex.dat"), false);
        const std::string section = LockSettingsSection(store, Profile);
        EXPECT_EQ(section, c.Section);
        const TLockSettings lock = ReadLockSettings(store, section, AppDir);
        EXPECT_EQ(lock.LockPwd, c.LockPwd);
        EXPECT_EQ(lock.TimeOut, c.TimeOut);
    }
}

TEST(SettingsModelWriteOrder, ANewFileHoldsTheEntriesInSavingOrder)
{
    TLockSettings lock;
    lock.LockPwd = "pwd";
    lock.Picture = "C:\\pictures\\me.jpg";
    lock.TimeOut = 300;
    lock.PowerMode = 2;
    lock.LockStyle = 1;
    lock.ShutDown = true;
    lock.LogFile = true;
    lock.Text = {"line 1", "line 2"};
    TRestrictionSettings restriction;
    restriction.LeftTimeBound = 0.375;
    restriction.RightTimeBound = 0.75;
    restriction.TimeLimit = true;
    restriction.DurationHours = 8;
    restriction.DurationDay = 45000;   // the usage count is not the restriction's to save
    restriction.DurationTick = 1200;
    TGlobalSettings global;
    global.HotKey = 16576;
    global.LUCfg = true;
    global.APwd = "admin";
    TBootOptions boot;
    boot.BootKeysDisabled = true;
    boot.BootMenu = true;

    const struct {
        const char* Name;
        std::function<void(TDStorage&)> Save;
        Lines Expected;
    } cases[] = {
        {"lock settings", [&](TDStorage& s) { WriteLockSettings(s, Profile, lock); },
         {"[Anna]", "ProfileName=Anna", "LockPwd=pwd", "Picture=C:\\pictures\\me.jpg", "TimeOut=300", "PowerMode=2",
          "LockStyle=1", "ShutDown=1", "StartUp=0", "LogFile=1", "Text=" + ListOpen, "line 1", "line 2", ListClose}},
        {"restriction", [&](TDStorage& s) { WriteProfileRestrictions(s, "Bob", "bob pwd", restriction); },
         {"[Bob]", "LockPwd=bob pwd", "LeftTimeBound=0.375", "RightTimeBound=0.75", "TimeLimit=1", "DurationHours=8",
          "Duration=0"}},
        {"global settings", [&](TDStorage& s) { WriteGlobalSettings(s, global); },
         {"[]", "HotKey=16576", "APwd=admin", "LUCfg=1"}},
        {"boot options", [&](TDStorage& s) { WriteBootOptions(s, boot); },
         {"[Options]", "BootKeys=0", "BootMenu=1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TempFolder folder;
        TDStorage store(folder.File("Halvex.dat"), false);
        c.Save(store);
        EXPECT_EQ(LogicalLines(folder.File("Halvex.dat"), false), c.Expected);
    }
}

TEST(SettingsModelDamage, TextsThatAreNotNumbersReadAsDefaultsAndTheRestLoads)
{
    const struct {
        std::string Key;
        std::string Text;
    } cases[] = {
        {TimeOutKey, "abc"},
        {TimeOutKey, " 7"},
        {TimeOutKey, "99999999999"},
        {PowerModeKey, "12x"},
        {LockStyleKey, "-5"},
        {DurationHoursKey, "7 "},
        {DurationHoursKey, "2147483648"},
        {DurationDayKey, std::string(5000, '9')},
        {DurationTickKey, "+5"},
        {LeftTimeBoundKey, "1e400"},
        {LeftTimeBoundKey, std::string(400, '9')},
        {RightTimeBoundKey, "abc"},
        {RightTimeBoundKey, "-0.5"},
        {RightTimeBoundKey, "0,5"},
        {HotKeyKey, "0x41"},
        {HotKeyKey, "-1"},
    };
    const Configuration samples = Samples();
    const Configuration defaults;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Key + " = \"" + c.Text.substr(0, 20) + "\"");
        const SettingRow* damaged = nullptr;
        for (const SettingRow& row : SettingsTable)
            if (row.Key == c.Key) damaged = &row;
        ASSERT_NE(damaged, nullptr);
        TempFolder folder;
        TDStorage store(folder.File("Halvex.dat"), false);
        WriteConfiguration(store, samples);
        store.WriteString(SectionOf(damaged->Store), c.Key, c.Text);
        Configuration read;
        ASSERT_NO_THROW(read = ReadConfiguration(store));
        ExpectSameSettings(read, samples, c.Key, defaults);
    }
}

TEST(SettingsModelTimeBounds, SavingKeepsOnlyTheTimeOfDay)
{
    const struct {
        double Value;
        std::string Text;
        double ReadBack;
    } cases[] = {
        {0.375, "0.375", 0.375}, {1.25, "0.25", 0.25},    {2.5, "0.5", 0.5},
        {1.0, "0", 0.0},         {0.0, "0", 0.0},         {36525.75, "0.75", 0.75},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Value);
        TempFolder folder;
        TDStorage store(folder.File("Halvex.dat"), false);
        TRestrictionSettings restriction;
        restriction.LeftTimeBound = c.Value;
        restriction.RightTimeBound = c.Value;
        WriteProfileRestrictions(store, Profile, "", restriction);
        for (const char* key : {LeftTimeBoundKey, RightTimeBoundKey}) {
            std::string text;
            store.ReadString(Profile, key, text);
            EXPECT_EQ(text, c.Text) << key;
        }
        const TRestrictionSettings read = ReadRestrictions(store, Profile);
        EXPECT_EQ(read.LeftTimeBound, c.ReadBack);
        EXPECT_EQ(read.RightTimeBound, c.ReadBack);
    }
}

TEST(SettingsModelHotKey, OnlySixteenBitValuesAreHotKeys)
{
    const struct {
        std::string Text;
        uint16_t HotKey;
    } cases[] = {
        {"16576", 16576}, {"65535", 65535}, {"0", 0},          {"", 0},
        {"65536", 0},     {"70000", 0},     {"2147483647", 0}, {"4294967295", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        TempFolder folder;
        WriteLines(folder.File("Halvex.dat"), {"[]", "HotKey=" + c.Text, "LUCfg=1", "APwd=admin"});
        TDStorage store(folder.File("Halvex.dat"), false);
        const TGlobalSettings read = ReadGlobalSettings(store);
        EXPECT_EQ(read.HotKey, c.HotKey);
        EXPECT_TRUE(read.LUCfg);
        EXPECT_EQ(read.APwd, "admin");
    }
}

TEST(SettingsModelHotKey, TheHighestCodeIsStoredUnsigned)
{
    TempFolder folder;
    TDStorage store(folder.File("Halvex.dat"), false);
    TGlobalSettings global;
    global.HotKey = 65535;
    WriteGlobalSettings(store, global);
    std::string text;
    store.ReadString("", HotKeyKey, text);
    EXPECT_EQ(text, "65535");
    EXPECT_EQ(ReadGlobalSettings(store).HotKey, 65535);
}

TEST(SettingsModelBootOptions, OnlyZeroDisablesTheBootKeys)
{
    const struct {
        Lines Entries;
        bool Disabled;
        bool Menu;
    } cases[] = {
        {{"BootKeys=0", "BootMenu=1"}, true, true},
        {{"bootkeys=0"}, true, false},
        {{"BootKeys=1", "BootMenu=0"}, false, false},
        {{"BootKeys=", "BootMenu="}, false, false},
        {{"BootKeys=00", "BootMenu=01"}, false, false},
        {{"BootKeys= 0"}, false, false},
        {{"BootKeys=2", "BootMenu=2"}, false, false},
        {{"BootMenu=1"}, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Entries.front());
        TempFolder folder;
        Lines content = {"[boot]", "BootKeys=0", "BootMenu=1", "[Options]"};
        content.insert(content.end(), c.Entries.begin(), c.Entries.end());
        WriteLines(folder.File("msdos.sys"), content);
        TDStorage msDos(folder.File("msdos.sys"), false);
        const TBootOptions read = ReadBootOptions(msDos);
        EXPECT_EQ(read.BootKeysDisabled, c.Disabled);
        EXPECT_EQ(read.BootMenu, c.Menu);
    }
}

TEST(SettingsModelDuration, LimitIsTheHoursInSecondsSaturated)
{
    const struct {
        int32_t Hours;
        int32_t Seconds;
    } cases[] = {
        {0, 0},
        {1, 3600},
        {8, 28800},
        {596523, 2147482800},   // the last whole hour that fits
        {596524, INT32_MAX},
        {INT32_MAX, INT32_MAX},
        {-1, -3600},
        {INT32_MIN, INT32_MIN},
    };
    for (const auto& c : cases) {
        TRestrictionSettings restriction;
        restriction.DurationHours = c.Hours;
        EXPECT_EQ(DurationLimitOf(restriction), c.Seconds) << c.Hours << " hours";
    }
}

TEST(SettingsModelErrors, FileErrorsOfTheStorePropagate)
{
    const Configuration samples = Samples();
    const struct {
        const char* Name;
        std::function<void(TDStorage&)> Use;
    } uses[] = {
        {"LockSettingsSection", [](TDStorage& s) { LockSettingsSection(s, Profile); }},
        {"ReadLockSettings", [](TDStorage& s) { ReadLockSettings(s, Profile, AppDir); }},
        {"ReadRestrictions", [](TDStorage& s) { ReadRestrictions(s, Profile); }},
        {"ReadGlobalSettings", [](TDStorage& s) { ReadGlobalSettings(s); }},
        {"ReadBootOptions", [](TDStorage& s) { ReadBootOptions(s); }},
        {"WriteLockSettings", [&](TDStorage& s) { WriteLockSettings(s, Profile, samples.Lock); }},
        {"WriteProfileRestrictions",
         [&](TDStorage& s) { WriteProfileRestrictions(s, Profile, "pwd", samples.Restriction); }},
        {"WriteGlobalSettings", [&](TDStorage& s) { WriteGlobalSettings(s, samples.Global); }},
        {"WriteBootOptions", [&](TDStorage& s) { WriteBootOptions(s, samples.Boot); }},
    };
    const struct {
        const char* Name;
        std::function<std::string(const TempFolder&)> PathIn;
    } places[] = {
        {"folder does not exist", [](const TempFolder& f) { return f.File("absent/Halvex.dat"); }},
        {"path is a folder",
         [](const TempFolder& f) {
             std::filesystem::create_directory(f.File("Halvex.dat"));
             return f.File("Halvex.dat");
         }},
    };
    for (const auto& place : places) {
        TempFolder folder;
        TDStorage store(place.PathIn(folder), false);
        for (const auto& use : uses) EXPECT_THROW(use.Use(store), EInOutError) << use.Name << ", " << place.Name;
    }
}
