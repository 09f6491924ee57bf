// For scripts/measure-lock.sh, a yardstick: the body of a lock loop pass that never waits
// (the shell windows hidden, every pending message dispatched, the foreground read), run
// without a lock window until the script has read this process's processor time. It
// writes <folder>\spin.want once it spins and stops when <folder>\spin.done appears.
//
// lock_spin.exe <folder>
#include <windows.h>

#include <cstdio>
#include <string>

#include "harness/AppDir.h"
#include "lockscreen/win32/ShellWindows.h"

namespace {

// Longer than the script ever measures; only a script that died leaves it to expire.
constexpr ULONGLONG LongestSpinMs = 120000;
constexpr ULONGLONG HandshakeCheckMs = 100;

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    std::string want = harness::JoinPath(argv[1], "spin.want");
    std::string done = harness::JoinPath(argv[1], "spin.done");
    if (FILE* file = std::fopen(want.c_str(), "w")) std::fclose(file);
    ULONGLONG start = GetTickCount64(), lastCheck = start;
    unsigned long long passes = 0;
    for (;;) {
        HideShellWindows();
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        GetForegroundWindow();
        ++passes;
        ULONGLONG now = GetTickCount64();
        if (now - lastCheck < HandshakeCheckMs) continue;
        lastCheck = now;
        if (Exists(done) || now - start > LongestSpinMs) break;
    }
    std::printf("lock_spin.exe: %llu passes in %.1f s\n", passes, static_cast<double>(GetTickCount64() - start) / 1000);
    return 0;
}
