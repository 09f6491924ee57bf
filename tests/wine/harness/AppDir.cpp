// Per-test folders under the run's scratch folder.
#include "harness/AppDir.h"

#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "harness/Handles.h"
#include "harness/SystemError.h"
#include "harness/Wait.h"

namespace harness {

namespace {

constexpr char ScratchVariable[] = "HALVEX_WINE_SCRATCH";
constexpr char FallbackScratchName[] = "halvex-wine";

std::string Environment(const char* name)
{
    char value[MAX_PATH * 2];
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

std::string ParentOf(const std::string& path)
{
    auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path)
{
    auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolders(const std::string& path)
{
    if (path.empty() || IsFolder(path)) return true;
    std::string parent = ParentOf(path);
    if (!parent.empty() && parent != path && !MakeFolders(parent)) return false;
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    UniqueFind find(FindFirstFileA(JoinPath(folder, "*").c_str(), &found));
    if (!find) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find.Get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::string& path)
{
    if (IsFolder(path)) {
        for (const auto& name : NamesIn(path)) RemoveTree(JoinPath(path, name));
        RemoveDirectoryA(path.c_str());
    } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

// A test's full name as a folder name: parameterised names hold '/'.
std::string FolderNameOfCurrentTest()
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "outside-test";
    for (char& c : name) {
        if (std::string("\\/:*?\"<>|").find(c) != std::string::npos) c = '_';
    }
    return name;
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder + name;
    return folder + "\\" + name;
}

std::string ExeDir()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return ParentOf(std::string(path, length));
}

std::string ScratchRoot()
{
    std::string root = Environment(ScratchVariable);
    if (root.empty()) return JoinPath(Environment("TEMP"), FallbackScratchName);
    // Wine maps the Unix root to drive Z:.
    if (root.front() == '/') root = "Z:" + root;
    std::replace(root.begin(), root.end(), '/', '\\');
    return root;
}

AppDir::AppDir(CallSite at)
{
    std::string root = ScratchRoot();
    if (!MakeFolders(root)) {
        ReportFailure(at, "Cannot make the scratch folder " + root + ": " + DescribeLastError());
        return;
    }
    std::string base = JoinPath(root, FolderNameOfCurrentTest());
    for (int attempt = 1; attempt < 1000; ++attempt) {
        std::string candidate = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            Folder = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            ReportFailure(at, "Cannot make the AppDir " + candidate + ": " + DescribeLastError());
            return;
        }
    }
    ReportFailure(at, "No free AppDir name under " + base);
}

AppDir::~AppDir()
{
    if (Folder.empty() || ::testing::Test::HasFailure()) return;
    RemoveTree(Folder);
}

bool AppDir::WriteFile(const std::string& name, const std::string& content, CallSite at) const
{
    std::string path = PathOf(name);
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (Folder.empty() || !file ||
        !::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
        written != content.size()) {
        ReportFailure(at, "Cannot write " + path + ": " + DescribeLastError());
        return false;
    }
    return true;
}

bool AppDir::CopyIn(const std::string& sourcePath, const std::string& name, CallSite at) const
{
    std::string target = PathOf(name.empty() ? FileNameOf(sourcePath) : name);
    if (Folder.empty() || !CopyFileA(sourcePath.c_str(), target.c_str(), FALSE)) {
        ReportFailure(at, "Cannot copy " + sourcePath + " to " + target + ": " + DescribeLastError());
        return false;
    }
    return true;
}

std::optional<std::string> AppDir::ReadFile(const std::string& name) const
{
    if (Folder.empty()) return std::nullopt;
    UniqueFile file(CreateFileA(PathOf(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string content;
    char buffer[16384];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
        if (got == 0) return content;
        content.append(buffer, got);
    }
}

bool AppDir::Contains(const std::string& name) const
{
    return !Folder.empty() && GetFileAttributesA(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> AppDir::List() const
{
    return Folder.empty() ? std::vector<std::string>() : NamesIn(Folder);
}

}  // namespace harness
