// Windows 98 for hvxw.exe under Wine, and that family's list of user profiles:
// set up for a test and removed again at its end.
#pragma once

#include <windows.h>

#include <string>

namespace halvex_test {

constexpr char Win98Key[] = "Software\\Wine\\AppDefaults\\hvxw.exe";
constexpr char ProfileList9x[] = "Software\\Microsoft\\Windows\\CurrentVersion\\ProfileList";

// For its lifetime, hvxw.exe in this Wine session sees Windows 98.
class Windows98 {
public:
    Windows98()
    {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, Win98Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
        RegCloseKey(key);
    }
    ~Windows98() { RegDeleteKeyA(HKEY_CURRENT_USER, Win98Key); }
    Windows98(const Windows98&) = delete;
    Windows98& operator=(const Windows98&) = delete;
};

// The 9x family's profile list with one profile, removed again afterwards.
class ProfileList {
public:
    explicit ProfileList(const std::string& profile) : Key(std::string(ProfileList9x) + "\\" + profile)
    {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, Key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        std::string folder = "C:\\Windows\\Profiles\\" + profile;
        RegSetValueExA(key, "ProfileImagePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>(folder.size() + 1));
        RegCloseKey(key);
    }
    ~ProfileList()
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, Key.c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, ProfileList9x);
    }
    ProfileList(const ProfileList&) = delete;
    ProfileList& operator=(const ProfileList&) = delete;

private:
    std::string Key;
};

}  // namespace halvex_test
