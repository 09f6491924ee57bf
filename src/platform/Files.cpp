// Whole-file reads and appends with the platform's own file calls.
#include "platform/Files.h"

#include <windows.h>

#include "platform/ReportFailure.h"
#include "platform/UniqueHandle.h"

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    // Shared for writing too: the lock screen may be appending to the same file.
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string content;
    char buffer[16384];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) {
        if (read == 0) return content;
        content.append(buffer, read);
    }
    return std::nullopt;
}

std::optional<std::string> AppendToFile(const std::string& path, const std::string& bytes)
{
    UniqueFile file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return SystemErrorText(GetLastError());
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return SystemErrorText(GetLastError());
    if (written != bytes.size()) return SystemErrorText(ERROR_HANDLE_DISK_FULL);
    if (!CloseHandle(file.Release())) return SystemErrorText(GetLastError());
    return std::nullopt;
}
