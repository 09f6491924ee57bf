// The user list on both families of Windows.
#include "settings/win32/UserProfiles.h"

#include <windows.h>
#include <lm.h>

#include "platform/SystemFunction.h"
#include "platform/WindowsFamily.h"
#include "settings/win32/AccountSid.h"
#include "settings/win32/Registry.h"

namespace {

constexpr DWORD UserNameBufferSize = 256;

constexpr char NetApi32Name[] = "netapi32.dll";
constexpr char NetUserEnumName[] = "NetUserEnum";
constexpr char NetApiBufferFreeName[] = "NetApiBufferFree";
// Level 1 is asked first; Wine knows only levels 0 and 20 and answers ERROR_INVALID_LEVEL,
// so level 0, which carries the name as well, is asked then.
constexpr DWORD UserInfoLevel1 = 1;
constexpr DWORD UserInfoLevel0 = 0;
constexpr DWORD AllAccountKinds = 0;
// A preferred length of 0 would ask for a minimal buffer, one entry a round on Windows;
// Wine then answers ERROR_MORE_DATA with no entries for ever. Let the system choose.
constexpr DWORD PreferredMaximumLength = MAX_PREFERRED_LENGTH;

constexpr char NtProfileListPath[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";
constexpr char ProfileListPath9x[] = "Software\\Microsoft\\Windows\\CurrentVersion\\ProfileList";
constexpr char ProfileImagePathValue[] = "ProfileImagePath";

// NETAPI32 is loaded at run time: the 9x family has none with these functions.
using NetUserEnumFunction = DWORD WINAPI(LPCWSTR server, DWORD level, DWORD filter, LPBYTE* buffer,
                                         DWORD preferredMaximumLength, LPDWORD entriesRead, LPDWORD totalEntries,
                                         LPDWORD resumeHandle);
using NetApiBufferFreeFunction = DWORD WINAPI(LPVOID buffer);

// Frees a buffer NetUserEnum allocated, on every way out of the loop body.
class NetBuffer {
public:
    explicit NetBuffer(NetApiBufferFreeFunction* free) : Free(free) {}
    ~NetBuffer()
    {
        if (Buffer) Free(Buffer);
    }
    NetBuffer(const NetBuffer&) = delete;
    NetBuffer& operator=(const NetBuffer&) = delete;

    LPBYTE* Receiver() { return &Buffer; }
    bool Empty() const { return !Buffer; }
    // Both levels put the name first, but their entries differ in size.
    LPCWSTR NameAt(DWORD level, DWORD index) const
    {
        return level == UserInfoLevel1 ? reinterpret_cast<const USER_INFO_1*>(Buffer)[index].usri1_name
                                       : reinterpret_cast<const USER_INFO_0*>(Buffer)[index].usri0_name;
    }

private:
    NetApiBufferFreeFunction* Free;
    LPBYTE Buffer = nullptr;
};

std::string AnsiText(LPCWSTR text)
{
    if (!text) return "";
    int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return "";
    std::string converted(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &converted[0], size, nullptr, nullptr);
    converted.resize(static_cast<size_t>(size - 1));
    return converted;
}

}  // namespace

std::string GetLogonUserName()
{
    char name[UserNameBufferSize] = {};
    DWORD size = UserNameBufferSize;
    if (!GetUserNameA(name, &size) || name[0] == '\0') return DefaultProfileName;
    return name;
}

std::string ProfileNameOf(const std::string& userName, bool withValues)
{
    TStrings list;
    BuildUserList(list, true);
    return ProfileNameFromList(list, userName, withValues);
}

void BuildUserList(TStrings& lines, bool withValues)
{
    lines.clear();
    if (IsNtFamily())
        ListNtUsers(lines, withValues);
    else
        List9xUsers(lines, withValues);
    AppendDefaultProfile(lines, withValues);
}

void ListNtUsers(TStrings& lines, bool withValues)
{
    TSystemFunction<NetUserEnumFunction> netUserEnumFunction(NetApi32Name, NetUserEnumName);
    TSystemFunction<NetApiBufferFreeFunction> netApiBufferFreeFunction(NetApi32Name, NetApiBufferFreeName);
    if (!netUserEnumFunction || !netApiBufferFreeFunction) return;
    NetUserEnumFunction* netUserEnum = netUserEnumFunction.Get();
    NetApiBufferFreeFunction* netApiBufferFree = netApiBufferFreeFunction.Get();

    DWORD level = UserInfoLevel1;
    DWORD resumeHandle = 0;
    DWORD status = ERROR_MORE_DATA;
    while (status == ERROR_MORE_DATA) {
        NetBuffer buffer(netApiBufferFree);
        DWORD entriesRead = 0;
        DWORD totalEntries = 0;
        status = netUserEnum(nullptr, level, AllAccountKinds, buffer.Receiver(), PreferredMaximumLength, &entriesRead,
                             &totalEntries, &resumeHandle);
        if (status == ERROR_INVALID_LEVEL && level == UserInfoLevel1 && resumeHandle == 0) {
            level = UserInfoLevel0;
            status = ERROR_MORE_DATA;
            continue;
        }
        if (status != NERR_Success && status != ERROR_MORE_DATA) break;
        // A round that brings nothing would bring nothing again.
        if (buffer.Empty() || entriesRead == 0) break;
        for (DWORD i = 0; i < entriesRead; ++i) {
            std::string name = AnsiText(buffer.NameAt(level, i));
            if (UserHasProfile(name)) lines.push_back(UserEntry(name, withValues, NtProfileMark));
        }
    }
}

bool UserHasProfile(const std::string& name)
{
    std::string sid;
    if (!AccountSidString(name, sid)) return false;
    // Read access on purpose: a standard user may read the profile list but not
    // open it with full access, and would otherwise have no profile at all.
    TRegistry registry(HKEY_LOCAL_MACHINE);
    return registry.OpenKeyReadOnly(NtProfileListPath + sid);
}

void List9xUsers(TStrings& lines, bool withValues)
{
    TRegistry registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(ProfileListPath9x, false)) return;
    TStrings profiles;
    registry.GetKeyNames(profiles);
    registry.CloseKey();
    for (const std::string& profile : profiles) {
        std::string folder;
        ReadRegValue(nullptr, HKEY_LOCAL_MACHINE, std::string(ProfileListPath9x) + "\\" + profile,
                     ProfileImagePathValue, folder);
        if (!folder.empty()) lines.push_back(UserEntry(profile, withValues, folder));
    }
}
