// TDStorage: the settings file store. Named entries and lists in named
// sections of an INI-like file, either plain text or scrambled line by line.
// Nothing is cached: every read scans the file, every write rewrites it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/Strings.h"
#include "settings/StorageFiles.h"


class TDStorage {
public:
    TDStorage(const std::string& fileName, bool scrambled);
    TDStorage(const std::string& fileName, bool scrambled, StorageFiles& files);

    void SetFile(const std::string& fileName, bool scrambled);

    bool ReadString(const std::string& section, const std::string& key, std::string& value) const;
    bool ReadStrings(const std::string& section, const std::string& key, TStrings& lines) const;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    bool WriteStrings(const std::string& section, const std::string& key, const TStrings& lines);

    const std::string& FileName() const { return FileName_; }
    bool Scrambled() const { return Scrambled_; }

private:
    std::string ReadContent() const;
    void ReplaceWith(const std::string& content);
    void WriteEntry(const std::string& section, const std::function<bool(const std::string&)>& isOldEntry,
                    bool oldIsList, const std::function<void(std::string&)>& appendEntry);

    std::string FileName_;
    uint32_t SavedAttributes = 0;
    bool Scrambled_ = false;
    StorageFiles* Files;
};

// The temporary sibling a write goes through: the extension replaced by ".$$$".
std::string TemporaryFileName(const std::string& fileName);
