// Time per call of the settings store on scrambled files of 1, 100 and 1,000
// profile sections of 20 keys each, with and without the flush to disk.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "settings/DStorage.h"
#include "settings/PosixStorageFiles.h"
#include "settings/StorageFormat.h"

namespace {

constexpr int KeysPerProfile = 20;

std::string ProfileName(int i) { return "User" + std::to_string(i); }
std::string KeyName(int k) { return "Key" + std::to_string(k); }

// A file as a save of that many profiles would leave it.
std::string MakeFile(const std::string& folder, int profiles)
{
    std::string content;
    for (int p = 0; p < profiles; ++p) {
        storage::AppendScrambledLine(content, "[" + ProfileName(p) + "]");
        for (int k = 0; k < KeysPerProfile; ++k)
            storage::AppendScrambledLine(content, KeyName(k) + "=" + std::to_string(p * 1000 + k) + "0.375");
    }
    const std::string path = folder + "/Halvex" + std::to_string(profiles) + ".dat";
    PosixStorageFiles(false).WriteDurably(path, content);
    return path;
}

class Scratch {
public:
    Scratch()
    {
        std::string pattern = (std::filesystem::current_path() / "storage-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        Path = pattern;
    }
    ~Scratch() { std::filesystem::remove_all(Path); }
    std::string Path;
};

void BM_WriteString(benchmark::State& state)
{
    Scratch scratch;
    const int profiles = static_cast<int>(state.range(0));
    PosixStorageFiles files(state.range(1) != 0);
    TDStorage store(MakeFile(scratch.Path, profiles), true, files);
    const std::string section = ProfileName(profiles / 2);
    int n = 0;
    for (auto _ : state) store.WriteString(section, KeyName(7), std::to_string(n++));
    state.counters["file_kB"] = static_cast<double>(std::filesystem::file_size(store.FileName())) / 1000;
}

void BM_ReadStringLastKey(benchmark::State& state)
{
    Scratch scratch;
    const int profiles = static_cast<int>(state.range(0));
    TDStorage store(MakeFile(scratch.Path, profiles), true);
    const std::string section = ProfileName(profiles - 1);
    const std::string key = KeyName(KeysPerProfile - 1);
    std::string value;
    for (auto _ : state) {
        if (!store.ReadString(section, key, value)) state.SkipWithError("last key not found");
        benchmark::DoNotOptimize(value);
    }
}

}  // namespace

// Second argument: 1 = flushed to disk as the program does, 0 = without the flush.
BENCHMARK(BM_WriteString)->ArgNames({"profiles", "flush"})
    ->ArgsProduct({{1, 100, 1000}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadStringLastKey)->ArgNames({"profiles"})->Arg(1)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
