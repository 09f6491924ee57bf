// The registry accessor over the ANSI registry functions, and the text helpers.
#include "settings/win32/Registry.h"

#include <algorithm>
#include <cstring>

#include "settings/SettingCodec.h"

namespace {

// A leading backslash names the same key: the path is always taken from the root.
std::string PathFromRoot(const std::string& path)
{
    return !path.empty() && path[0] == '\\' ? path.substr(1) : path;
}

// A string value may be stored without its terminating NUL, or with several: the
// text ends at the first NUL or at the end of the data, whichever comes first.
std::string TextOf(const std::vector<BYTE>& data)
{
    auto end = std::find(data.begin(), data.end(), BYTE(0));
    return std::string(data.begin(), end);
}

}  // namespace

TRegistry::TRegistry(HKEY root) : Root(root) {}

void TRegistry::SetRootKey(HKEY root)
{
    CloseKey();
    Root = root;
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate)
{
    return Open(path, KEY_ALL_ACCESS, canCreate);
}

bool TRegistry::OpenKeyReadOnly(const std::string& path)
{
    return Open(path, KEY_READ, false);
}

bool TRegistry::Open(const std::string& path, REGSAM access, bool canCreate)
{
    CloseKey();
    const std::string fromRoot = PathFromRoot(path);
    HKEY key = nullptr;
    LONG status = canCreate ? RegCreateKeyExA(Root, fromRoot.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                              nullptr, &key, nullptr)
                            : RegOpenKeyExA(Root, fromRoot.c_str(), 0, access, &key);
    if (status != ERROR_SUCCESS) return false;
    Current.Reset(key);
    return true;
}

bool TRegistry::ValueExists(const std::string& name) const
{
    return Current && RegQueryValueExA(Current.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool TRegistry::ReadValue(const std::string& name, DWORD& type, std::vector<BYTE>& data) const
{
    data.clear();
    if (!Current) return false;
    DWORD size = 0;
    LONG status = RegQueryValueExA(Current.Get(), name.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between asking its size and reading it: ask again then.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        data.resize(std::max<DWORD>(size, 1));
        size = static_cast<DWORD>(data.size());
        status = RegQueryValueExA(Current.Get(), name.c_str(), nullptr, &type, data.data(), &size);
        if (status == ERROR_SUCCESS) {
            data.resize(size);
            return true;
        }
    }
    data.clear();
    return false;
}

bool TRegistry::WriteText(const std::string& name, DWORD type, const std::string& value)
{
    return Current && RegSetValueExA(Current.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool TRegistry::WriteString(const std::string& name, const std::string& value)
{
    return WriteText(name, REG_SZ, value);
}

bool TRegistry::WriteExpandString(const std::string& name, const std::string& value)
{
    return WriteText(name, REG_EXPAND_SZ, value);
}

bool TRegistry::WriteDword(const std::string& name, DWORD value)
{
    return Current && RegSetValueExA(Current.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                     sizeof value) == ERROR_SUCCESS;
}

bool TRegistry::GetKeyNames(TStrings& names) const
{
    names.clear();
    if (!Current) return false;
    DWORD longestName = 0;
    if (RegQueryInfoKeyA(Current.Get(), nullptr, nullptr, nullptr, nullptr, &longestName, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    std::vector<char> name(longestName + 1);
    DWORD index = 0;
    for (;;) {
        DWORD length = static_cast<DWORD>(name.size());
        LONG status = RegEnumKeyExA(Current.Get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) return true;
        if (status == ERROR_MORE_DATA) {
            // A longer name was added meanwhile: make room and read the same index again.
            name.resize(name.size() * 2);
            continue;
        }
        if (status != ERROR_SUCCESS) return false;
        names.emplace_back(name.data(), length);
        ++index;
    }
}

void ReadRegValue(TRegistry* registry, HKEY rootKey, const std::string& keyPath, const std::string& valueName,
                  std::string& text)
{
    text.clear();
    TRegistry ownRegistry;
    TRegistry& reg = registry ? *registry : ownRegistry;
    reg.SetRootKey(rootKey);
    if (!reg.OpenKey(keyPath, false)) return;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    if (reg.ValueExists(valueName) && reg.ReadValue(valueName, type, data)) {
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            text = TextOf(data);
        } else if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
            DWORD value = 0;
            std::memcpy(&value, data.data(), sizeof value);
            text = std::to_string(value);
        }
    }
    reg.CloseKey();
}

void WriteRegValue(TRegistry* registry, HKEY rootKey, const std::string& keyPath, const std::string& valueName,
                   const std::string& value, RegValueKind kind)
{
    TRegistry ownRegistry;
    TRegistry& reg = registry ? *registry : ownRegistry;
    reg.SetRootKey(rootKey);
    if (!reg.OpenKey(keyPath, true)) return;
    switch (kind) {
    case RegValueKind::String: reg.WriteString(valueName, value); break;
    case RegValueKind::ExpandString: reg.WriteExpandString(valueName, value); break;
    case RegValueKind::Dword: reg.WriteDword(valueName, static_cast<DWORD>(ReadInteger(value, 0))); break;
    }
    reg.CloseKey();
}
