// Locking and unlocking hvxw.exe many times leaves nothing behind: GDI objects, windows
// and kernel handles are what they were after the first lock.
//
// Wine answers 0 to GetGuiResources and GetProcessHandleCount for any process. There the
// GDI objects are counted in the process's GDI handle table, which Wine keeps in the
// process's own memory as Windows does (the PEB points at it); the windows are counted as
// the USER objects that matter here; the kernel handles come from the system handle list.
#include <windows.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "LockScreenFixture.h"

using namespace harness;
using namespace halvex_test;

namespace {

constexpr int Cycles = 50;

// --- GDI objects --------------------------------------------------------------------------------

// Wine's GDI handle table: 0x10000 entries of this layout; an entry in use has a type.
struct GdiHandleEntry {
    uint64_t Object;
    uint32_t Owner;
    uint16_t Unique;
    uint8_t Type;
    uint8_t Flags;
    uint64_t UserPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "the layout of Wine's GDI handle table entries");
constexpr size_t GdiHandleEntries = 0x10000;
// Where a 32-bit PEB keeps the address of the GDI handle table.
constexpr size_t GdiSharedHandleTableOffset = 0x94;

using QueryInformationProcess = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

template <typename Function>
Function NtdllFunction(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

// -1 when the table cannot be read.
long GdiObjectsInHandleTable(HANDLE process)
{
    auto query = NtdllFunction<QueryInformationProcess>("NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG size = 0;
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, &size) != 0) return -1;
    uint32_t table = 0;
    SIZE_T read = 0;
    auto* tableAddress = reinterpret_cast<const BYTE*>(basic.PebBaseAddress) + GdiSharedHandleTableOffset;
    if (!ReadProcessMemory(process, tableAddress, &table, sizeof table, &read) || !table) return -1;
    std::vector<GdiHandleEntry> entries(GdiHandleEntries);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(static_cast<uintptr_t>(table)), entries.data(),
                           entries.size() * sizeof(GdiHandleEntry), &read))
        return -1;
    long inUse = 0;
    for (const GdiHandleEntry& entry : entries) inUse += entry.Type != 0;
    return inUse;
}

long GdiObjects(HANDLE process)
{
    if (DWORD reported = GetGuiResources(process, GR_GDIOBJECTS)) return static_cast<long>(reported);
    return GdiObjectsInHandleTable(process);
}

// --- Windows ------------------------------------------------------------------------------------

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

long WindowsOf(DWORD processId)
{
    long count = 0;
    for (HWND window : FindTopWindows(WindowQuery().InProcess(processId))) {
        ++count;
        EnumChildWindows(window, CountWindow, reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

// --- Kernel handles -----------------------------------------------------------------------------

struct SystemHandleEntry {
    ULONG OwnerProcessId;
    BYTE ObjectType;
    BYTE Flags;
    USHORT Handle;
    PVOID Object;
    ACCESS_MASK Access;
};
struct SystemHandles {
    ULONG Count;
    SystemHandleEntry Entries[1];
};
constexpr ULONG SystemHandleInformation = 16;

long KernelHandlesOf(HANDLE process, DWORD processId)
{
    DWORD reported = 0;
    if (GetProcessHandleCount(process, &reported) && reported) return static_cast<long>(reported);
    auto query = NtdllFunction<QuerySystemInformation>("NtQuerySystemInformation");
    if (!query) return -1;
    std::vector<BYTE> buffer(1 << 20);
    ULONG size = 0;
    if (query(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &size) != 0) return -1;
    const auto* handles = reinterpret_cast<const SystemHandles*>(buffer.data());
    long count = 0;
    for (ULONG i = 0; i < handles->Count; ++i) count += handles->Entries[i].OwnerProcessId == processId;
    return count;
}

struct Objects {
    long Gdi, Windows, Handles;
};

Objects ObjectsOf(LockScreenProgram& lockable)
{
    RunningProgram& program = lockable.Program();
    HANDLE process = program.Program().Get();
    return {GdiObjects(process), WindowsOf(program.Id()), KernelHandlesOf(process, program.Id())};
}

void LockAndUnlock(LockScreenProgram& program)
{
    ASSERT_TRUE(program.Lock());
    ASSERT_TRUE(program.Unlock("Secret"));
    ASSERT_TRUE(program.Program().Settle());
}

}  // namespace

TEST(LockScreenResources, FiftyLocksLeaveNothingBehind)
{
    LockSettings settings;
    settings.Text = {"Locked for a moment.", "Back soon."};
    LockScreenProgram program(settings);
    ASSERT_TRUE(program.IsStarted());
    ASSERT_NO_FATAL_FAILURE(LockAndUnlock(program));
    Objects first = ObjectsOf(program);
    ASSERT_GT(first.Gdi, 0) << "GDI objects cannot be counted";
    ASSERT_GT(first.Windows, 0);
    ASSERT_GT(first.Handles, 0) << "kernel handles cannot be counted";

    // The counts see the lock's own objects while it is up, so they would see them stay.
    ASSERT_TRUE(program.Lock());
    Objects locked = ObjectsOf(program);
    EXPECT_GT(locked.Gdi, first.Gdi);
    EXPECT_GT(locked.Windows, first.Windows);
    ASSERT_TRUE(program.Unlock("Secret"));

    for (int cycle = 2; cycle < Cycles; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle + 1));
        ASSERT_NO_FATAL_FAILURE(LockAndUnlock(program));
    }
    ASSERT_TRUE(program.Program().Settle());
    Objects last = ObjectsOf(program);
    EXPECT_EQ(last.Gdi, first.Gdi) << "GDI objects";
    EXPECT_EQ(last.Windows, first.Windows) << "windows";
    EXPECT_EQ(last.Handles, first.Handles) << "kernel handles";
}
