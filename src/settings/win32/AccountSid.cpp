// Account identifiers: the lookup by name and the two ways to write one as text.
#include "settings/win32/AccountSid.h"

#include <memory>
#include <vector>

#include "platform/UniqueHandle.h"
#include "settings/Sidf.h"

namespace {

constexpr char Advapi32Name[] = "ADVAPI32.DLL";
constexpr char ConvertSidToStringSidName[] = "ConvertSidToStringSidA";

using ConvertSidToStringSidFunction = BOOL(WINAPI*)(PSID, LPSTR*);


struct LocalMemoryFree {
    void operator()(char* text) const { LocalFree(text); }
};
using LocalText = std::unique_ptr<char, LocalMemoryFree>;

// The system's conversion, looked up at run time because older systems lack it.
bool SystemSidText(PSID sid, std::string& text)
{
    UniqueLibrary advapi(LoadLibraryA(Advapi32Name));
    if (!advapi) return false;
    auto convert = reinterpret_cast<ConvertSidToStringSidFunction>(
        reinterpret_cast<void*>(GetProcAddress(advapi.Get(), ConvertSidToStringSidName)));
    LPSTR converted = nullptr;
    if (!convert || !convert(sid, &converted) || !converted) return false;
    LocalText owned(converted);
    text = owned.get();
    return true;
}

}  // namespace

bool AccountSidString(const std::string& name, std::string& text)
{
    text.clear();
    DWORD sidSize = 0;
    DWORD domainSize = 0;
    SID_NAME_USE use = SidTypeUnknown;
    SetLastError(ERROR_SUCCESS);
    // The first call only learns the sizes of both buffers.
    LookupAccountNameA(nullptr, name.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || sidSize == 0) return false;
    std::vector<BYTE> sid(sidSize);
    std::vector<char> domain(domainSize + 1);
    domainSize = static_cast<DWORD>(domain.size());
    if (!LookupAccountNameA(nullptr, name.c_str(), sid.data(), &sidSize, domain.data(), &domainSize, &use))
        return false;
    if (SystemSidText(sid.data(), text)) return true;
    return SidToText(sid.data(), text);
}

bool SidToText(PSID sid, std::string& text)
{
    text.clear();
    if (!sid || !IsValidSid(sid)) return false;
    SidParts parts;
    const SID_IDENTIFIER_AUTHORITY* authority = GetSidIdentifierAuthority(sid);
    for (size_t i = 0; i < parts.Authority.size(); ++i) parts.Authority[i] = authority->Value[i];
    const UCHAR count = *GetSidSubAuthorityCount(sid);
    for (UCHAR i = 0; i < count; ++i) parts.SubAuthorities.push_back(*GetSidSubAuthority(sid, i));
    text = SidPartsText(parts);
    return true;
}
