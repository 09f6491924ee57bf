// Whole-file reads and appends with the platform's own file calls.
#include "platform/Files.h"

#include <windows.h>

#include <algorithm>

#include "platform/ReportFailure.h"
#include "platform/UniqueHandle.h"

namespace {

template <typename Buffer>
std::optional<Buffer> ReadUpTo(const std::string& path, size_t maxBytes)
{
    if (path.empty()) return std::nullopt;
    // Shared for writing too: the lock screen may be appending to the same file.
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || GetFileType(file.Get()) != FILE_TYPE_DISK) return std::nullopt;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > maxBytes)
        return std::nullopt;
    Buffer content(static_cast<size_t>(size.QuadPart), 0);
    size_t total = 0;
    while (total < content.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(content.size() - total, MAXDWORD));
        DWORD got = 0;
        if (!ReadFile(file.Get(), &content[total], chunk, &got, nullptr)) return std::nullopt;
        if (got == 0) break;   // cut shorter since the size was taken
        total += got;
    }
    content.resize(total);
    return content;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes)
{
    return ReadUpTo<std::string>(path, maxBytes);
}

std::optional<std::vector<unsigned char>> ReadWholeFileBytes(const std::string& path, size_t maxBytes)
{
    return ReadUpTo<std::vector<unsigned char>>(path, maxBytes);
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
