// Driving hvxw.exe's configuration window for the settings tests: reading controls that answer
// only into the program's own memory, picking the Admin page and a profile, answering its
// password prompts, and keeping the prefix-wide options (c:\msdos.sys, HKLM\Network\Logon) as
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

// The status bar's parts that tell the state; label parts lie between them.
enum StatusPart : int { ModifiedPart = 1, PasswordPart = 3, TimeLimitPart = 5, UserPart = 7 };

inline constexpr char DialogClass[] = "#32770";
inline constexpr char PromptCaption[] = "Halvex";
inline constexpr char AdminGateCaption[] = "Admin privilege checking";
inline constexpr char WarningCaption[] = "Warning";
inline constexpr char BootFile[] = "c:\\msdos.sys";
inline constexpr char BootFileTemporary[] = "c:\\msdos.$$$";
inline constexpr char NetworkKey[] = "Network";
inline constexpr char LogonKey[] = "Network\\Logon";
inline constexpr char MustBeValidated[] = "MustBeValidated";
inline constexpr int AdminTab = 3;
inline constexpr UINT AnswerTimeoutMilliseconds = 5000;

// --- Controls that answer through a pointer -------------------------------------------------

// Memory inside another process: the status bar, tab control and time picker write their
// answers through a pointer, which no process can pass into another's address space.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, SIZE_T size)
        : Process(process), Size(size),
          Address(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
    {
    }
    ~RemoteMemory()
    {
        if (Address) VirtualFreeEx(Process, Address, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    explicit operator bool() const { return Address != nullptr; }
    LPARAM Pointer() const { return reinterpret_cast<LPARAM>(Address); }
    bool Write(const void* data) const { return WriteProcessMemory(Process, Address, data, Size, nullptr) != FALSE; }
    bool Read(void* data) const { return ReadProcessMemory(Process, Address, data, Size, nullptr) != FALSE; }

private:
    HANDLE Process;
    SIZE_T Size;
    void* Address;
};

inline std::optional<LRESULT> Ask(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(control, message, wParam, lParam, SMTO_ABORTIFHUNG, AnswerTimeoutMilliseconds, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

// The control's answer to message, written into a Value in its own process.
template <class Value>
std::optional<Value> AskThroughMemory(RunningProgram& program, HWND control, UINT message, WPARAM wParam)
{
    Value value{};
    RemoteMemory memory(program.Program().Get(), sizeof value);
    if (!memory || !memory.Write(&value) || !Ask(control, message, wParam, memory.Pointer()) || !memory.Read(&value))
        return std::nullopt;
    return value;
}

// The text of one part of the status bar, without the tab that centres it.
inline std::string StatusText(RunningProgram& program, int part)
{
    HWND bar = program.Control(IdStatusBar);
    std::optional<LRESULT> length = Ask(bar, SB_GETTEXTLENGTHA, part, 0);
    if (!length) return "<no answer>";
    std::string text(LOWORD(*length) + 1, '\0');
    RemoteMemory memory(program.Program().Get(), text.size());
    if (!memory || !Ask(bar, SB_GETTEXTA, part, memory.Pointer()) || !memory.Read(text.data())) return "<no answer>";
    text.resize(LOWORD(*length));
    if (!text.empty() && text.front() == '\t') text.erase(0, 1);
    return text;
}

inline bool WaitForStatus(RunningProgram& program, int part, const std::string& expected,
                          CallSite at = CallSite::Here())
{
    if (PollUntil([&] { return StatusText(program, part) == expected; }, DefaultTimeout)) return true;
    ReportFailure(at, "status bar part " + std::to_string(part) + " reads \"" + StatusText(program, part) +
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

// Items of a drop-down list. Asked in UTF-16: Wine 8 answers CB_GETLBTEXTA from another
// process in UTF-16 too, so the ANSI message cannot be trusted across processes.
inline std::vector<std::string> ComboItems(HWND combo)
{
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        if (length < 0) continue;
        std::wstring wide(length + 1, L'\0');
        const LRESULT got = SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        wide.resize(got < 0 ? 0 : got);
        std::string item(wide.size() * 2 + 1, '\0');
        const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), item.data(),
                                              static_cast<int>(item.size()), nullptr, nullptr);
        item.resize(bytes < 0 ? 0 : bytes);
        items.push_back(item);
    }
    return items;
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
    program.PostRequest(0);
    if (!password.empty() && !AnswerPasswordDialog(program, PromptCaption, password, prompt, at)) return false;
    return WaitForVisible(program.Window(), DefaultTimeout, at) && program.Settle();
}

// A click on a tab of the page control. The selection notification the window acts on is
// sent by the tab control itself only for a click, so the click is posted at the tab's middle.
inline bool ClickTab(RunningProgram& program, int index, CallSite at = CallSite::Here())
{
    HWND tabs = program.Control(IdPageControl);
    std::optional<RECT> tab = AskThroughMemory<RECT>(program, tabs, TCM_GETITEMRECT, index);
    if (!tab || tab->right <= tab->left) {
        ReportFailure(at, "the page control gives no rectangle for tab " + std::to_string(index));
        return false;
    }
    const LPARAM middle = MAKELPARAM((tab->left + tab->right) / 2, (tab->top + tab->bottom) / 2);
    PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageA(tabs, WM_LBUTTONUP, 0, middle);
    return true;
}

// Opens the Admin page, answering the admin password check when there is an admin password.
inline bool PassAdminGate(RunningProgram& program, const std::string& adminPassword, CallSite at = CallSite::Here())
{
    if (!ClickTab(program, AdminTab, at)) return false;
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
