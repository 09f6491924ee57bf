// ReadWholeFile with the platform's own file calls.
#include "platform/Files.h"

#include <windows.h>

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
