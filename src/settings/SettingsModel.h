// The configuration as plain values, and its loading from and saving to the
// stores. The configuration window moves these structs to and from its controls.
#pragma once

#include <cstdint>
#include <string>

#include "settings/DStorage.h"

constexpr char DefaultProfile[] = ".Default";
constexpr char GlobalSection[] = "";   // written as the header "[]"
constexpr char ProfileNameKey[] = "ProfileName";
constexpr char LogoFileName[] = "Logo.bmp";

constexpr char LockPwdKey[] = "LockPwd";
constexpr char PictureKey[] = "Picture";
constexpr char TimeOutKey[] = "TimeOut";
constexpr char PowerModeKey[] = "PowerMode";
constexpr char LockStyleKey[] = "LockStyle";
constexpr char ShutDownKey[] = "ShutDown";
constexpr char StartUpKey[] = "StartUp";
constexpr char LogFileKey[] = "LogFile";
constexpr char TextKey[] = "Text";

constexpr char LeftTimeBoundKey[] = "LeftTimeBound";
constexpr char RightTimeBoundKey[] = "RightTimeBound";
constexpr char TimeLimitKey[] = "TimeLimit";
constexpr char DurationDayKey[] = "DurationDay";
constexpr char DurationTickKey[] = "DurationTick";
constexpr char DurationHoursKey[] = "DurationHours";
constexpr char DurationKey[] = "Duration";

constexpr char HotKeyKey[] = "HotKey";
constexpr char LUCfgKey[] = "LUCfg";
constexpr char APwdKey[] = "APwd";

// A profile's lock settings.
struct TLockSettings {
    std::string LockPwd;
    std::string Picture;          // a missing or empty entry means Logo.bmp beside the program
    int32_t TimeOut = 0;          // seconds
    int32_t PowerMode = 0;        // item index: 0 None, 1 Blank Screen, 2 Suspend, 3 StandBy
    int32_t LockStyle = 0;        // item index: 0 Halvex Screen, 1 Screen Saver
    bool ShutDown = false;
    bool StartUp = false;
    bool LogFile = false;
    TStrings Text;                // the scrolling text, one item a line
};

// A profile's working-time restriction.
struct TRestrictionSettings {
    double LeftTimeBound = 0;     // time of day as a fraction of a day
    double RightTimeBound = 0;
    bool TimeLimit = false;
    int32_t DurationHours = 0;
    bool Duration = false;
    // The usage count so far: read with the rest, but kept up to date in the
    // file by the usage-time tick, so saving the restriction leaves them alone.
    int32_t DurationDay = 0;      // day number
    int32_t DurationTick = 0;     // seconds
};

// The settings shared by every profile, in the section "".
struct TGlobalSettings {
    uint16_t HotKey = 0;          // hot-key code, stored as unsigned decimal
    bool LUCfg = false;
    std::string APwd;
};

// The 9x start-up options, kept in the plain file c:\msdos.sys.
struct TBootOptions {
    bool BootKeysDisabled = false; // stored inverted: "0" disables the boot keys
    bool BootMenu = false;
};

// Every routine here lets the store's EInOutError through; values that cannot
// be decoded read as their setting's default and the rest still loads.

TRestrictionSettings ReadRestrictions(const TDStorage& storage, const std::string& section);
// The allowed usage in seconds, saturated to the int32_t range: the hours come
// from the file and may be far larger than a day.
int32_t DurationLimitOf(const TRestrictionSettings& restriction);

// The section the lock settings of currentProfile come from: its own once it
// has been saved (it holds ProfileName, whatever the value), else ".Default".
std::string LockSettingsSection(const TDStorage& storage, const std::string& currentProfile);
// appDir is the program's folder with its trailing separator.
TLockSettings ReadLockSettings(const TDStorage& storage, const std::string& section, const std::string& appDir);
// A stored hot key outside 0..65535 is not a hot-key code and reads as 0.
TGlobalSettings ReadGlobalSettings(const TDStorage& storage);
TBootOptions ReadBootOptions(const TDStorage& plainMsDosStore);

void WriteLockSettings(TDStorage& storage, const std::string& currentProfile, const TLockSettings& settings);
void WriteGlobalSettings(TDStorage& storage, const TGlobalSettings& settings);
// The time bounds are times of day: a whole-day part is dropped on writing.
void WriteProfileRestrictions(TDStorage& storage, const std::string& profile, const std::string& lockPwd,
                              const TRestrictionSettings& restriction);
void WriteBootOptions(TDStorage& plainMsDosStore, const TBootOptions& options);
