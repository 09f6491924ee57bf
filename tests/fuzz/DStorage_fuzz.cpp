// Fuzzes the settings file decoder and the store's operations on damaged files.
// The first input byte picks the encoding and the names; the rest is the file.
#include "settings/DStorage.h"

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "settings/StorageFormat.h"

namespace {

// Files in memory: the fuzzer exercises the store, not the disk.
class MemoryFiles : public StorageFiles {
public:
    bool Exists(const std::string& path) override { return Files.count(path) != 0; }
    void CreateEmpty(const std::string& path) override { Files[path]; }
    std::string ReadAll(const std::string& path) override
    {
        auto found = Files.find(path);
        if (found == Files.end()) throw EInOutError("cannot open " + path, 2);
        return found->second;
    }
    void WriteDurably(const std::string& path, const std::string& bytes) override { Files[path] = bytes; }
    uint32_t GetAttributes(const std::string&) override { return 0; }
    void SetAttributes(const std::string&, uint32_t) override {}
    void Replace(const std::string& source, const std::string& target) override
    {
        Files[target] = std::move(Files[source]);
        Files.erase(source);
    }
    void Remove(const std::string& path) override { Files.erase(path); }

    std::map<std::string, std::string> Files;
};

const char* const Sections[] = {"", ".Default", "Anna", "anna", "[x]"};
const char* const Keys[] = {"LockPwd", "lockpwd", "Text", "", "K "};

void Check(bool condition)
{
    if (!condition) std::abort();
}

bool HasListCharacters(const std::string& content, bool scrambled)
{
    storage::LineReader reader(content, scrambled);
    std::string line;
    while (reader.Next(line)) {
        if (storage::OpensListBody(line) || storage::IsListEnd(line)) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const uint8_t choice = data[0];
    const bool scrambled = choice & 1;
    const std::string section = Sections[(choice >> 1) % 5];
    const std::string key = Keys[(choice >> 4) % 5];
    const std::string content(reinterpret_cast<const char*>(data + 1), size - 1);

    // Every decoded line encodes and decodes back to itself.
    {
        storage::LineReader reader(content, scrambled);
        std::string line, encoded, again;
        while (reader.Next(line)) {
            if (!scrambled && line.find('\n') != std::string::npos) std::abort();
            encoded.clear();
            storage::AppendLine(encoded, line, scrambled);
            storage::LineReader back(encoded, scrambled);
            Check(back.Next(again) && again == line);
        }
    }

    MemoryFiles files;
    files.Files["Halvex.dat"] = content;
    TDStorage store("Halvex.dat", scrambled, files);
    std::string value;
    TStrings lines;
    store.ReadString(section, key, value);
    store.ReadStrings(section, key, lines);

    const bool listFree = !HasListCharacters(content, scrambled);
    store.WriteString(section, key, "value=1!");
    store.WriteStrings(section, key, {"line one", "", "[not a header]"});
    Check(files.Files.count("Halvex.$$$") == 0);

    // Without stray list characters the written entries are exactly what reads back.
    // (An empty key also matches lines without "=", such as headers; keys with
    // leading blanks are written trimmed and so never match.)
    if (listFree && !key.empty() && section.find(']') == std::string::npos && storage::TrimLeft(key) == key &&
        storage::Trim(section) == section) {
        Check(store.ReadString(section, key, value) && value == "value=1!");
        Check(store.ReadStrings(section, key, lines) && lines.size() == 3 && lines[2] == "[not a header]");
    }
    return 0;
}
