// The program runs as the user, never as the service: a program started as SYSTEM on
// the user's desktop would hand its rights to whoever sits there.
#include "guard/win32/ProgramStarter.h"

#include <userenv.h>
#include <wtsapi32.h>

#include "guard/win32/SecurityAttributes.h"

namespace {

constexpr char InteractiveDesktop[] = "winsta0\\default";
// The program's process and first thread: the user may wait on them and look them up, but not
// end, suspend, debug or inject into them, nor change that (the owner is SYSTEM); only SYSTEM
// and administrators may. Ending it is still no way past a lock, but no longer a cheap one.
// Process: SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION. Thread: SYNCHRONIZE |
// THREAD_QUERY_LIMITED_INFORMATION.
constexpr char ProcessSecurity[] = "O:SYD:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00101000;;;IU)";
constexpr char ThreadSecurity[] = "O:SYD:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100800;;;IU)";

std::string Failed(const char* call)
{
    return std::string(call) + " failed (error " + std::to_string(GetLastError()) + ")";
}

class TEnvironment {
public:
    explicit TEnvironment(HANDLE token)
    {
        if (!CreateEnvironmentBlock(&Block, token, FALSE)) Block = nullptr;
    }
    ~TEnvironment()
    {
        if (Block) DestroyEnvironmentBlock(Block);
    }
    TEnvironment(const TEnvironment&) = delete;
    TEnvironment& operator=(const TEnvironment&) = delete;
    void* Get() const { return Block; }

private:
    void* Block = nullptr;
};

}  // namespace

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

TStarted StartInActiveSession(const std::string& program, const std::function<void(DWORD processId)>& beforeItRuns)
{
    const std::string folder = FolderOf(program);
    TStarted started;
    DWORD session = WTSGetActiveConsoleSessionId();
    if (session == 0xFFFFFFFF) {
        started.Failure = "no console session";
        return started;
    }
    HANDLE rawToken = nullptr;
    if (!WTSQueryUserToken(session, &rawToken)) {
        started.Failure = Failed("WTSQueryUserToken");
        return started;
    }
    UniqueKernelHandle token(rawToken);
    TEnvironment environment(token.Get());

    std::string commandLine = "\"" + program + "\"";
    char desktop[sizeof InteractiveDesktop];
    lstrcpyA(desktop, InteractiveDesktop);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktop;
    PROCESS_INFORMATION process = {};
    DWORD flags = CREATE_NEW_PROCESS_GROUP | CREATE_SUSPENDED | (environment.Get() ? CREATE_UNICODE_ENVIRONMENT : 0);
    TSecurityAttributes ofProcess(ProcessSecurity), ofThread(ThreadSecurity);
    auto create = [&](SECURITY_ATTRIBUTES* processSecurity, SECURITY_ATTRIBUTES* threadSecurity) {
        return CreateProcessAsUserA(token.Get(), program.c_str(), commandLine.data(), processSecurity, threadSecurity,
                                    TRUE, flags, environment.Get(), folder.c_str(), &startup, &process);
    };
    if (!create(ofProcess.Get(), ofThread.Get())) {
        // Only a descriptor the system refuses may cost the protection, never the program itself.
        DWORD error = GetLastError();
        bool refusedDescriptor = error == ERROR_INVALID_SECURITY_DESCR || error == ERROR_INVALID_OWNER ||
                                 error == ERROR_ACCESS_DENIED || error == ERROR_PRIVILEGE_NOT_HELD;
        if (!refusedDescriptor || !create(nullptr, nullptr)) {
            SetLastError(error);
            started.Failure = Failed("CreateProcessAsUserA");
            return started;
        }
        started.Warning = "started without its own security (error " + std::to_string(error) +
                          "): the user may end it";
    }
    UniqueKernelHandle thread(process.hThread);
    started.Process.Reset(process.hProcess);
    started.Session = session;
    beforeItRuns(process.dwProcessId);
    ResumeThread(thread.Get());
    return started;
}
