// A program a test started: owns its handles, reads its exit code, waits for its end with a
// deadline, and ends it when the test leaves it running (only that process, never by name).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "harness/CallSite.h"
#include "harness/Wait.h"
#include "platform/UniqueHandle.h"

namespace harness {

class AppDir;

class Process {
public:
    // The exit code of a process the harness had to end.
    static constexpr DWORD EndedByHarness = 0xE4D;

    Process() = default;
    ~Process() { End(); }
    Process(Process&&) = default;
    Process& operator=(Process&& other) noexcept;

    // Starts exePath with arguments in workingFolder; a failure to start fails the test.
    static Process Start(const std::string& exePath, const std::string& arguments, const std::string& workingFolder,
                         CallSite at = CallSite::Here());

    bool IsStarted() const { return static_cast<bool>(Handle); }
    DWORD Id() const { return ProcessId; }
    HANDLE Get() const { return Handle.Get(); }
    const std::string& Name() const { return ExeName; }

    bool IsRunning() const;
    // nullopt while it runs (an exit code of 259, STILL_ACTIVE, is still told apart).
    std::optional<DWORD> ExitCode() const;
    // True once it has ended; on timeout a test failure.
    bool WaitForExit(Timeout timeout = DefaultTimeout, CallSite at = CallSite::Here()) const;
    // Ends it with EndedByHarness if it still runs, and waits until it has.
    void End();

private:
    UniqueKernelHandle Handle;
    DWORD ProcessId = 0;
    std::string ExeName;
};

// Copies <ExeDir>\program into the AppDir (unless it is there already) and starts that copy
// with the AppDir as its working folder, as the program would run from its own folder.
Process StartInAppDir(const AppDir& dir, const std::string& program, const std::string& arguments = "",
                      CallSite at = CallSite::Here());

}  // namespace harness
