// What the tests of hvxw.exe share: starting it in a folder of its own with a
// prepared settings file, finding its windows and controls, and speaking to
// it as another program would.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "core/win32/MainFormIds.h"
#include "harness/Harness.h"
#include "settings/DStorage.h"

namespace halvex_test {

constexpr char ProgramName[] = "hvxw.exe";
constexpr char SettingsName[] = "Halvex.dat";

// One setting: section, key, value; lists go through WriteStrings.
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

    // Waits until everything posted so far has been handled.
    bool Settle() const
    {
        DWORD_PTR ignored;
        return SendMessageTimeoutA(MainWindow, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored) != 0;
    }

private:
    harness::Process Process;
    HWND MainWindow = nullptr;
};

}  // namespace halvex_test
