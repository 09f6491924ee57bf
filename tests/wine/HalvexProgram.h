// What the tests of hvxw.exe share: starting it in a folder of its own with a
// prepared settings file, finding its windows and controls, and speaking to
// it as another program would.
#pragma once

#include <windows.h>
#include <commctrl.h>

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

// The text of one part of the status bar, without the tab that centres it.
inline std::string StatusText(const RunningProgram& program, int part)
{
    HWND bar = GetDlgItem(program.Window(), IdStatusBar);
    std::string text = harness::GetText(bar);   // part 0 only; the others need SB_GETTEXT
    DWORD processId = program.Id();
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return text;
    void* remote = VirtualAllocEx(process, nullptr, 512, MEM_COMMIT, PAGE_READWRITE);
    char buffer[512] = {};
    if (remote) {
        DWORD_PTR ignored;
        SendMessageTimeoutA(bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(remote),
                            SMTO_NORMAL, 5000, &ignored);
        SIZE_T read = 0;
        ReadProcessMemory(process, remote, buffer, sizeof buffer - 1, &read);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    text = buffer;
    if (!text.empty() && text[0] == '\t') text.erase(0, 1);
    return text;
}

// A tab of the page control clicked as a user would, with the mouse message
// the control itself handles; the Admin tab then runs its password gate.
inline void ClickPageTab(const RunningProgram& program, int index)
{
    HWND tabs = GetDlgItem(program.Window(), IdPageControl);
    RECT rect = {};
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, program.Id());
    if (!process) return;
    void* remote = VirtualAllocEx(process, nullptr, sizeof rect, MEM_COMMIT, PAGE_READWRITE);
    if (remote) {
        DWORD_PTR ignored;
        SendMessageTimeoutA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote),
                            SMTO_NORMAL, 5000, &ignored);
        SIZE_T read = 0;
        ReadProcessMemory(process, remote, &rect, sizeof rect, &read);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(tabs, WM_LBUTTONUP, 0, point);
}

}  // namespace halvex_test
