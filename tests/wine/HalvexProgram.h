// What the tests of hvxw.exe share: starting it in a folder of its own with a
// prepared settings file, finding its windows and controls, and speaking to
// it as another program would.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/win32/MainFormIds.h"
#include "harness/Harness.h"
#include "settings/DStorage.h"

namespace halvex_test {

constexpr char ProgramName[] = "hvxw.exe";
constexpr char SettingsName[] = "Halvex.dat";

// One setting: section, key, value (lists: TDStorage::WriteStrings directly).
struct Entry {
    std::string Section, Key, Value;
};

inline void WriteSettings(const harness::AppDir& dir, const std::vector<Entry>& entries)
{
    TDStorage storage(dir.PathOf(SettingsName), true);
    for (const Entry& entry : entries) storage.WriteString(entry.Section, entry.Key, entry.Value);
}

inline std::string ReadSetting(const harness::AppDir& dir, const std::string& section, const std::string& key)
{
    TDStorage storage(dir.PathOf(SettingsName), true);
    std::string value;
    return storage.ReadString(section, key, value) ? value : "<missing>";
}

inline UINT HalvexMessage()
{
    return RegisterWindowMessageA("Hvxms01");
}

// The requests of "Hvxms01" (its wParam), as another program sends them.
enum HalvexRequestNumber : WPARAM { ShowRequest = 0, LockRequest = 1, AboutRequest = 2 };

inline bool MutexExists(const char* name)
{
    HANDLE mutex = OpenMutexA(0x1F0001, FALSE, name);
    if (!mutex) return false;
    CloseHandle(mutex);
    return true;
}

// The logged-on user, as the program's profile list spells it under Wine.
inline std::string LogonUser()
{
    char name[256] = {};
    DWORD size = sizeof name;
    GetUserNameA(name, &size);
    return name;
}

// Whether the program's tray icon exists, seen from outside: only an existing icon can be modified.
inline bool HasTrayIcon(HWND mainWindow)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = mainWindow;
    data.uID = 1;
    data.uFlags = NIF_TIP;
    lstrcpyA(data.szTip, "Halvex");
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

// A running hvxw.exe and its configuration window.
class RunningProgram {
public:
    explicit RunningProgram(const harness::AppDir& dir, const std::string& arguments = "",
                            harness::CallSite at = harness::CallSite::Here())
        : Process(harness::StartInAppDir(dir, ProgramName, arguments, at))
    {
        MainWindow = harness::WaitForTopWindow(
            harness::WindowQuery::OfClass(MainFormClass).InProcess(Process.Id()), harness::DefaultTimeout, at);
        // The settings are loaded and the first tick has run once the window exists and the
        // process answers messages.
        if (MainWindow) {
            DWORD_PTR ignored;
            SendMessageTimeoutA(MainWindow, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
        }
    }

    HWND Window() const { return MainWindow; }
    harness::Process& Program() { return Process; }
    HANDLE ProcessHandle() const { return Process.Get(); }
    DWORD Id() const { return Process.Id(); }

    // A control of the configuration window, on whichever page it is.
    HWND Control(int id) const
    {
        for (HWND page = GetWindow(MainWindow, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
            if (HWND control = GetDlgItem(page, id)) return control;
        return GetDlgItem(MainWindow, id);
    }
    HWND Page(int id) const { return GetDlgItem(MainWindow, id); }

    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        PostMessageA(MainWindow, message, wParam, lParam);
    }
    void PostRequest(WPARAM request) const { Post(HalvexMessage(), request, 0); }
    void Command(int command) const { Post(WM_COMMAND, MAKEWPARAM(command, 0), 0); }

    // Waits until everything posted so far has been handled: a message posted
    // after them is seen last. The log page's memo carries the mark in its text
    // limit, which nothing else uses (its text is only ever set whole).
    bool Settle() const
    {
        HWND memo = Control(IdLogFileMemo);
        LPARAM mark = 0x40000000 + static_cast<LPARAM>(++Marks);
        PostMessageA(memo, EM_SETLIMITTEXT, static_cast<WPARAM>(mark), 0);
        return harness::WaitUntil(
            [&] {
                DWORD_PTR limit = 0;
                return SendMessageTimeoutA(memo, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 5000, &limit) &&
                       static_cast<LPARAM>(limit) == mark;
            },
            harness::DefaultTimeout, "the program to handle what was posted to it");
    }

private:
    harness::Process Process;
    HWND MainWindow = nullptr;
    mutable int Marks = 0;
};

constexpr char DialogClass[] = "#32770";

// A password prompt of the program: its caption, answered with text and OK.
inline HWND WaitForPrompt(const std::string& caption, DWORD processId,
                          harness::Timeout timeout = harness::DefaultTimeout,
                          harness::CallSite at = harness::CallSite::Here())
{
    HWND prompt = harness::WaitForTopWindow(
        harness::WindowQuery::OfClass(DialogClass).WithTitle(caption).InProcess(processId), timeout, at);
    if (prompt) harness::WaitForVisible(prompt, timeout, at);
    return prompt;
}

// An empty answer is OK pressed without typing anything.
inline void AnswerPrompt(HWND prompt, const std::string& password, harness::CallSite at = harness::CallSite::Here())
{
    if (!password.empty()) harness::SetText(GetDlgItem(prompt, 101), password, at);
    harness::Click(GetDlgItem(prompt, IDOK), at);
}

// --- Controls that answer through a pointer ----------------------------------------------

constexpr UINT AnswerTimeoutMilliseconds = 5000;

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
std::optional<Value> AskThroughMemory(const RunningProgram& program, HWND control, UINT message, WPARAM wParam)
{
    Value value{};
    RemoteMemory memory(program.ProcessHandle(), sizeof value);
    if (!memory || !memory.Write(&value) || !Ask(control, message, wParam, memory.Pointer()) || !memory.Read(&value))
        return std::nullopt;
    return value;
}

// The text of one field of the status bar, without the tab that centres it.
inline std::string StatusText(const RunningProgram& program, int field)
{
    HWND bar = program.Control(IdStatusBar);
    std::optional<LRESULT> length = Ask(bar, SB_GETTEXTLENGTHA, field, 0);
    if (!length) return "<no answer>";
    std::string text(LOWORD(*length) + 1, '\0');
    RemoteMemory memory(program.ProcessHandle(), text.size());
    if (!memory || !Ask(bar, SB_GETTEXTA, field, memory.Pointer()) || !memory.Read(text.data())) return "<no answer>";
    text.resize(LOWORD(*length));
    if (!text.empty() && text.front() == '\t') text.erase(0, 1);
    return text;
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

// A click on a tab of the page control. The selection notification the window acts on is
// sent by the tab control itself only for a click, so the click is posted at the tab's middle.
inline bool ClickPageTab(const RunningProgram& program, int index, harness::CallSite at = harness::CallSite::Here())
{
    HWND tabs = program.Control(IdPageControl);
    std::optional<RECT> tab = AskThroughMemory<RECT>(program, tabs, TCM_GETITEMRECT, index);
    if (!tab || tab->right <= tab->left) {
        harness::ReportFailure(at, "the page control gives no rectangle for tab " + std::to_string(index));
        return false;
    }
    const LPARAM middle = MAKELPARAM((tab->left + tab->right) / 2, (tab->top + tab->bottom) / 2);
    PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageA(tabs, WM_LBUTTONUP, 0, middle);
    return true;
}

}  // namespace halvex_test
