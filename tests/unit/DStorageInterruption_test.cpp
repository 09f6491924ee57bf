// A write interrupted at any point leaves the settings file whole: the old
// content or the new one, never a mix, never empty.
#include "settings/DStorage.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "TempFolder.h"
#include "settings/PosixStorageFiles.h"

namespace {

struct Crash {};

// Real files, but the process "dies" at one point of a write: part-way into
// the temporary file (step 0, after a given number of its bytes) or just
// before a later step. Nothing the dead process would still do takes place.
class CrashingFiles : public PosixStorageFiles {
public:
    static constexpr uint32_t HiddenAttribute = 0x2;

    explicit CrashingFiles(int crashAtStep, size_t temporaryBytes = 0)
        : CrashAtStep(crashAtStep), TemporaryBytes(temporaryBytes) {}

    void WriteDurably(const std::string& path, const std::string& bytes) override
    {
        if (Crashing()) {
            PosixStorageFiles::WriteDurably(path, bytes.substr(0, std::min(TemporaryBytes, bytes.size())));
            throw Crash{};
        }
        if (!Dead) PosixStorageFiles::WriteDurably(path, bytes);
    }
    // Hidden, as c:\msdos.sys is: the write then also clears and restores attributes,
    // which a plain file is spared.
    uint32_t GetAttributes(const std::string&) override
    {
        if (Crashing()) throw Crash{};
        return HiddenAttribute;
    }
    void SetAttributes(const std::string& path, uint32_t attributes) override
    {
        if (Crashing()) throw Crash{};
        if (!Dead) PosixStorageFiles::SetAttributes(path, attributes);
    }
    void Replace(const std::string& source, const std::string& target) override
    {
        if (Crashing()) throw Crash{};
        if (!Dead) PosixStorageFiles::Replace(source, target);
    }
    void Remove(const std::string& path) override
    {
        if (Crashing()) throw Crash{};
        if (!Dead) PosixStorageFiles::Remove(path);
    }

    int Steps = 0;

private:
    bool Crashing()
    {
        if (Dead || Steps++ != CrashAtStep) return false;
        Dead = true;
        return true;
    }

    int CrashAtStep;
    size_t TemporaryBytes;
    bool Dead = false;
};

// A replace that fails as a locked or vanished target would make it fail.
class FailingReplaceFiles : public PosixStorageFiles {
public:
    void Replace(const std::string&, const std::string& target) override
    {
        errno = EACCES;
        throw EInOutError("cannot replace " + target, EACCES);
    }
};

std::string ProfileValue(char fill) { return std::string(3000, fill); }

void WriteProfile(TDStorage& store, char fill)
{
    store.WriteString("Anna", "Text", ProfileValue(fill));
}

}  // namespace

TEST(DStorageInterruption, CrashAtEveryStepAndByteLeavesOldOrNew)
{
    TempFolder folder;
    const std::string path = folder.File("Halvex.dat");
    {
        TDStorage store(path, true);
        WriteProfile(store, 'o');
        store.WriteString("", "HotKey", "16576");
    }
    const std::string oldBytes = TempFolder::Read(path);

    // The steps of one write: temporary file, attributes saved and cleared,
    // replace, attributes restored.
    CrashingFiles probe(-1);
    {
        TDStorage store(path, true, probe);
        WriteProfile(store, 'n');
    }
    const std::string newBytes = TempFolder::Read(path);
    const int steps = probe.Steps;
    ASSERT_GE(steps, 4);
    ASSERT_NE(oldBytes, newBytes);

    int interruptions = 0;
    auto crashAndCheck = [&](int step, size_t bytes) {
        TempFolder::Write(path, oldBytes);
        CrashingFiles files(step, bytes);
        TDStorage store(path, true, files);
        EXPECT_THROW(WriteProfile(store, 'n'), Crash) << "step " << step;
        ++interruptions;

        const std::string after = TempFolder::Read(path);
        EXPECT_TRUE(after == oldBytes || after == newBytes) << "step " << step << ", byte " << bytes;
        TDStorage reader(path, true);
        std::string value;
        EXPECT_TRUE(reader.ReadString("", "HotKey", value)) << "step " << step;
        EXPECT_EQ(value, "16576");
    };
    // Part-way through the temporary file, at some 250 points of it.
    for (size_t bytes = 0; bytes <= newBytes.size(); bytes += newBytes.size() / 250 + 1) crashAndCheck(0, bytes);
    // Just before each later step.
    for (int step = 1; step < steps; ++step) crashAndCheck(step, 0);
    EXPECT_GE(interruptions, 200);
}

TEST(DStorageInterruption, FailedReplaceRaisesAndKeepsTheFile)
{
    TempFolder folder;
    const std::string path = folder.File("Halvex.dat");
    {
        TDStorage store(path, true);
        WriteProfile(store, 'o');
    }
    const std::string oldBytes = TempFolder::Read(path);

    FailingReplaceFiles files;
    TDStorage store(path, true, files);
    EXPECT_THROW(WriteProfile(store, 'n'), EInOutError) << "a lost change must not look saved";
    EXPECT_EQ(TempFolder::Read(path), oldBytes);
    EXPECT_FALSE(std::filesystem::exists(folder.File("Halvex.$$$")));
}

TEST(DStorageInterruption, KilledWriterProcessesLeaveOldOrNew)
{
    TempFolder folder;
    const std::string path = folder.File("Halvex.dat");
    std::string versions[2];
    for (int v = 0; v < 2; ++v) {
        TDStorage store(path, true);
        WriteProfile(store, v ? 'b' : 'a');
        versions[v] = TempFolder::Read(path);
    }

    std::mt19937 random(2024);
    int kills = 0;
    for (int round = 0; round < 200; ++round) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TDStorage store(path, true);
            for (int i = 0;; ++i) WriteProfile(store, (i & 1) ? 'b' : 'a');
        }
        // Let it get somewhere into its writes, a different distance each round.
        usleep(static_cast<useconds_t>(random() % 3000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        kills += WIFSIGNALED(status);

        const std::string after = TempFolder::Read(path);
        ASSERT_TRUE(after == versions[0] || after == versions[1]) << "round " << round << ": " << after.size() << " bytes";
    }
    EXPECT_EQ(kills, 200);
}
