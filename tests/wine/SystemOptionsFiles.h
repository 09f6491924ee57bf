// The system options that "hvxw.exe Uninstall" gives back, as the tests set them up and expect
// them: the 9x start-up file c:\msdos.sys (samples before and after "Yes") and the network
// logon key; and raw file access to set up and read that file, independent of the code under test.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "platform/UniqueHandle.h"

namespace system_options {

constexpr char StartupFile[] = "c:\\msdos.sys";
constexpr char StartupTemporary[] = "c:\\msdos.$$$";
constexpr char LogonKeyPath[] = "Network\\Logon";
constexpr char MustBeValidated[] = "MustBeValidated";

constexpr DWORD HiddenSystemReadOnly = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;

// A 9x start-up file with the options section between two others.
constexpr char StartupBefore[] =
    "[Paths]\r\nWinDir=C:\\WINDOWS\r\n"
    "[Options]\r\nBootGUI=1\r\nBootKeys=0\r\nLogo=0\r\n"
    "[Compatibility]\r\n;The following lines are required for compatibility with other programs.\r\n";
constexpr char StartupAfterYes[] =
    "[Paths]\r\nWinDir=C:\\WINDOWS\r\n"
    "[Options]\r\nBootGUI=1\r\nBootKeys=1\r\nLogo=0\r\nBootMenu=0\r\n"
    "[Compatibility]\r\n;The following lines are required for compatibility with other programs.\r\n";
constexpr char StartupCreatedByYes[] = "[Options]\r\nBootKeys=1\r\nBootMenu=0\r\n";

inline std::optional<std::string> ReadBytes(const std::string& path)
{
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    std::string content;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
    return content;
}

inline bool WriteBytes(const std::string& path, const std::string& content, DWORD attributes)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    {
        UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        DWORD written = 0;
        if (!file || !WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
            written != content.size())
            return false;
    }
    return SetFileAttributesA(path.c_str(), attributes);
}

inline void RemoveFile(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

inline DWORD AttributesOf(const std::string& path)
{
    return GetFileAttributesA(path.c_str());
}

// Puts c:\msdos.sys back as the test found it: its content and attributes, or no file.
class SavedFile {
public:
    explicit SavedFile(std::string path)
        : Path(std::move(path)), Content(ReadBytes(Path)), Attributes(AttributesOf(Path))
    {
    }
    ~SavedFile()
    {
        if (Content)
            WriteBytes(Path, *Content, Attributes);
        else
            RemoveFile(Path);
    }
    SavedFile(const SavedFile&) = delete;
    SavedFile& operator=(const SavedFile&) = delete;

private:
    std::string Path;
    std::optional<std::string> Content;
    DWORD Attributes;
};

}  // namespace system_options
