// Loading and saving the settings structs by walking the settings table: the
// code below knows encodings, never individual keys.
#include "settings/SettingsModel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

#include "settings/SettingCodec.h"
#include "settings/SettingsTable.h"

namespace {

constexpr int64_t SecondsPerHour = 3600;

std::string DefaultText(const SettingRow& row, const std::string& appDir)
{
    return row.DefaultKind == SettingDefault::BesideProgram ? appDir + row.Default : std::string(row.Default);
}

// A missing entry reads as the row's default text.
std::string StoredText(const TDStorage& storage, const std::string& section, const SettingRow& row,
                       const std::string& appDir)
{
    std::string text;
    if (!storage.ReadString(section, row.Key, text)) text = DefaultText(row, appDir);
    return text;
}

void Decode(const SettingRow& row, const std::string& text, const std::string& appDir, std::string& value)
{
    value = text.empty() ? DefaultText(row, appDir) : text;
}

void Decode(const SettingRow& row, const std::string& text, const std::string&, bool& value)
{
    value = row.Encoding == SettingEncoding::InvertedFlag ? text == FlagText(false) : ReadFlag(text);
}

void Decode(const SettingRow& row, const std::string& text, const std::string&, int32_t& value)
{
    value = ReadInteger(text, ReadInteger(row.Default, 0));
}

// A 16-bit value is read as an integer; one outside the 16 bits is damage,
// not a value to truncate, so it reads as the default.
void Decode(const SettingRow& row, const std::string& text, const std::string&, uint16_t& value)
{
    const int32_t fallback = ReadInteger(row.Default, 0);
    const int32_t read = ReadInteger(text, fallback);
    const bool fits = read >= 0 && read <= std::numeric_limits<uint16_t>::max();
    value = static_cast<uint16_t>(fits ? read : fallback);
}

void Decode(const SettingRow& row, const std::string& text, const std::string&, double& value)
{
    value = ReadTimeOfDay(text, ReadTimeOfDay(row.Default, 0));
}

std::string Encode(const SettingRow&, const std::string& value) { return value; }

std::string Encode(const SettingRow& row, bool value)
{
    return FlagText(row.Encoding == SettingEncoding::InvertedFlag ? !value : value);
}

std::string Encode(const SettingRow&, int32_t value) { return IntegerText(value); }

std::string Encode(const SettingRow&, uint16_t value) { return IntegerText(value); }

// A time of day: the picker's value may carry a date part, which is no part
// of the setting (the fraction keeps its sign, as the whole part is cut off).
std::string Encode(const SettingRow&, double value)
{
    double wholeDays = 0;
    return TimeOfDayText(std::modf(value, &wholeDays));
}

template <class Value>
void ReadRow(const TDStorage& storage, const std::string& section, const SettingRow& row, const std::string& appDir,
             Value& value)
{
    if constexpr (std::is_same_v<Value, TStrings>)
        storage.ReadStrings(section, row.Key, value);   // a missing list reads as no lines
    else
        Decode(row, StoredText(storage, section, row, appDir), appDir, value);
}

template <class Value>
void WriteRow(TDStorage& storage, const std::string& section, const SettingRow& row, const Value& value)
{
    if constexpr (std::is_same_v<Value, TStrings>)
        storage.WriteStrings(section, row.Key, value);
    else
        storage.WriteString(section, row.Key, Encode(row, value));
}

// The table ties each struct to one store, so the rows that point into
// Struct are exactly that store's rows.
template <class Holder, class Struct>
constexpr bool PointsInto = std::is_same_v<typename HolderTraits<Holder>::Owner, Struct>;

template <class Struct>
Struct ReadStore(const TDStorage& storage, const std::string& section, const std::string& appDir)
{
    Struct settings;
    for (const SettingRow& row : SettingsTable) {
        std::visit(
            [&](auto holder) {
                if constexpr (PointsInto<decltype(holder), Struct>)
                    ReadRow(storage, section, row, appDir, settings.*holder);
            },
            row.Holder);
    }
    return settings;
}

template <class Struct>
void WriteStore(TDStorage& storage, const std::string& section, const Struct& settings)
{
    for (const SettingRow& row : SettingsTable) {
        if (row.Saving != SettingSaving::WithItsStruct) continue;
        std::visit(
            [&](auto holder) {
                if constexpr (PointsInto<decltype(holder), Struct>)
                    WriteRow(storage, section, row, settings.*holder);
            },
            row.Holder);
    }
}

}  // namespace

TRestrictionSettings ReadRestrictions(const TDStorage& storage, const std::string& section)
{
    return ReadStore<TRestrictionSettings>(storage, section, std::string());
}

int32_t DurationLimitOf(const TRestrictionSettings& restriction)
{
    const int64_t seconds = int64_t{restriction.DurationHours} * SecondsPerHour;
    return static_cast<int32_t>(std::clamp<int64_t>(seconds, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

std::string LockSettingsSection(const TDStorage& storage, const std::string& currentProfile)
{
    std::string ignored;
    return storage.ReadString(currentProfile, ProfileNameKey, ignored) ? currentProfile : std::string(DefaultProfile);
}

TLockSettings ReadLockSettings(const TDStorage& storage, const std::string& section, const std::string& appDir)
{
    return ReadStore<TLockSettings>(storage, section, appDir);
}

TGlobalSettings ReadGlobalSettings(const TDStorage& storage)
{
    return ReadStore<TGlobalSettings>(storage, GlobalSection, std::string());
}

TBootOptions ReadBootOptions(const TDStorage& plainMsDosStore)
{
    return ReadStore<TBootOptions>(plainMsDosStore, MsDosOptionsSection, std::string());
}

// ProfileName goes first: its presence is what marks the section as the
// profile's own (see LockSettingsSection).
void WriteLockSettings(TDStorage& storage, const std::string& currentProfile, const TLockSettings& settings)
{
    storage.WriteString(currentProfile, ProfileNameKey, currentProfile);
    WriteStore(storage, currentProfile, settings);
}

void WriteGlobalSettings(TDStorage& storage, const TGlobalSettings& settings)
{
    WriteStore(storage, GlobalSection, settings);
}

void WriteProfileRestrictions(TDStorage& storage, const std::string& profile, const std::string& lockPwd,
                              const TRestrictionSettings& restriction)
{
    storage.WriteString(profile, LockPwdKey, lockPwd);
    WriteStore(storage, profile, restriction);
}

void WriteBootOptions(TDStorage& plainMsDosStore, const TBootOptions& options)
{
    WriteStore(plainMsDosStore, MsDosOptionsSection, options);
}
