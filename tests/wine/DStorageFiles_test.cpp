// The settings store on Windows files: attributes kept across a rewrite, a
// failed replace reported and harmless, and killed writers never leaving a
// broken file.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tools/StorageWriterContent.h"
#include "harness/AppDir.h"
#include "harness/Process.h"
#include "platform/UniqueHandle.h"
#include "settings/DStorage.h"

using harness::AppDir;

namespace {

constexpr DWORD HiddenSystemReadOnly = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;

std::string ReadBytes(const std::string& path)
{
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    std::string content;
    if (!file) return "<cannot open>";
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
    return content;
}

}  // namespace

TEST(DStorageWin32, RewriteKeepsTheFilesAttributes)
{
    struct Case {
        const char* Name;
        DWORD Attributes;
    } cases[] = {
        {"hidden, system, read-only", HiddenSystemReadOnly},
        {"archive only", FILE_ATTRIBUTE_ARCHIVE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        AppDir dir;
        ASSERT_TRUE(dir.WriteFile("msdos.sys", "[Options]\r\nBootGUI=1\r\n"));
        const std::string path = dir.PathOf("msdos.sys");
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), c.Attributes));

        TDStorage store(path, false);
        store.WriteString("Options", "BootKeys", "0");

        EXPECT_EQ(GetFileAttributesA(path.c_str()) & ~DWORD(FILE_ATTRIBUTE_ARCHIVE),
                  c.Attributes & ~DWORD(FILE_ATTRIBUTE_ARCHIVE));
        EXPECT_EQ(ReadBytes(path), "[Options]\r\nBootGUI=1\r\nBootKeys=0\r\n");
        EXPECT_FALSE(dir.Contains("msdos.$$$"));
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(DStorageWin32, MissingFileIsCreatedAndScrambledValuesRoundTrip)
{
    AppDir dir;
    TDStorage store(dir.PathOf("Halvex.dat"), true);
    EXPECT_TRUE(dir.Contains("Halvex.dat"));
    store.WriteString("", "HotKey", "0");
    store.WriteStrings("Anna", "Text", {"Hello!", "", "Second line"});
    EXPECT_EQ(ReadBytes(dir.PathOf("Halvex.dat")).find_first_of("\r\n"), std::string::npos);

    std::string value;
    TStrings lines;
    EXPECT_TRUE(store.ReadString("", "hotkey", value));
    EXPECT_EQ(value, "0");
    EXPECT_TRUE(store.ReadStrings("anna", "Text", lines));
    EXPECT_EQ(lines, (TStrings{"Hello!", "", "Second line"}));
}

TEST(DStorageWin32, FailedReplaceRaisesAndLeavesTheFileAsItWas)
{
    AppDir dir;
    const std::string path = dir.PathOf("Halvex.dat");
    TDStorage store(path, true);
    store.WriteString("Anna", "LockPwd", "old");
    const std::string before = ReadBytes(path);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));

    // Another program holds the file open without sharing delete access, so it
    // can be read but not replaced.
    UniqueFile holder(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_THROW(store.WriteString("Anna", "LockPwd", "new"), EInOutError);
    holder.Reset();

    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, DWORD(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_FALSE(dir.Contains("Halvex.$$$"));
    std::string value;
    EXPECT_TRUE(store.ReadString("Anna", "LockPwd", value));
    EXPECT_EQ(value, "old");
}

TEST(DStorageWin32, TemporaryFileThatCannotBeMadeFailsTheWrite)
{
    AppDir dir;
    const std::string path = dir.PathOf("Halvex.dat");
    TDStorage store(path, true);
    store.WriteString("Anna", "LockPwd", "old");
    const std::string before = ReadBytes(path);
    ASSERT_TRUE(CreateDirectoryA(dir.PathOf("Halvex.$$$").c_str(), nullptr));

    EXPECT_THROW(store.WriteString("Anna", "LockPwd", "new"), EInOutError);
    EXPECT_EQ(ReadBytes(path), before);
    RemoveDirectoryA(dir.PathOf("Halvex.$$$").c_str());
}

TEST(DStorageWin32, KilledWritersLeaveTheOldOrTheNewContent)
{
    AppDir dir;
    const std::string path = dir.PathOf("Halvex.dat");
    std::string versions[2];
    {
        TDStorage store(path, true);
        for (int v : {1, 0}) {
            WriteWriterContent(store, v);
            versions[v] = ReadBytes(path);
        }
    }
    ASSERT_NE(versions[0], versions[1]);

    std::mt19937 random(4711);
    constexpr int Rounds = 200;
    int killedMidRun = 0;
    for (int round = 0; round < Rounds; ++round) {
        harness::Process writer = harness::StartInAppDir(dir, "storage_writer.exe", "Halvex.dat");
        ASSERT_TRUE(writer.IsStarted());
        // Once it has written, end it a different distance into its writes each round.
        const std::string start = ReadBytes(path);
        ASSERT_TRUE(
            harness::PollUntil([&] { return ReadBytes(path) != start || !writer.IsRunning(); }, harness::Timeout(5000)))
            << "round " << round << ": the writer neither wrote nor ended";
        // A random distance into its writes, not a wait for anything.
        Sleep(random() % 20);
        killedMidRun += writer.IsRunning();
        writer.End();

        const std::string after = ReadBytes(path);
        ASSERT_TRUE(after == versions[0] || after == versions[1])
            << "round " << round << ": " << after.size() << " bytes";
    }
    EXPECT_EQ(killedMidRun, Rounds) << "every writer must have been ended while writing";
}
