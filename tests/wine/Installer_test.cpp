// The setup program and its uninstaller, run as an administrator or a deployment tool would:
// what a silent setup puts in place, what a second one over a running installation keeps, and
// what a silent and an interactive uninstall leave behind. In a Wine session of its own, since
// setup installs into the session's prefix (Program Files, the system folder, the registry).
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "HalvexProgram.h"
#include "SetupWindows.h"
#include "SystemOptionsFiles.h"
#include "core/Version.h"
#include "harness/Harness.h"
#include "platform/UniqueHandle.h"
#include "tools/profile_RegistryScratch.h"

using namespace harness;
using namespace registry_scratch;
using namespace system_options;
using namespace setup_windows;

namespace {

// Built by the build into <build root>/dist (installer/CMakeLists.txt), named here as a Unix path.
constexpr char SetupUnixPath[] = HALVEX_SETUP_FILE;

constexpr char InstallFolderName[] = "Halvex";
constexpr char GuardFolderName[] = "Guard";
constexpr char GuardName[] = "hvxguard.exe";
constexpr char UninstallerName[] = "unins000.exe";
constexpr char ScreenSaverName[] = "SSHalvex.scr";
constexpr char SettingsFileName[] = "Halvex.dat";
constexpr char DefaultLogName[] = ".Default.log";
constexpr char DroppedLibrary[] = "winmm.dll";
// Shipped beside the program, as built beside the tests.
const std::vector<std::string> ShippedFiles = {"hvxw.exe", "Logo.bmp", "Halvex.html", "alarm.wav"};

constexpr char ServiceName[] = "HalvexGuard";
constexpr char RunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Halvex";
constexpr char DesktopKey[] = "Control Panel\\Desktop";
constexpr char ScreenSaverValue[] = "SCRNSAVE.EXE";
constexpr char ScreenSaverActiveValue[] = "ScreenSaveActive";
constexpr char OtherScreenSaver[] = "C:\\windows\\system32\\other.scr";

constexpr char ProgramQuestionCaption[] = "Halvex Uninstall";
constexpr char ProgramQuestionText[] = "Do you wish to clear the system settings maked with\rHalvex?";
constexpr char UninstallerCaption[] = "Halvex " HALVEX_VERSION_TEXT " Uninstall";
constexpr char KeepQuestionStart[] = "Keep the Halvex settings and event logs?";

// Wine's icacls is a stub: a recorder stands in for it, loaded in place of the built-in one.
constexpr char IcaclsName[] = "icacls.exe";
constexpr char IcaclsRecorderName[] = "icacls_recorder.exe";
constexpr char IcaclsLogVariable[] = "HALVEX_ICACLS_LOG";
constexpr char WineOverridesKey[] = "Software\\Wine\\DllOverrides";

constexpr Timeout SetupTimeout{60000};

constexpr char Administrators[] = "*S-1-5-32-544";
constexpr char LocalSystem[] = "*S-1-5-18";
constexpr char Users[] = "*S-1-5-32-545";

std::string Environment(const char* name)
{
    char value[MAX_PATH];
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

std::string SetupPath()
{
    std::string path = std::string("Z:") + SetupUnixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string InstallFolder()
{
    return JoinPath(Environment("ProgramFiles"), InstallFolderName);
}

std::string Installed(const std::string& name)
{
    return JoinPath(InstallFolder(), name);
}

std::string GuardPath()
{
    return JoinPath(Installed(GuardFolderName), GuardName);
}

std::string SystemFolder()
{
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return folder;
}

std::string SystemScreenSaver()
{
    return JoinPath(SystemFolder(), ScreenSaverName);
}

std::string ShortPathOf(const std::string& path)
{
    char shortPath[MAX_PATH] = {};
    DWORD length = GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(shortPath, length) : std::string();
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(JoinPath(folder, "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        for (const auto& name : NamesIn(path)) RemoveTree(JoinPath(path, name));
        RemoveDirectoryA(path.c_str());
    } else {
        RemoveFile(path);
    }
}

std::optional<std::string> StringValue(HKEY root, const std::string& path, const std::string& name)
{
    auto value = QueryValue(root, path, name);
    if (!value || value->Type != REG_SZ) return std::nullopt;
    std::string text = value->Bytes;
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

std::optional<DWORD> DwordValue(HKEY root, const std::string& path, const std::string& name)
{
    auto value = QueryValue(root, path, name);
    if (!value || value->Type != REG_DWORD || value->Bytes.size() != sizeof(DWORD)) return std::nullopt;
    DWORD number = 0;
    std::copy(value->Bytes.begin(), value->Bytes.end(), reinterpret_cast<char*>(&number));
    return number;
}

bool SameText(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// The ids of the running processes started from this file.
std::vector<DWORD> ProcessesOf(const std::string& imagePath)
{
    std::vector<DWORD> ids;
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return ids;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
        UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        if (!process) continue;
        char path[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (QueryFullProcessImageNameA(process.Get(), 0, path, &size) && SameText(path, imagePath))
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

// The process that started the given one, or 0.
DWORD ParentOf(DWORD processId)
{
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry))
        if (entry.th32ProcessID == processId) return entry.th32ParentProcessID;
    return 0;
}

bool ProgramRuns()
{
    return halvex_test::MutexExists("Hvxmu01");
}

// The guard service as the service manager reports it.
struct ServiceFacts {
    DWORD StartType = 0;
    std::string Account;
    std::string BinaryPath;
    DWORD State = 0;
};

class ServiceManagerHandle {
public:
    explicit ServiceManagerHandle(SC_HANDLE handle) : Handle(handle) {}
    ~ServiceManagerHandle()
    {
        if (Handle) CloseServiceHandle(Handle);
    }
    ServiceManagerHandle(const ServiceManagerHandle&) = delete;
    ServiceManagerHandle& operator=(const ServiceManagerHandle&) = delete;
    SC_HANDLE Get() const { return Handle; }
    explicit operator bool() const { return Handle != nullptr; }

private:
    SC_HANDLE Handle;
};

std::optional<ServiceFacts> GuardService()
{
    ServiceManagerHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return std::nullopt;
    ServiceManagerHandle service(OpenServiceA(manager.Get(), ServiceName, SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS));
    if (!service) return std::nullopt;
    std::vector<char> buffer(8192);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    DWORD needed = 0;
    if (!QueryServiceConfigA(service.Get(), config, static_cast<DWORD>(buffer.size()), &needed)) return std::nullopt;
    ServiceFacts facts;
    facts.StartType = config->dwStartType;
    facts.Account = config->lpServiceStartName ? config->lpServiceStartName : "";
    facts.BinaryPath = config->lpBinaryPathName ? config->lpBinaryPathName : "";
    SERVICE_STATUS status = {};
    if (QueryServiceStatus(service.Get(), &status)) facts.State = status.dwCurrentState;
    return facts;
}

// A service left behind by a failed test: stopped and deleted, so the next test starts clean.
void DeleteGuardService()
{
    ServiceManagerHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) return;
    ServiceManagerHandle service(OpenServiceA(manager.Get(), ServiceName, SERVICE_ALL_ACCESS));
    if (!service) return;
    SERVICE_STATUS status = {};
    ControlService(service.Get(), SERVICE_CONTROL_STOP, &status);
    DeleteService(service.Get());
}

// Saves a registry value and puts it back (or removes it) afterwards.
class SavedValue {
public:
    SavedValue(HKEY root, std::string path, std::string name)
        : Root(root), Path(std::move(path)), Name(std::move(name)), Value(QueryValue(Root, Path, Name))
    {
    }
    ~SavedValue()
    {
        if (Value) {
            SetValue(Root, Path, Name, Value->Type, Value->Bytes);
        } else if (UniqueKey key = OpenKey(Root, Path, KEY_SET_VALUE)) {
            RegDeleteValueA(key.Get(), Name.c_str());
        }
    }
    SavedValue(const SavedValue&) = delete;
    SavedValue& operator=(const SavedValue&) = delete;

private:
    HKEY Root;
    std::string Path;
    std::string Name;
    std::optional<StoredValue> Value;
};

class InstallerIsolated : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Exists(SetupPath())) << "the setup program was not built: " << SetupPath();
        ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey)) << "Halvex is installed already";
        ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, LogonKeyPath)) << "the prefix has a logon key of its own";
        ASSERT_NO_FATAL_FAILURE(RecordIcacls());
    }

    void TearDown() override
    {
        // Whatever a failed test left installed goes, so that the next test starts clean.
        if (KeyExists(HKEY_LOCAL_MACHINE, UninstallKey) && Exists(Installed(UninstallerName))) UninstallSilently();
        DeleteGuardService();
        RemoveTree(InstallFolder());
        RemoveFile(SystemScreenSaver());
        if (UniqueKey key = OpenKey(HKEY_LOCAL_MACHINE, RunKey, KEY_SET_VALUE)) RegDeleteValueA(key.Get(), "Halvex");
        if (OriginalIcacls) WriteBytes(SystemIcacls(), *OriginalIcacls, FILE_ATTRIBUTE_NORMAL);
    }

    static std::string SystemIcacls() { return JoinPath(SystemFolder(), IcaclsName); }

    // The recorder takes the place of icacls.exe for the programs this test starts.
    void RecordIcacls()
    {
        OriginalIcacls = ReadBytes(SystemIcacls());
        auto recorder = ReadBytes(JoinPath(ExeDir(), IcaclsRecorderName));
        ASSERT_TRUE(recorder) << IcaclsRecorderName << " is not beside the tests";
        ASSERT_TRUE(WriteBytes(SystemIcacls(), *recorder, FILE_ATTRIBUTE_NORMAL));
        ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, WineOverridesKey, IcaclsName, REG_SZ, StringBytes("native")));
        ASSERT_TRUE(SetEnvironmentVariableA(IcaclsLogVariable, IcaclsLog().c_str()));
    }

    std::string IcaclsLog() const { return Dir.PathOf("icacls.txt"); }

    std::vector<std::string> IcaclsCommands() const
    {
        std::vector<std::string> lines;
        std::string content = Dir.ReadFile("icacls.txt").value_or("");
        for (size_t start = 0; start < content.size();) {
            size_t end = content.find("\r\n", start);
            if (end == std::string::npos) end = content.size();
            lines.push_back(content.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }

    static DWORD RunSetup(const std::string& arguments)
    {
        Process setup = Process::Start(SetupPath(), arguments, ScratchRoot());
        if (!setup.WaitForExit(SetupTimeout)) return ~0u;
        return setup.ExitCode().value_or(~0u);
    }

    static void InstallSilently(const std::string& extraArguments = "")
    {
        std::string arguments = "/S";
        if (!extraArguments.empty()) arguments += " " + extraArguments;
        ASSERT_EQ(RunSetup(arguments), 0u);
        ASSERT_TRUE(WaitUntil(ProgramRuns, SetupTimeout, "the installed program running"));
    }

    // The uninstaller copies itself away and returns at once; it removes its Add/Remove entry last.
    static void UninstallSilently()
    {
        Process uninstaller = Process::Start(Installed(UninstallerName), "/S", ScratchRoot());
        ASSERT_TRUE(uninstaller.WaitForExit(SetupTimeout));
        EXPECT_EQ(uninstaller.ExitCode(), std::optional<DWORD>(0));
        ASSERT_TRUE(WaitUntil([] { return !KeyExists(HKEY_LOCAL_MACHINE, UninstallKey); }, SetupTimeout,
                              "the uninstaller to finish"));
    }

    static std::string ShippedFileGrant(const std::string& path)
    {
        return "\"" + path + "\" /inheritance:r /grant:r " + Administrators + ":F " + LocalSystem + ":F " + Users +
               ":RX";
    }

    // The permission commands setup runs on a folder that holds the given data files.
    static std::vector<std::string> ExpectedGrants(const std::vector<std::string>& dataFiles)
    {
        std::vector<std::string> commands;
        for (const std::string& name : ShippedFiles) commands.push_back(ShippedFileGrant(Installed(name)));
        commands.push_back(ShippedFileGrant(Installed(UninstallerName)));
        commands.push_back("\"" + Installed(GuardFolderName) + "\" /inheritance:r /grant:r " + Administrators +
                           ":(OI)(CI)F " + LocalSystem + ":(OI)(CI)F " + Users + ":(OI)(CI)RX");
        commands.push_back("\"" + InstallFolder() + "\" /grant:r " + Users + ":(WD)");
        commands.push_back("\"" + InstallFolder() + "\" /grant " + Users + ":(OI)(IO)M");
        for (const std::string& name : dataFiles) commands.push_back("\"" + Installed(name) + "\" /grant " + Users + ":M");
        return commands;
    }

    static void WriteFileBytes(const std::string& path, const std::string& content)
    {
        ASSERT_TRUE(WriteBytes(path, content, FILE_ATTRIBUTE_NORMAL)) << path;
    }

    // A settings file and two event logs as users leave them.
    void MakeUserData()
    {
        TDStorage settings(Installed(SettingsFileName), true);
        ASSERT_TRUE(settings.WriteString("InstallerTest", "Kept", "yes"));
        ASSERT_NO_FATAL_FAILURE(WriteFileBytes(Installed(UserLog), "01.01.2026 10:00:00 Access Denied\r\n"));
        ASSERT_NO_FATAL_FAILURE(WriteFileBytes(Installed(DefaultLogName), "01.01.2026 10:00:01 Locked\r\n"));
    }

    void ExpectUserDataKept()
    {
        std::string value;
        EXPECT_TRUE(TDStorage(Installed(SettingsFileName), true).ReadString("InstallerTest", "Kept", value));
        EXPECT_EQ(value, "yes");
        EXPECT_EQ(ReadBytes(Installed(UserLog)).value_or("<none>"), "01.01.2026 10:00:00 Access Denied\r\n");
        EXPECT_EQ(ReadBytes(Installed(DefaultLogName)).value_or("<none>"), "01.01.2026 10:00:01 Locked\r\n");
    }

    // What a user who may create files in the folder could leave for the next elevated start.
    static void DropLibrary() { WriteFileBytes(Installed(DroppedLibrary), "MZ not a library"); }

    static void MakeSystemOptions()
    {
        ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, LogonKeyPath, MustBeValidated, REG_DWORD, DwordBytes(1)));
        ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, LogonKeyPath, "Other", REG_SZ, StringBytes("kept")));
        ASSERT_TRUE(WriteBytes(StartupFile, StartupBefore, HiddenSystemReadOnly));
    }

    static void ExpectNothingOfOursBut(const std::vector<std::string>& keptFiles)
    {
        if (keptFiles.empty())
            EXPECT_FALSE(Exists(InstallFolder())) << "the program folder is removed";
        else
            EXPECT_EQ(NamesIn(InstallFolder()), keptFiles);
        EXPECT_FALSE(Exists(SystemScreenSaver()));
        EXPECT_FALSE(QueryValue(HKEY_LOCAL_MACHINE, RunKey, "Halvex")) << "the start-up entry is removed";
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
        EXPECT_FALSE(GuardService()) << "the guard service is removed";
        EXPECT_TRUE(WaitUntil([] { return ProcessesOf(Installed("hvxw.exe")).empty(); }, DefaultTimeout,
                              "the installed program to have ended"));
        EXPECT_TRUE(ProcessesOf(GuardPath()).empty());
    }

    const std::string UserLog = halvex_test::LogonUser() + ".log";
    AppDir Dir;
    std::optional<std::string> OriginalIcacls;
    CreatedKeys Overrides{HKEY_CURRENT_USER, WineOverridesKey};
    SavedValue IcaclsOverride{HKEY_CURRENT_USER, WineOverridesKey, IcaclsName};
    SavedValue ScreenSaver{HKEY_CURRENT_USER, DesktopKey, ScreenSaverValue};
    SavedValue ScreenSaverActive{HKEY_CURRENT_USER, DesktopKey, ScreenSaverActiveValue};
    SavedFile Startup{StartupFile};
    CreatedKeys LogonKey{HKEY_LOCAL_MACHINE, LogonKeyPath};
};

}  // namespace

TEST_F(InstallerIsolated, SilentSetupPutsEverythingInPlace)
{
    ASSERT_NO_FATAL_FAILURE(InstallSilently());

    for (const std::string& name : ShippedFiles) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ReadBytes(Installed(name)), ReadBytes(JoinPath(ExeDir(), name)));
    }
    EXPECT_TRUE(Exists(Installed(UninstallerName)));
    EXPECT_TRUE(Exists(GuardPath()));
    EXPECT_FALSE(Exists(Installed(GuardName))) << "the guard is not in the folder users may write";
    EXPECT_EQ(ReadBytes(SystemScreenSaver()), ReadBytes(JoinPath(ExeDir(), ScreenSaverName)));

    EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, RunKey, "Halvex"), "\"" + Installed("hvxw.exe") + "\"");
    const std::string uninstaller = "\"" + Installed(UninstallerName) + "\"";
    EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, UninstallKey, "DisplayName"), "Halvex");
    EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, UninstallKey, "DisplayVersion"), HALVEX_VERSION_TEXT);
    EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, UninstallKey, "Publisher"), HALVEX_COMPANY_NAME);
    EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, UninstallKey, "DisplayIcon"), "\"" + Installed("hvxw.exe") + "\",0");
    EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, UninstallKey, "InstallLocation"), InstallFolder());
    EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, UninstallKey, "UninstallString"), uninstaller);
    EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, UninstallKey, "QuietUninstallString"), uninstaller + " /S");
    EXPECT_EQ(DwordValue(HKEY_LOCAL_MACHINE, UninstallKey, "NoModify"), std::optional<DWORD>(1));
    EXPECT_EQ(DwordValue(HKEY_LOCAL_MACHINE, UninstallKey, "NoRepair"), std::optional<DWORD>(1));
    // In KB: at least what the shipped files take, and not much more.
    DWORD shippedBytes = 0;
    for (const std::string& name : ShippedFiles) shippedBytes += static_cast<DWORD>(ReadBytes(Installed(name))->size());
    for (const std::string& path : {Installed(UninstallerName), GuardPath(), SystemScreenSaver()})
        shippedBytes += static_cast<DWORD>(ReadBytes(path).value_or("").size());
    auto size = DwordValue(HKEY_LOCAL_MACHINE, UninstallKey, "EstimatedSize");
    ASSERT_TRUE(size);
    EXPECT_GE(*size, shippedBytes / 1024);
    EXPECT_LE(*size, shippedBytes / 1024 + 16);

    EXPECT_EQ(StringValue(HKEY_CURRENT_USER, DesktopKey, ScreenSaverValue), ShortPathOf(SystemScreenSaver()));
    EXPECT_EQ(StringValue(HKEY_CURRENT_USER, DesktopKey, ScreenSaverActiveValue), "1");

    auto service = GuardService();
    ASSERT_TRUE(service) << "the guard service is registered";
    EXPECT_EQ(service->StartType, DWORD(SERVICE_AUTO_START));
    EXPECT_EQ(service->Account, "LocalSystem");
    EXPECT_EQ(service->BinaryPath.rfind("\"" + GuardPath() + "\"", 0), 0u) << service->BinaryPath;
    EXPECT_EQ(service->State, DWORD(SERVICE_RUNNING));
    EXPECT_EQ(ProcessesOf(GuardPath()).size(), 1u);

    EXPECT_EQ(IcaclsCommands(), ExpectedGrants({}));

    // The guard has started the program from its folder, with its tray icon; the program's own
    // install step, which setup ran last, found it running and ended.
    std::vector<DWORD> programs;
    EXPECT_TRUE(WaitUntil([&] { return (programs = ProcessesOf(Installed("hvxw.exe"))).size() == 1; },
                          DefaultTimeout, "one program running"));
    ASSERT_EQ(programs.size(), 1u);
    std::vector<DWORD> guards = ProcessesOf(GuardPath());
    ASSERT_EQ(guards.size(), 1u);
    EXPECT_EQ(ParentOf(programs[0]), guards[0]) << "the running program is the guard's";
    HWND window = WaitForTopWindow(WindowQuery::OfClass(MainFormClass).InProcess(programs[0]));
    ASSERT_TRUE(window);
    EXPECT_TRUE(WaitUntil([&] { return halvex_test::HasTrayIcon(window); }, DefaultTimeout, "the tray icon"));
}

TEST_F(InstallerIsolated, SecondSilentSetupReplacesTheRunningProgramAndKeepsTheSettings)
{
    ASSERT_NO_FATAL_FAILURE(InstallSilently());
    std::vector<DWORD> before;
    EXPECT_TRUE(WaitUntil([&] { return (before = ProcessesOf(Installed("hvxw.exe"))).size() == 1; }, DefaultTimeout,
                          "one program running"));
    ASSERT_EQ(before.size(), 1u);
    UniqueKernelHandle oldProgram(OpenProcess(SYNCHRONIZE, FALSE, before[0]));
    ASSERT_TRUE(oldProgram);
    ASSERT_NO_FATAL_FAILURE(MakeUserData());
    ASSERT_NO_FATAL_FAILURE(DropLibrary());
    Dir.WriteFile("icacls.txt", "");

    ASSERT_NO_FATAL_FAILURE(InstallSilently());

    EXPECT_EQ(WaitForSingleObject(oldProgram.Get(), 0), WAIT_OBJECT_0) << "the running program was ended";
    EXPECT_FALSE(Exists(Installed(DroppedLibrary))) << "setup runs the program elevated: no library is left beside it";
    EXPECT_TRUE(WaitUntil([] { return ProcessesOf(Installed("hvxw.exe")).size() == 1; }, DefaultTimeout,
                          "one program running again"));
    EXPECT_EQ(ProcessesOf(GuardPath()).size(), 1u) << "the guard runs again";
    EXPECT_EQ(GuardService().value_or(ServiceFacts{}).State, DWORD(SERVICE_RUNNING));
    ExpectUserDataKept();
    // The data files of the earlier installation get the users' rights in case they do not
    // inherit them: the settings file, then the logs in the order the folder lists them.
    std::vector<std::string> commands = IcaclsCommands();
    std::vector<std::string> expected = ExpectedGrants({SettingsFileName});
    ASSERT_EQ(commands.size(), expected.size() + 2);
    std::vector<std::string> logCommands(commands.begin() + static_cast<std::ptrdiff_t>(expected.size()), commands.end());
    commands.resize(expected.size());
    EXPECT_EQ(commands, expected);
    std::sort(logCommands.begin(), logCommands.end());
    std::vector<std::string> expectedLogCommands;
    for (const std::string& log : {std::string(DefaultLogName), UserLog})
        expectedLogCommands.push_back("\"" + Installed(log) + "\" /grant " + Users + ":M");
    std::sort(expectedLogCommands.begin(), expectedLogCommands.end());
    EXPECT_EQ(logCommands, expectedLogCommands);
}

TEST_F(InstallerIsolated, SilentUninstallKeepsOnlyTheSettingsAndResetsTheSystemOptions)
{
    ASSERT_NO_FATAL_FAILURE(InstallSilently());
    ASSERT_NO_FATAL_FAILURE(MakeUserData());
    ASSERT_NO_FATAL_FAILURE(MakeSystemOptions());

    ASSERT_NO_FATAL_FAILURE(UninstallSilently());

    std::vector<std::string> kept = {DefaultLogName, SettingsFileName, UserLog};
    std::sort(kept.begin(), kept.end());
    ExpectNothingOfOursBut(kept);
    ExpectUserDataKept();
    EXPECT_FALSE(QueryValue(HKEY_CURRENT_USER, DesktopKey, ScreenSaverValue)) << "our screen saver is no longer set";
    EXPECT_EQ(StringValue(HKEY_CURRENT_USER, DesktopKey, ScreenSaverActiveValue), "0");

    // As "hvxw.exe Uninstall" does on "Yes".
    EXPECT_EQ(DwordValue(HKEY_LOCAL_MACHINE, LogonKeyPath, MustBeValidated), std::optional<DWORD>(0));
    EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, LogonKeyPath, "Other"), "kept");
    EXPECT_EQ(ReadBytes(StartupFile).value_or("<no file>"), StartupAfterYes);
    EXPECT_EQ(AttributesOf(StartupFile) & HiddenSystemReadOnly, HiddenSystemReadOnly);
}

TEST_F(InstallerIsolated, SilentUninstallCreatesAMissingStartupFileAsTheProgramDoes)
{
    ASSERT_NO_FATAL_FAILURE(InstallSilently());
    RemoveFile(StartupFile);

    ASSERT_NO_FATAL_FAILURE(UninstallSilently());

    EXPECT_EQ(ReadBytes(StartupFile).value_or("<no file>"), StartupCreatedByYes);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, LogonKeyPath)) << "the logon key is never created";
}

TEST_F(InstallerIsolated, InteractiveUninstallAsksBothQuestionsAndLeavesAnotherScreenSaver)
{
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, DesktopKey, ScreenSaverValue, REG_SZ, StringBytes(OtherScreenSaver)));
    ASSERT_NO_FATAL_FAILURE(InstallSilently("/NOSCREENSAVER"));
    EXPECT_EQ(StringValue(HKEY_CURRENT_USER, DesktopKey, ScreenSaverValue), OtherScreenSaver);
    ASSERT_NO_FATAL_FAILURE(MakeUserData());
    ASSERT_NO_FATAL_FAILURE(MakeSystemOptions());
    // The uninstaller runs the program elevated: a library dropped beside it goes first.
    ASSERT_NO_FATAL_FAILURE(DropLibrary());

    Process uninstaller = Process::Start(Installed(UninstallerName), "", ScratchRoot());
    // The uninstaller's wizard, titled with the current page after the caption.
    HWND wizard = WaitForDialog(UninstallerCaption, "", SetupTimeout);
    ASSERT_TRUE(wizard);
    HWND next = WaitForNextEnabled(wizard, SetupTimeout);
    ASSERT_TRUE(next);
    ASSERT_TRUE(Click(next));

    // The program's own question: "No" leaves the system options alone.
    HWND question = WaitForDialog(ProgramQuestionCaption, ProgramQuestionText, SetupTimeout);
    ASSERT_TRUE(question);
    ASSERT_TRUE(PressMessageBoxButton(question, IDNO));
    // Then whether to keep the settings: "No" removes them too.
    HWND keep = WaitForDialog(UninstallerCaption, KeepQuestionStart, SetupTimeout);
    ASSERT_TRUE(keep);
    ASSERT_TRUE(PressMessageBoxButton(keep, IDNO));
    ASSERT_TRUE(WaitUntil([] { return !KeyExists(HKEY_LOCAL_MACHINE, UninstallKey); }, SetupTimeout,
                          "the uninstaller to finish"));
    // Its last page: Close.
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(next) && TextOf(next).find("Close") != std::string::npos; },
                          SetupTimeout, "the Close button"));
    ASSERT_TRUE(Click(next));
    EXPECT_TRUE(WaitForDestroyed(wizard, SetupTimeout));

    ExpectNothingOfOursBut({});
    EXPECT_EQ(StringValue(HKEY_CURRENT_USER, DesktopKey, ScreenSaverValue), OtherScreenSaver)
        << "a screen saver that is not ours stays";
    EXPECT_EQ(DwordValue(HKEY_LOCAL_MACHINE, LogonKeyPath, MustBeValidated), std::optional<DWORD>(1));
    EXPECT_EQ(ReadBytes(StartupFile).value_or("<no file>"), StartupBefore);
}

TEST_F(InstallerIsolated, SilentSetupRefusesAFolderOfAnotherProgram)
{
    // Setup would let users create files in the folder: never in one that holds something else.
    const std::string other = JoinPath(Dir.Path(), "Other Program");
    ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
    ASSERT_NO_FATAL_FAILURE(WriteFileBytes(JoinPath(other, "readme.txt"), "not Halvex"));

    EXPECT_EQ(RunSetup("/S /D=" + other), 2u) << "the exit code of a folder refused";

    EXPECT_EQ(NamesIn(other), std::vector<std::string>{"readme.txt"});
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
    EXPECT_FALSE(GuardService());
    EXPECT_FALSE(Exists(SystemScreenSaver()));
    EXPECT_TRUE(IcaclsCommands().empty()) << "no permission was changed";
}

TEST_F(InstallerIsolated, SilentSetupReportsPermissionsItCouldNotSet)
{
    ASSERT_TRUE(SetEnvironmentVariableA("HALVEX_ICACLS_EXIT", "5"));
    struct Restore {
        ~Restore() { SetEnvironmentVariableA("HALVEX_ICACLS_EXIT", nullptr); }
    } restore;

    EXPECT_EQ(RunSetup("/S"), 4u) << "a deployment tool sees that users may be unable to save their settings";
    EXPECT_EQ(IcaclsCommands(), ExpectedGrants({}));
    EXPECT_TRUE(GuardService()) << "the rest is installed all the same";
}
