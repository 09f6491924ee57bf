// Measures the guard service for scripts/measure-guard.sh and prints the figures: how long
// the lock is absent when another program ends the locked hvxw.exe, over a run of kills.
// Then it leaves the guard idle, watching an unlocked program, while the script reads the
// guard's processor time and memory from the host: it writes <folder>\idle.want and waits
// for <folder>\idle.done.
//
// guard_measure.exe <kills> <folder>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../GuardFixture.h"

using namespace harness;
using namespace halvex_test;

namespace {

constexpr Timeout IdleHandshakeTimeout{300000};

double Percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    size_t rank = static_cast<size_t>(std::ceil(share * static_cast<double>(values.size())));
    return values[std::min(std::max<size_t>(rank, 1) - 1, values.size() - 1)];
}

// The guard's memory as Wine reports it, read through the service's process id.
void PrintGuardMemory()
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager ? OpenServiceA(manager, GuardServiceName, SERVICE_QUERY_STATUS) : nullptr;
    SERVICE_STATUS_PROCESS status = {};
    DWORD needed = 0;
    bool known = service && QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                                 sizeof status, &needed);
    if (service) CloseServiceHandle(service);
    if (manager) CloseServiceHandle(manager);
    UniqueKernelHandle process(known ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE,
                                                   status.dwProcessId)
                                     : nullptr);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (!process ||
        !GetProcessMemoryInfo(process.Get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        std::printf("the guard's memory cannot be read\n");
        return;
    }
    std::printf("hvxguard.exe as Wine reports it: private bytes %.2f MB, working set %.2f MB (target < 2 MB private)\n",
                memory.PrivateUsage / 1048576.0, memory.WorkingSetSize / 1048576.0);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) return 2;
    int kills = std::max(1, std::atoi(argv[1]));
    std::string folder = argv[2];
    GuardedProgram guarded;
    if (!guarded.IsInstalled()) {
        std::printf("the guard could not be installed\n");
        return 1;
    }
    DWORD program = guarded.WaitForProgram(0, DefaultTimeout);
    if (!program || !LockAndWait(program)) {
        std::printf("the guarded program did not lock\n");
        return 1;
    }
    std::vector<double> gaps;
    for (int kill = 0; kill < kills; ++kill) {
        auto killed = std::chrono::steady_clock::now();
        if (!Kill(program)) return 1;
        DWORD next = WaitForLockedProgram(program, Timeout{10000});
        if (!next) {
            std::printf("kill %d: no lock back within 10 s\n", kill + 1);
            return 1;
        }
        gaps.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - killed).count());
        program = next;
    }
    std::printf("lock absent after a kill of the locked program, %d kills: min %.0f ms, median %.0f ms, p99 %.0f ms, "
                "max %.0f ms (target p99 <= 1000 ms)\n",
                kills, Percentile(gaps, 0), Percentile(gaps, 0.5), Percentile(gaps, 0.99), Percentile(gaps, 1));
    std::fflush(stdout);

    LockWindow parts = FindLockParts(VisibleLockOf(program));
    if (!SetText(parts.Edit, "Secret") || !Click(parts.UnLockButton) || !WaitForDestroyed(parts.Form)) return 1;
    PrintGuardMemory();
    std::fflush(stdout);
    std::string want = JoinPath(folder, "idle.want");
    if (FILE* file = std::fopen(want.c_str(), "w")) std::fclose(file);
    bool answered = WaitForFileQuietly(JoinPath(folder, "idle.done"), IdleHandshakeTimeout);
    return answered ? 0 : 1;
}
