// The store's file operations on Windows: flushed writes, attribute handling
// and a replace of the bound file in one step.
#include "settings/StorageFiles.h"

#include <algorithm>

#include "platform/UniqueHandle.h"

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path)
{
    throw EInOutError(what + " " + path, GetLastError());
}

class Win32StorageFiles : public StorageFiles {
public:
    bool Exists(const std::string& path) override
    {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    void CreateEmpty(const std::string& path) override
    {
        UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    std::string ReadAll(const std::string& path) override
    {
        UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file) Fail("cannot open", path);
        std::string content;
        char buffer[65536];
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) Fail("cannot read", path);
            if (got == 0) break;
            content.append(buffer, got);
        }
        return content;
    }

    void WriteDurably(const std::string& path, const std::string& bytes) override
    {
        UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) Fail("cannot create", path);
        size_t written = 0;
        while (written < bytes.size()) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 20));
            DWORD put = 0;
            if (!WriteFile(file.Get(), bytes.data() + written, chunk, &put, nullptr) || put == 0) Fail("cannot write", path);
            written += put;
        }
        if (!FlushFileBuffers(file.Get())) Fail("cannot flush", path);
        if (!CloseHandle(file.Release())) Fail("cannot close", path);
    }

    uint32_t GetAttributes(const std::string& path) override { return GetFileAttributesA(path.c_str()); }

    void SetAttributes(const std::string& path, uint32_t attributes) override
    {
        if (attributes == INVALID_FILE_ATTRIBUTES) return;   // nothing was saved to restore
        SetFileAttributesA(path.c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes);
    }

    void Replace(const std::string& source, const std::string& target) override
    {
        // A file that another program (a virus scanner, an indexer, a reader of
        // ours) has open cannot be replaced; such opens are brief, so wait them out.
        for (int attempt = 1;; ++attempt) {
            if (MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return;
            DWORD error = GetLastError();
            bool busy = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
            if (!busy || attempt == ReplaceAttempts) Fail("cannot replace", target);
            Sleep(ReplaceRetryMilliseconds);
        }
    }

private:
    static constexpr int ReplaceAttempts = 20;
    static constexpr DWORD ReplaceRetryMilliseconds = 25;

    void Remove(const std::string& path) override { DeleteFileA(path.c_str()); }
};

}  // namespace

StorageFiles& PlatformStorageFiles()
{
    static Win32StorageFiles files;
    return files;
}
