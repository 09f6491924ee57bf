// The program runs as the user, never as the service: a program started as SYSTEM on
// the user's desktop would hand its rights to whoever sits there.
#include "guard/win32/ProgramStarter.h"

#include <userenv.h>
#include <wtsapi32.h>

namespace {

constexpr char InteractiveDesktop[] = "winsta0\\default";

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

TStarted StartInActiveSession(const std::string& program)
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
    DWORD flags = CREATE_NEW_PROCESS_GROUP | (environment.Get() ? CREATE_UNICODE_ENVIRONMENT : 0);
    if (!CreateProcessAsUserA(token.Get(), program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags,
                              environment.Get(), folder.c_str(), &startup, &process)) {
        started.Failure = Failed("CreateProcessAsUserA");
        return started;
    }
    CloseHandle(process.hThread);
    started.Process.Reset(process.hProcess);
    return started;
}
