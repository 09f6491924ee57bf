// The store's file operations on POSIX; Flush off lets a benchmark measure
// the store's own work without the disk.
#pragma once

#include "settings/StorageFiles.h"

class PosixStorageFiles : public StorageFiles {
public:
    explicit PosixStorageFiles(bool flush = true) : Flush(flush) {}

    bool Exists(const std::string& path) override;
    void CreateEmpty(const std::string& path) override;
    std::string ReadAll(const std::string& path) override;
    void WriteDurably(const std::string& path, const std::string& bytes) override;
    uint32_t GetAttributes(const std::string& path) override;
    void SetAttributes(const std::string& path, uint32_t attributes) override;
    void Replace(const std::string& source, const std::string& target) override;
    void Remove(const std::string& path) override;

private:
    bool Flush;
};
