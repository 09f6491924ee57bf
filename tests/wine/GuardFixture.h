// hvxw.exe kept running by the guard service, as the installer registers it, for the tests
// and the measuring tool: the program's process, its lock window, and ending it by id.
#pragma once

#include <windows.h>

#include <string>

#include "LockScreenFixture.h"
#include "guard/GuardNames.h"

namespace halvex_test {

constexpr char GuardExe[] = "hvxguard.exe";
constexpr char GuardLog[] = "hvxguard.log";
// The program is back within this after it was ended (the target is 1 s; the rest is room).
constexpr harness::Timeout BackWithin{3000};

// The process of the program's configuration window, if one exists other than `not`.
inline DWORD ProgramProcess(DWORD not_ = 0)
{
    for (HWND window : harness::FindTopWindows(harness::WindowQuery::OfClass(MainFormClass))) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        if (id != not_) return id;
    }
    return 0;
}

// The program has read its settings and answers messages.
inline bool RunningProgramSettled(DWORD processId)
{
    HWND main = harness::FindTopWindow(harness::WindowQuery::OfClass(MainFormClass).InProcess(processId));
    DWORD_PTR ignored = 0;
    return main && SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

inline HWND VisibleLockOf(DWORD processId)
{
    for (HWND window : harness::FindTopWindows(harness::WindowQuery::OfClass(LockFormClass).InProcess(processId)))
        if (IsWindowVisible(window)) return window;
    return nullptr;
}

// Another program of the guarded one once it is back with its lock window up; 0 on timeout.
inline DWORD WaitForLockedProgram(DWORD ended, harness::Timeout timeout)
{
    DWORD next = 0;
    return harness::PollUntil([&] { return (next = ProgramProcess(ended)) != 0 && VisibleLockOf(next); }, timeout)
               ? next
               : 0;
}

inline bool Kill(DWORD processId)
{
    UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process || !TerminateProcess(process.Get(), 1)) return false;
    return WaitForSingleObject(process.Get(), 5000) == WAIT_OBJECT_0;
}



// hvxw.exe and the guard in a folder of their own, the guard registered as the installer
// does it; removed again, and the program it started ended, when the test ends.
class GuardedProgram {
public:
    explicit GuardedProgram(const LockSettings& settings = {}, harness::CallSite at = harness::CallSite::Here())
    {
        WriteLockSettings(Folder, settings);
        Installed = Folder.CopyIn(harness::JoinPath(harness::ExeDir(), ProgramName), "", at) &&
                    Folder.CopyIn(harness::JoinPath(harness::ExeDir(), GuardExe), "", at) && RunGuard("/install \"" + ProgramPath() + "\"", at);
    }
    ~GuardedProgram()
    {
        RunGuard("/uninstall");
        if (DWORD id = ProgramProcess()) Kill(id);
    }
    GuardedProgram(const GuardedProgram&) = delete;
    GuardedProgram& operator=(const GuardedProgram&) = delete;

    bool IsInstalled() const { return Installed; }
    const harness::AppDir& Dir() const { return Folder; }
    std::string ProgramPath() const { return Folder.PathOf(ProgramName); }
    std::string Log() const { return Folder.ReadFile(GuardLog).value_or(""); }

    // The program the guard started, once its configuration window exists; 0 on timeout.
    DWORD WaitForProgram(DWORD other = 0, harness::Timeout timeout = BackWithin, harness::CallSite at = harness::CallSite::Here()) const
    {
        DWORD id = 0;
        harness::WaitUntil([&] { return (id = ProgramProcess(other)) != 0; }, timeout, "the guarded program", at);
        return id;
    }

    bool RunGuard(const std::string& arguments, harness::CallSite at = harness::CallSite::Here()) const
    {
        harness::Process guard = harness::Process::Start(Folder.PathOf(GuardExe), arguments, Folder.Path(), at);
        if (!guard.WaitForExit(harness::Timeout{20000}, at)) return false;
        if (guard.ExitCode() == std::optional<DWORD>(0)) return true;
        harness::ReportFailure(at, "hvxguard.exe " + arguments + " failed:\n" + Log());
        return false;
    }

private:
    harness::AppDir Folder;
    bool Installed = false;
};

// Asks the program for a lock and waits for the lock window in front.
inline HWND LockAndWait(DWORD processId)
{
    HWND main = harness::FindTopWindow(harness::WindowQuery::OfClass(MainFormClass).InProcess(processId));
    if (!main) return nullptr;
    PostMessageA(main, HalvexMessage(), LockRequest, 0);
    HWND form = nullptr;
    harness::WaitUntil([&] { return (form = VisibleLockOf(processId)) != nullptr; }, harness::DefaultTimeout, "the lock window");
    return form;
}

}  // namespace halvex_test
