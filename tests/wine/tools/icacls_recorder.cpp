// Stands in for icacls.exe, which Wine has only as a stub, so that a test sees the permission
// commands a setup program runs: appends its command line (after the program's name) as one
// line to the file named by HALVEX_ICACLS_LOG and exits with 0, or with the code that
// HALVEX_ICACLS_EXIT names, to stand for a failure.
#include <windows.h>

#include <cstdlib>
#include <string>

int main()
{
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("HALVEX_ICACLS_LOG", path, sizeof path);
    if (length == 0 || length >= sizeof path) return 0;
    // The arguments as the program received them: what follows its own (maybe quoted) name.
    std::string line = GetCommandLineA();
    size_t start = 0;
    if (!line.empty() && line[0] == '"') {
        start = line.find('"', 1);
        start = start == std::string::npos ? line.size() : start + 1;
    } else {
        start = line.find(' ');
        if (start == std::string::npos) start = line.size();
    }
    while (start < line.size() && line[start] == ' ') ++start;
    line = line.substr(start) + "\r\n";
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    char exitCode[16];
    length = GetEnvironmentVariableA("HALVEX_ICACLS_EXIT", exitCode, sizeof exitCode);
    if (length > 0 && length < sizeof exitCode) return atoi(exitCode);
    return ok ? 0 : 1;
}
