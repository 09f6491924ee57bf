// One line per event, stamped; the file is started afresh once it has grown large.
#include "guard/win32/GuardLog.h"

#include <windows.h>

#include <cstdio>

#include "platform/UniqueHandle.h"

namespace {
constexpr DWORD LargestLogBytes = 256 * 1024;
}

void TGuardLog::Write(const std::string& text) const
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(Path.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow > LargestLogBytes)
        MoveFileExA(Path.c_str(), (Path + ".old").c_str(), MOVEFILE_REPLACE_EXISTING);
    UniqueFile file(CreateFileA(Path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u ", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    std::string line = stamp + text + "\r\n";
    DWORD written = 0;
    WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
