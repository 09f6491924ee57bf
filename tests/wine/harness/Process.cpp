// Starting, watching and ending the processes of a test.
#include "harness/Process.h"

#include <vector>

#include "harness/AppDir.h"
#include "harness/SystemError.h"
#include "harness/TopWindows.h"

namespace harness {

namespace {

// Ending is immediate on Windows; under Wine it still takes a round trip to the wineserver.
constexpr DWORD EndWaitMilliseconds = 10000;

std::string FileNameOf(const std::string& path)
{
    auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

Process& Process::operator=(Process&& other) noexcept
{
    if (this != &other) {
        End();
        Handle = std::move(other.Handle);
        ProcessId = other.ProcessId;
        ExeName = std::move(other.ExeName);
    }
    return *this;
}

Process Process::Start(const std::string& exePath, const std::string& arguments, const std::string& workingFolder,
                       CallSite at)
{
    std::string commandLine = "\"" + exePath + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    Process process;
    if (!CreateProcessA(exePath.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &started)) {
        ReportFailure(at, "Cannot start " + commandLine + " in " + workingFolder + ": " + DescribeLastError());
        return process;
    }
    UniqueKernelHandle thread(started.hThread);
    process.Handle = UniqueKernelHandle(started.hProcess);
    process.ProcessId = started.dwProcessId;
    process.ExeName = FileNameOf(exePath);
    return process;
}

bool Process::IsRunning() const
{
    return Handle && WaitForSingleObject(Handle.Get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::ExitCode() const
{
    DWORD code = 0;
    if (!Handle || IsRunning() || !GetExitCodeProcess(Handle.Get(), &code)) return std::nullopt;
    return code;
}

bool Process::WaitForExit(Timeout timeout, CallSite at) const
{
    if (!Handle) {
        ReportFailure(at, "Waiting for the end of a process that was never started");
        return false;
    }
    return WaitUntil([this] { return !IsRunning(); }, timeout, "the end of " + ExeName + " (process " +
                                                                   std::to_string(ProcessId) + ")", at);
}

void Process::End()
{
    if (!IsRunning()) return;
    TerminateProcess(Handle.Get(), EndedByHarness);
    WaitForSingleObject(Handle.Get(), EndWaitMilliseconds);
    // Wine removes an ended process's windows a moment later; the next test must not meet them.
    WindowQuery itsWindows;
    itsWindows.ProcessId = ProcessId;
    PollUntil([&] { return FindTopWindows(itsWindows).empty(); }, Timeout(EndWaitMilliseconds));
}

Process StartInAppDir(const AppDir& dir, const std::string& program, const std::string& arguments, CallSite at)
{
    if (dir.Path().empty()) {
        ReportFailure(at, "Cannot start " + program + ": its AppDir was not made");
        return Process();
    }
    if (!dir.Contains(program) && !dir.CopyIn(JoinPath(ExeDir(), program), program, at)) return Process();
    return Process::Start(dir.PathOf(program), arguments, dir.Path(), at);
}

}  // namespace harness
