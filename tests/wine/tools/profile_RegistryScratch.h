// Registry keys a test makes for itself and removes afterwards, and raw access to the
// values it sets up and reads back, independent of the code under test.
#pragma once

#include <windows.h>

#include <optional>
#include <random>
#include <string>

#include "platform/UniqueHandle.h"

namespace registry_scratch {

// A key name no other test or run uses.
inline std::string UniqueKeyName(const std::string& prefix)
{
    std::random_device random;
    return prefix + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(random() % 1000000000u);
}

inline UniqueKey OpenKey(HKEY root, const std::string& path, REGSAM access)
{
    HKEY key = nullptr;
    return UniqueKey(RegOpenKeyExA(root, path.c_str(), 0, access, &key) == ERROR_SUCCESS ? key : nullptr);
}

// Creates the key when missing.
inline UniqueKey CreateKey(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    return UniqueKey(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
                             ERROR_SUCCESS
                         ? key
                         : nullptr);
}

inline bool KeyExists(HKEY root, const std::string& path)
{
    return static_cast<bool>(OpenKey(root, path, KEY_READ));
}

// Removes, when it goes, whatever of path was missing when it was made: the topmost
// missing key with all below it. Keys that were there already are left as they were.
class CreatedKeys {
public:
    CreatedKeys(HKEY root, const std::string& path) : Root(root)
    {
        for (size_t end = 0; end != std::string::npos;) {
            end = path.find('\\', end + 1);
            std::string prefix = path.substr(0, end);
            if (!KeyExists(root, prefix)) {
                TopMissing = prefix;
                break;
            }
        }
    }
    ~CreatedKeys() { Remove(); }
    CreatedKeys(const CreatedKeys&) = delete;
    CreatedKeys& operator=(const CreatedKeys&) = delete;

    void Remove()
    {
        if (!TopMissing.empty()) RegDeleteTreeA(Root, TopMissing.c_str());
    }
    bool WasMissing() const { return !TopMissing.empty(); }

private:
    HKEY Root;
    std::string TopMissing;
};

struct StoredValue {
    DWORD Type = REG_NONE;
    std::string Bytes;
};

inline std::optional<StoredValue> QueryValue(HKEY root, const std::string& path, const std::string& name)
{
    UniqueKey key = OpenKey(root, path, KEY_READ);
    if (!key) return std::nullopt;
    StoredValue value;
    char data[4096];
    DWORD size = sizeof data;
    LONG status =
        RegQueryValueExA(key.Get(), name.c_str(), nullptr, &value.Type, reinterpret_cast<BYTE*>(data), &size);
    if (status != ERROR_SUCCESS) return std::nullopt;
    value.Bytes.assign(data, size);
    return value;
}

// Creates the key when missing.
inline bool SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::string& bytes)
{
    UniqueKey key = CreateKey(root, path);
    return key && RegSetValueExA(key.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

inline std::string DwordBytes(DWORD value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// The bytes of a string value as the ANSI functions store it: with its terminating NUL.
inline std::string StringBytes(const std::string& text)
{
    return text + '\0';
}

}  // namespace registry_scratch
