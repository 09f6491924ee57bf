// The file operations the settings store needs, behind one small interface so
// the store itself stays portable and tests can inject failures.
#pragma once

#include <cstdint>
#include <string>

#include "common/InOutError.h"

// The attributes a file written anew has anyway (archive, normal), as the platform numbers them.
constexpr uint32_t PlainFileAttributes = 0x20 | 0x80;

class StorageFiles {
public:
    virtual ~StorageFiles() = default;

    virtual bool Exists(const std::string& path) = 0;
    // Creates an empty file; failures are ignored by the caller.
    virtual void CreateEmpty(const std::string& path) = 0;
    // Whole content of the file; throws EInOutError.
    virtual std::string ReadAll(const std::string& path) = 0;
    // Creates or truncates the file and writes bytes, flushed to disk; throws EInOutError.
    virtual void WriteDurably(const std::string& path, const std::string& bytes) = 0;
    // Attribute bits as the platform defines them; 0 where there are none.
    virtual uint32_t GetAttributes(const std::string& path) = 0;
    virtual void SetAttributes(const std::string& path, uint32_t attributes) = 0;
    // Puts source in place of target in one step, durably; throws EInOutError,
    // and then target is left as it was.
    virtual void Replace(const std::string& source, const std::string& target) = 0;
    virtual void Remove(const std::string& path) = 0;
};

// The platform's own files (Win32 or POSIX, chosen at link time).
StorageFiles& PlatformStorageFiles();
