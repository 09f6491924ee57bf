// Driving hvxw.exe's configuration window for the settings tests: waiting for its status,
// picking the Admin page and a profile, answering its password prompts, and keeping the prefix-wide options (c:\msdos.sys, HKLM\Network\Logon) as
// they were before the test.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "HalvexProgram.h"
#include "activation/win32/MixDlg.h"
#include "platform/UniqueHandle.h"
#include "settings/StorageFormat.h"

namespace main_settings {

using namespace harness;
using namespace halvex_test;

// The status bar's fields that tell the state; label fields lie between them.
enum StatusPart : int { ModifiedPart = 1, PasswordPart = 3, TimeLimitPart = 5, UserPart = 7 };

inline constexpr char PromptCaption[] = "Halvex";
inline constexpr char AdminGateCaption[] = "Admin privilege checking";
inline constexpr char WarningCaption[] = "Warning";
inline constexpr char BootFile[] = "c:\\msdos.sys";
inline constexpr char BootFileTemporary[] = "c:\\msdos.$$$";
inline constexpr char NetworkKey[] = "Network";
inline constexpr char LogonKey[] = "Network\\Logon";
inline constexpr char MustBeValidated[] = "MustBeValidated";
inline constexpr int AdminTab = 3;

inline bool WaitForStatus(RunningProgram& program, int field, const std::string& expected,
                          CallSite at = CallSite::Here())
{
    if (PollUntil([&] { return StatusText(program, field) == expected; }, DefaultTimeout)) return true;
    ReportFailure(at, "status bar field " + std::to_string(field) + " reads \"" + StatusText(program, field) +
                          "\", not \"" + expected + "\"");
    return false;
}

// "hh:mm:ss" of a time picker.
inline std::string PickerText(RunningProgram& program, int id)
{
    std::optional<SYSTEMTIME> time = AskThroughMemory<SYSTEMTIME>(program, program.Control(id), DTM_GETSYSTEMTIME, 0);
    if (!time) return "<no answer>";
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", time->wHour, time->wMinute, time->wSecond);
    return text;
}

inline bool IsChecked(HWND button)
{
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// --- Acting as the user -----------------------------------------------------------------------

// Clicks a button and waits until the window counts the settings as modified.
inline bool ClickToModify(RunningProgram& program, int id, CallSite at = CallSite::Here())
{
    return Click(program.Control(id), at) && WaitForStatus(program, ModifiedPart, "Yes", at);
}

// Posts a command and waits until it has run: Apply and Cancel both end with nothing modified.
inline bool RunSettingsCommand(RunningProgram& program, int command, CallSite at = CallSite::Here())
{
    program.Command(command);
    return WaitForStatus(program, ModifiedPart, "No", at) && program.Settle();
}

// Types the password into the program's password dialog of that caption and presses OK; when
// a prompt is given, the dialog must show it.
inline bool AnswerPasswordDialog(RunningProgram& program, const std::string& caption, const std::string& password,
                                 const std::string& prompt = "", CallSite at = CallSite::Here())
{
    HWND dialog = WaitForTopWindow(WindowQuery::OfClass(DialogClass).WithTitle(caption).InProcess(program.Id()),
                                   DefaultTimeout, at);
    if (!dialog || !WaitForVisible(dialog, DefaultTimeout, at)) return false;
    if (!prompt.empty() && !FindControl(dialog, ControlQuery::WithText(prompt)))
        ReportFailure(at, "the dialog \"" + caption + "\" does not ask \"" + prompt + "\"");
    return SetText(GetDlgItem(dialog, PasswordEdit1Id), password, at) && Click(GetDlgItem(dialog, IDOK), at) &&
           WaitForDestroyed(dialog, DefaultTimeout, at);
}

// Shows the configuration window as the registered message asks; a set password is asked first.
inline bool ShowConfiguration(RunningProgram& program, const std::string& password = "",
                              const std::string& prompt = "", CallSite at = CallSite::Here())
{
    program.PostRequest(ShowRequest);
    if (!password.empty() && !AnswerPasswordDialog(program, PromptCaption, password, prompt, at)) return false;
    return WaitForVisible(program.Window(), DefaultTimeout, at) && program.Settle();
}

// Opens the Admin page, answering the admin password check when there is an admin password.
inline bool PassAdminGate(RunningProgram& program, const std::string& adminPassword, CallSite at = CallSite::Here())
{
    if (!ClickPageTab(program, AdminTab, at)) return false;
    if (!adminPassword.empty() && !AnswerPasswordDialog(program, AdminGateCaption, adminPassword, "", at))
        return false;
    HWND page = program.Page(IdAdminPage);
    return WaitUntil([&] { return IsWindowEnabled(page) && IsWindowVisible(page); }, DefaultTimeout,
                     "the Admin page enabled and shown", at);
}

// Picks a profile in the Admin page's list: the selection, then the notification with which
// the list reports a user's pick to its page.
inline bool SelectProfile(RunningProgram& program, const std::string& profile, CallSite at = CallSite::Here())
{
    HWND combo = program.Control(IdUsersComboBox);
    const std::vector<std::string> items = ComboItems(combo);
    int index = -1;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == profile) index = static_cast<int>(i);
    if (index < 0) {
        ReportFailure(at, "the profile list holds no \"" + profile + "\"");
        return false;
    }
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    PostMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(IdUsersComboBox, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    HWND restriction = program.Control(IdDurationCheckBox);
    return WaitUntil([&] { return IsWindowEnabled(restriction) != FALSE; }, DefaultTimeout,
                     "the restriction of \"" + profile + "\" open for editing", at) &&
           program.Settle();
}

// No message box or dialog of the program is open.
inline bool ShowsNoBox(const RunningProgram& program)
{
    return FindTopWindow(WindowQuery::OfClass(DialogClass).InProcess(program.Id())) == nullptr;
}

// --- Files ------------------------------------------------------------------------------------

inline std::optional<std::string> ReadWholeFile(const std::string& path)
{
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    std::string content;
    char buffer[16384];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
    return content;
}

inline bool WriteWholeFile(const std::string& path, const std::string& content)
{
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    DWORD put = 0;
    return file && WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &put, nullptr) &&
           put == content.size();
}

inline void WriteSettingLines(const AppDir& dir, const std::string& section, const std::string& key,
                              const TStrings& lines)
{
    TDStorage storage(dir.PathOf(SettingsName), true);
    storage.WriteStrings(section, key, lines);
}

inline TStrings ReadSettingLines(const AppDir& dir, const std::string& section, const std::string& key)
{
    TDStorage storage(dir.PathOf(SettingsName), true);
    TStrings lines;
    storage.ReadStrings(section, key, lines);
    return lines;
}

// A settings file of exactly these lines, scrambled as the store writes them.
inline std::string ScrambledLines(const std::vector<std::string>& lines)
{
    std::string content;
    for (const std::string& line : lines) storage::AppendScrambledLine(content, line);
    return content;
}

// The lines of one section as stored (header excluded), read the way the store reads them.
inline std::vector<std::string> SectionLines(const std::string& content, bool scrambled, const std::string& section)
{
    std::vector<std::string> lines;
    storage::LineReader reader(content, scrambled);
    bool inSection = false;
    std::string line;
    while (reader.Next(line)) {
        if (storage::IsSectionHeader(line)) {
            inSection = storage::SameName(storage::SectionNameOf(storage::Trim(line)), section);
            continue;
        }
        if (inSection) lines.push_back(line);
    }
    return lines;
}

// Bytes that no settings file or picture format expects, the same in every run.
inline std::string NoiseBytes(size_t count, unsigned seed)
{
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes;
    for (size_t i = 0; i < count; ++i) bytes += static_cast<char>(byte(generator));
    return bytes;
}

// --- The prefix-wide system options ---------------------------------------------------------

inline std::optional<DWORD> ReadMustBeValidated()
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, LogonKey, 0, KEY_READ, &opened) != ERROR_SUCCESS) return std::nullopt;
    UniqueKey key(opened);
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExA(key.Get(), MustBeValidated, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

inline bool WriteMustBeValidated(DWORD value)
{
    HKEY created = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, LogonKey, 0, nullptr, 0, KEY_WRITE, nullptr, &created, nullptr) !=
        ERROR_SUCCESS)
        return false;
    UniqueKey key(created);
    return RegSetValueExA(key.Get(), MustBeValidated, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

inline bool KeyExists(const char* path)
{
    HKEY opened = nullptr;
    const bool exists = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &opened) == ERROR_SUCCESS;
    UniqueKey key(opened);
    return exists;
}

// The run's suites share one prefix, and every start of the program creates c:\msdos.sys, an
// Apply with the Admin page open HKLM\Network\Logon: what was there before is put back.
class SystemOptionsGuard {
public:
    SystemOptionsGuard()
        : SavedBootFile(ReadWholeFile(BootFile)), HadBootTemporary(FileExists(BootFileTemporary)),
          HadNetworkKey(KeyExists(NetworkKey)), HadLogonKey(KeyExists(LogonKey)),
          SavedMustBeValidated(ReadMustBeValidated())
    {
    }
    ~SystemOptionsGuard()
    {
        RestoreBootFile();
        RestoreLogonKey();
    }
    SystemOptionsGuard(const SystemOptionsGuard&) = delete;
    SystemOptionsGuard& operator=(const SystemOptionsGuard&) = delete;

private:
    static bool FileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

    void RestoreBootFile() const
    {
        const DWORD attributes = GetFileAttributesA(BootFile);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            RemoveDirectoryA(BootFile);
        else if (attributes != INVALID_FILE_ATTRIBUTES)
            SetFileAttributesA(BootFile, FILE_ATTRIBUTE_NORMAL);
        if (SavedBootFile)
            WriteWholeFile(BootFile, *SavedBootFile);
        else
            DeleteFileA(BootFile);
        if (!HadBootTemporary) DeleteFileA(BootFileTemporary);
    }

    void RestoreLogonKey() const
    {
        if (!HadLogonKey) {
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, LogonKey);
            if (!HadNetworkKey) RegDeleteKeyA(HKEY_LOCAL_MACHINE, NetworkKey);
            return;
        }
        if (SavedMustBeValidated) {
            WriteMustBeValidated(*SavedMustBeValidated);
            return;
        }
        HKEY opened = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, LogonKey, 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS) return;
        UniqueKey key(opened);
        RegDeleteValueA(key.Get(), MustBeValidated);
    }

    std::optional<std::string> SavedBootFile;
    bool HadBootTemporary;
    bool HadNetworkKey;
    bool HadLogonKey;
    std::optional<DWORD> SavedMustBeValidated;
};

}  // namespace main_settings
