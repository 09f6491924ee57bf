// Every setting described once: where it is stored, how its text is encoded,
// what a missing entry means and which struct member holds it. Loading and
// saving walk this table, so it alone decides keys, order and defaults.
#pragma once

#include <cstddef>
#include <type_traits>
#include <variant>

#include "settings/SettingsModel.h"
#include "settings/SystemOptionsNames.h"

enum class SettingStore {
    ProfileLock,          // the profile's section of the settings file
    ProfileRestriction,   // the profile's section too, saved apart from the lock settings
    Global,               // the section "" of the settings file
    BootFile,             // section "Options" of the plain c:\msdos.sys
    Registry,             // HKLM "Network\Logon"; read and written by the Win32 layer
};

enum class SettingEncoding {
    Text,          // as is
    Flag,          // "1" on, anything else off
    Integer,       // unsigned decimal
    TimeOfDay,     // fraction of a day as a float text
    List,          // a list entry, one item a line
    InvertedFlag,  // on exactly when the text is "0"
    Dword,         // a REG_DWORD, on when its text is "1"
};

// A missing entry (or an empty one, for Text) stands for the row's default.
enum class SettingDefault {
    AsWritten,
    BesideProgram,   // the default is a file name in the program's folder
};

enum class SettingSaving {
    WithItsStruct,
    Elsewhere,       // the struct only mirrors what another part of the program writes
};

using SettingHolder = std::variant<
    std::monostate,   // no struct member: the Win32 layer keeps it
    std::string TLockSettings::*, int32_t TLockSettings::*, bool TLockSettings::*, TStrings TLockSettings::*,
    double TRestrictionSettings::*, int32_t TRestrictionSettings::*, bool TRestrictionSettings::*,
    uint16_t TGlobalSettings::*, bool TGlobalSettings::*, std::string TGlobalSettings::*,
    bool TBootOptions::*>;

struct SettingRow {
    const char* Key;
    SettingStore Store;
    SettingEncoding Encoding;
    const char* Default;   // as stored text
    SettingHolder Holder;
    SettingDefault DefaultKind = SettingDefault::AsWritten;
    SettingSaving Saving = SettingSaving::WithItsStruct;
};

// Rows of a store are read and written in table order. The order is the one
// the entries take in a new file, so it must not change. Not inline: the key
// constants it points at have internal linkage, so each unit keeps its copy.
constexpr SettingRow SettingsTable[] = {
    {LockPwdKey, SettingStore::ProfileLock, SettingEncoding::Text, "", &TLockSettings::LockPwd},
    {PictureKey, SettingStore::ProfileLock, SettingEncoding::Text, LogoFileName, &TLockSettings::Picture,
     SettingDefault::BesideProgram},
    {TimeOutKey, SettingStore::ProfileLock, SettingEncoding::Integer, "0", &TLockSettings::TimeOut},
    {PowerModeKey, SettingStore::ProfileLock, SettingEncoding::Integer, "0", &TLockSettings::PowerMode},
    {LockStyleKey, SettingStore::ProfileLock, SettingEncoding::Integer, "0", &TLockSettings::LockStyle},
    {ShutDownKey, SettingStore::ProfileLock, SettingEncoding::Flag, "0", &TLockSettings::ShutDown},
    {StartUpKey, SettingStore::ProfileLock, SettingEncoding::Flag, "0", &TLockSettings::StartUp},
    {LogFileKey, SettingStore::ProfileLock, SettingEncoding::Flag, "0", &TLockSettings::LogFile},
    {TextKey, SettingStore::ProfileLock, SettingEncoding::List, "", &TLockSettings::Text},

    {LeftTimeBoundKey, SettingStore::ProfileRestriction, SettingEncoding::TimeOfDay, "0",
     &TRestrictionSettings::LeftTimeBound},
    {RightTimeBoundKey, SettingStore::ProfileRestriction, SettingEncoding::TimeOfDay, "0",
     &TRestrictionSettings::RightTimeBound},
    {TimeLimitKey, SettingStore::ProfileRestriction, SettingEncoding::Flag, "0", &TRestrictionSettings::TimeLimit},
    {DurationDayKey, SettingStore::ProfileRestriction, SettingEncoding::Integer, "0",
     &TRestrictionSettings::DurationDay, SettingDefault::AsWritten, SettingSaving::Elsewhere},
    {DurationTickKey, SettingStore::ProfileRestriction, SettingEncoding::Integer, "0",
     &TRestrictionSettings::DurationTick, SettingDefault::AsWritten, SettingSaving::Elsewhere},
    {DurationHoursKey, SettingStore::ProfileRestriction, SettingEncoding::Integer, "0",
     &TRestrictionSettings::DurationHours},
    {DurationKey, SettingStore::ProfileRestriction, SettingEncoding::Flag, "0", &TRestrictionSettings::Duration},

    {HotKeyKey, SettingStore::Global, SettingEncoding::Integer, "0", &TGlobalSettings::HotKey},
    {APwdKey, SettingStore::Global, SettingEncoding::Text, "", &TGlobalSettings::APwd},
    {LUCfgKey, SettingStore::Global, SettingEncoding::Flag, "0", &TGlobalSettings::LUCfg},

    {BootKeysKey, SettingStore::BootFile, SettingEncoding::InvertedFlag, "1", &TBootOptions::BootKeysDisabled},
    {BootMenuKey, SettingStore::BootFile, SettingEncoding::Flag, "0", &TBootOptions::BootMenu},

    {MustBeValidatedValue, SettingStore::Registry, SettingEncoding::Dword, "0", std::monostate{}},
};

// What a holder points into and at.
template <class Holder>
struct HolderTraits {
    using Owner = void;
    using Value = void;
};
template <class Struct, class Member>
struct HolderTraits<Member Struct::*> {
    using Owner = Struct;
    using Value = Member;
};

namespace settings_table_checks {

template <class Struct>
constexpr SettingStore StoreOf()
{
    if constexpr (std::is_same_v<Struct, TLockSettings>) return SettingStore::ProfileLock;
    else if constexpr (std::is_same_v<Struct, TRestrictionSettings>) return SettingStore::ProfileRestriction;
    else if constexpr (std::is_same_v<Struct, TGlobalSettings>) return SettingStore::Global;
    else if constexpr (std::is_same_v<Struct, TBootOptions>) return SettingStore::BootFile;
    else return SettingStore::Registry;
}

template <class Value>
constexpr bool Encodes(SettingEncoding encoding)
{
    switch (encoding) {
    case SettingEncoding::Text: return std::is_same_v<Value, std::string>;
    case SettingEncoding::Flag:
    case SettingEncoding::InvertedFlag: return std::is_same_v<Value, bool>;
    case SettingEncoding::Integer: return std::is_same_v<Value, int32_t> || std::is_same_v<Value, uint16_t>;
    case SettingEncoding::TimeOfDay: return std::is_same_v<Value, double>;
    case SettingEncoding::List: return std::is_same_v<Value, TStrings>;
    case SettingEncoding::Dword: return std::is_void_v<Value>;
    }
    return false;
}

// The reader and writer pick their code by the holder's type, so a row whose
// encoding, store and member disagree would silently do the wrong thing.
constexpr bool RowIsConsistent(const SettingRow& row)
{
    return std::visit(
        [&row](auto holder) {
            using Traits = HolderTraits<decltype(holder)>;
            return StoreOf<typename Traits::Owner>() == row.Store && Encodes<typename Traits::Value>(row.Encoding);
        },
        row.Holder);
}

// The store matches keys ignoring ASCII case.
constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr bool SameKey(const char* a, const char* b)
{
    while (*a != '\0' && AsciiLower(*a) == AsciiLower(*b)) ++a, ++b;
    return AsciiLower(*a) == AsciiLower(*b);
}

// Both profile stores share one section, so their keys must differ too.
constexpr bool SharesSection(SettingStore a, SettingStore b)
{
    auto isProfile = [](SettingStore s) {
        return s == SettingStore::ProfileLock || s == SettingStore::ProfileRestriction;
    };
    return a == b || (isProfile(a) && isProfile(b));
}

template <std::size_t RowCount>
constexpr bool TableIsConsistent(const SettingRow (&table)[RowCount])
{
    for (const SettingRow& row : table) {
        if (!RowIsConsistent(row)) return false;
        if (row.DefaultKind == SettingDefault::BesideProgram && row.Encoding != SettingEncoding::Text) return false;
    }
    for (const SettingRow& a : table)
        for (const SettingRow& b : table) {
            if (&a == &b) continue;
            if (SharesSection(a.Store, b.Store) && SameKey(a.Key, b.Key)) return false;
            if (!std::holds_alternative<std::monostate>(a.Holder) && a.Holder == b.Holder) return false;
        }
    return true;
}

static_assert(TableIsConsistent(SettingsTable),
              "a settings row's encoding, store, holder or key does not fit or repeats");

}  // namespace settings_table_checks
