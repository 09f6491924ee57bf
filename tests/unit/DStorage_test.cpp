// The settings store's four operations on real files, in both encodings.
#include "settings/DStorage.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "settings/PosixStorageFiles.h"
#include "settings/StorageFormat.h"

namespace {

using Lines = std::vector<std::string>;

Lines LogicalLines(const std::string& path, bool scrambled)
{
    const std::string content = TempFolder::Read(path);
    storage::LineReader reader(content, scrambled);
    Lines lines;
    std::string line;
    while (reader.Next(line)) lines.push_back(line);
    return lines;
}

std::string Encode(const Lines& lines, bool scrambled)
{
    std::string out;
    for (const auto& line : lines) storage::AppendLine(out, line, scrambled);
    return out;
}

// Runs every case in both encodings: the algorithms must not depend on them.
class DStorageTest : public ::testing::TestWithParam<bool> {
protected:
    bool Scrambled() const { return GetParam(); }
    std::string Path() const { return Folder.File("Halvex.dat"); }
    void Given(const Lines& lines) const { TempFolder::Write(Path(), Encode(lines, Scrambled())); }
    Lines Now() const { return LogicalLines(Path(), Scrambled()); }
    TDStorage Store() const { return TDStorage(Path(), Scrambled()); }

    TempFolder Folder;
};

INSTANTIATE_TEST_SUITE_P(Encodings, DStorageTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Scrambled" : "Plain"; });

}  // namespace

TEST_P(DStorageTest, MissingFileIsCreatedEmptyAndReadsNotFound)
{
    TDStorage store = Store();
    EXPECT_TRUE(TempFolder::Read(Path()).empty());
    std::string value = "stale";
    EXPECT_FALSE(store.ReadString("", "HotKey", value));
    EXPECT_EQ(value, "");
    TStrings lines = {"stale"};
    EXPECT_FALSE(store.ReadStrings("", "Text", lines));
    EXPECT_TRUE(lines.empty());
}

TEST_P(DStorageTest, FirstWriteIntoEmptyFileMakesHeaderAndEntry)
{
    TDStorage store = Store();
    EXPECT_TRUE(store.WriteString("", "HotKey", "0"));
    EXPECT_EQ(Now(), (Lines{"[]", "HotKey=0"}));
    std::string value;
    EXPECT_TRUE(store.ReadString("", "HotKey", value));
    EXPECT_EQ(value, "0");
}

TEST_P(DStorageTest, KeysAndSectionsMatchIgnoringAsciiCase)
{
    Given({"[Anna]", "LockPwd=secret", "[Bob]", "LockPwd =spaced"});
    TDStorage store = Store();
    std::string value;
    EXPECT_TRUE(store.ReadString("anna", "lockpwd", value));
    EXPECT_EQ(value, "secret");
    EXPECT_FALSE(store.ReadString("Bob", "LockPwd", value)) << "a blank before '=' is part of the key";
    EXPECT_TRUE(store.ReadString("Bob", "LockPwd ", value));
    EXPECT_EQ(value, "spaced");
}

TEST_P(DStorageTest, ValuesKeepEqualsSignsAndExclamationMarks)
{
    TDStorage store = Store();
    store.WriteString("S", "A", "b=c");
    store.WriteString("S", "Text", "Hello! World!");
    std::string value;
    EXPECT_TRUE(store.ReadString("S", "A", value));
    EXPECT_EQ(value, "b=c");
    EXPECT_TRUE(store.ReadString("S", "Text", value));
    EXPECT_EQ(value, "Hello! World!");
    EXPECT_EQ(Now(), (Lines{"[S]", "A=b=c", "Text=Hello! World!"}));
}

TEST_P(DStorageTest, FirstMatchWinsAcrossRepeatedSections)
{
    Given({"stray=before any header", "[A]", "x=1", "[B]", "y=2", "[A]", "x=3", "y=4", "x=5"});
    TDStorage store = Store();
    std::string value;
    EXPECT_FALSE(store.ReadString("", "stray", value)) << "lines before the first header belong to no section";
    EXPECT_TRUE(store.ReadString("A", "x", value));
    EXPECT_EQ(value, "1");
    EXPECT_TRUE(store.ReadString("A", "y", value)) << "a repeated section is searched too";
    EXPECT_EQ(value, "4");
}

TEST_P(DStorageTest, WriteReplacesInPlaceAndDropsLaterDuplicates)
{
    Given({"; comment", "[A]", "x=1", "other=o", "x=2", "", "[B]", "x=9", "[A]", "x=3"});
    Store().WriteString("A", "X", "new");
    EXPECT_EQ(Now(), (Lines{"; comment", "[A]", "X=new", "other=o", "", "[B]", "x=9", "[A]"}));
}

TEST_P(DStorageTest, MissingEntryGoesLastInItsSection)
{
    Given({"[A]", "x=1", "[B]", "y=2"});
    Store().WriteString("A", "z", "3");
    EXPECT_EQ(Now(), (Lines{"[A]", "x=1", "z=3", "[B]", "y=2"}));
    Store().WriteString("B", "w", "4");
    EXPECT_EQ(Now(), (Lines{"[A]", "x=1", "z=3", "[B]", "y=2", "w=4"}));
}

TEST_P(DStorageTest, MissingSectionIsAppendedWithTheEntryAfterItsHeader)
{
    Given({"[A]", "x=1"});
    Store().WriteString("  New Profile ", "  LockPwd", "p");
    EXPECT_EQ(Now(), (Lines{"[A]", "x=1", "[New Profile]", "LockPwd=p"}));
}

TEST_P(DStorageTest, RepeatedSectionRightAfterTheTargetKeepsItsLines)
{
    Given({"[A]", "x=1", "[A]", "y=2", "[B]", "z=3"});
    Store().WriteString("A", "k", "v");
    EXPECT_EQ(Now(), (Lines{"[A]", "x=1", "k=v", "[A]", "y=2", "[B]", "z=3"}));
    Store().WriteStrings("A", "list", {"i1"});
    EXPECT_EQ(Now(), (Lines{"[A]", "x=1", "k=v", "list=\3", "i1", "\4", "[A]", "y=2", "[B]", "z=3"}));
}

TEST_P(DStorageTest, ListsRoundTripAndStopAtTheirEnd)
{
    TDStorage store = Store();
    store.WriteStrings("Anna", "Text", {"first line", "", "  indented", "K=v", "[NotAHeader]"});
    store.WriteString("Anna", "After", "1");
    TStrings lines;
    EXPECT_TRUE(store.ReadStrings("Anna", "text", lines));
    EXPECT_EQ(lines, (TStrings{"first line", "", "  indented", "K=v", "[NotAHeader]"}));
    std::string value;
    EXPECT_FALSE(store.ReadString("Anna", "K", value)) << "list items are never entries";
    EXPECT_FALSE(store.ReadString("NotAHeader", "x", value));
    EXPECT_TRUE(store.ReadString("Anna", "After", value));
}

TEST_P(DStorageTest, EmptyListIsEntryAndClosingLineOnly)
{
    TDStorage store = Store();
    store.WriteStrings("S", "Text", {});
    EXPECT_EQ(Now(), (Lines{"[S]", "Text=\3", "\4"}));
    TStrings lines = {"stale"};
    EXPECT_FALSE(store.ReadStrings("S", "Text", lines));
    EXPECT_TRUE(lines.empty());
}

TEST_P(DStorageTest, SingleValueAndListOfOneKeyLiveSideBySide)
{
    TDStorage store = Store();
    store.WriteStrings("S", "K", {"a", "b"});
    store.WriteString("S", "K", "single");
    store.WriteStrings("S", "K", {"c"});
    store.WriteString("S", "K", "again");
    EXPECT_EQ(Now(), (Lines{"[S]", "K=\3", "c", "\4", "K=again"}));
    std::string value;
    TStrings lines;
    EXPECT_TRUE(store.ReadString("S", "K", value));
    EXPECT_EQ(value, "again");
    EXPECT_TRUE(store.ReadStrings("S", "K", lines));
    EXPECT_EQ(lines, TStrings{"c"});
}

TEST_P(DStorageTest, ShorterListReplacesLongerOneExactly)
{
    Given({"[S]", "Text=\3", "1", "2", "3", "4", "5", "\4", "Next=n", "Text=\3", "dup", "\4", "[T]", "x=1"});
    Store().WriteStrings("S", "Text", {"new1", "new2"});
    EXPECT_EQ(Now(), (Lines{"[S]", "Text=\3", "new1", "new2", "\4", "Next=n", "[T]", "x=1"}));
}

TEST_P(DStorageTest, ListBodyHidesHeadersAndEntriesFromWrites)
{
    Given({"[S]", "L=\3", "[T]", "x=old", "\4", "[T]", "x=real"});
    Store().WriteString("T", "x", "new");
    EXPECT_EQ(Now(), (Lines{"[S]", "L=\3", "[T]", "x=old", "\4", "[T]", "x=new"}));
}

TEST_P(DStorageTest, StrayListCharactersGiveDefinedResults)
{
    // A 3 anywhere opens a list body, a lone 4 closes it; a 4 with no list is harmless.
    Given({"[S]", "\4", "a=1\3x", "hidden=1", "\4", "b=2"});
    TDStorage store = Store();
    std::string value;
    EXPECT_TRUE(store.ReadString("S", "a", value));
    EXPECT_EQ(value, "1\3x");
    EXPECT_FALSE(store.ReadString("S", "hidden", value));
    EXPECT_TRUE(store.ReadString("S", "b", value));
    store.WriteString("S", "c", "3");
    EXPECT_EQ(Now(), (Lines{"[S]", "\4", "a=1\3x", "hidden=1", "\4", "b=2", "c=3"}));
}

TEST(DStoragePlain, HeadersAreWrittenBackTrimmed)
{
    TempFolder folder;
    const std::string path = folder.File("msdos.sys");
    TempFolder::Write(path, "  [Paths]  \r\nWinDir=C:\\WINDOWS\r\n\t[Options] \r\nBootGUI=1\r\n");
    TDStorage store(path, false);
    store.WriteString("Options", "BootKeys", "0");
    EXPECT_EQ(TempFolder::Read(path), "[Paths]\r\nWinDir=C:\\WINDOWS\r\n[Options]\r\nBootGUI=1\r\nBootKeys=0\r\n");
}

TEST(DStoragePlain, SetFileRebindsToAnotherFileAndMode)
{
    TempFolder folder;
    TDStorage store(folder.File("Halvex.dat"), true);
    store.WriteString("", "HotKey", "16576");
    store.SetFile(folder.File("msdos.sys"), false);
    store.WriteString("Options", "BootMenu", "1");
    EXPECT_EQ(TempFolder::Read(folder.File("msdos.sys")), "[Options]\r\nBootMenu=1\r\n");
    store.SetFile("", true);   // an empty name keeps the file, changes the mode
    EXPECT_EQ(store.FileName(), folder.File("msdos.sys"));
    EXPECT_TRUE(store.Scrambled());
    EXPECT_EQ(LogicalLines(folder.File("Halvex.dat"), true), (Lines{"[]", "HotKey=16576"}));
}

TEST(DStorageFiles, TemporaryFileReplacesTheExtension)
{
    struct Case {
        std::string file, temporary;
    };
    const std::vector<Case> cases = {
        {"C:\\Program Files\\Halvex\\Halvex.dat", "C:\\Program Files\\Halvex\\Halvex.$$$"},
        {"c:\\msdos.sys", "c:\\msdos.$$$"},
        {"C:\\dir.x\\noext", "C:\\dir.x\\noext.$$$"},
        {"/tmp/a.b/c.d.e", "/tmp/a.b/c.d.$$$"},
        {"plain", "plain.$$$"},
    };
    for (const auto& c : cases) EXPECT_EQ(TemporaryFileName(c.file), c.temporary);
}

TEST(DStorageFiles, WriteLeavesNoTemporaryFileBehind)
{
    TempFolder folder;
    TDStorage store(folder.File("Halvex.dat"), true);
    store.WriteString("A", "k", "v");
    EXPECT_FALSE(std::filesystem::exists(folder.File("Halvex.$$$")));
}

TEST(DStorageFiles, FileFailuresRaiseTheInputOutputError)
{
    TempFolder folder;
    TDStorage store(folder.File("Halvex.dat"), true);
    std::filesystem::remove(folder.File("Halvex.dat"));
    std::string value;
    try {
        store.ReadString("A", "k", value);
        FAIL() << "reading a vanished file must raise";
    } catch (const EInOutError& error) {
        EXPECT_NE(error.ErrorCode, 0u);
    }
    EXPECT_THROW(store.WriteString("A", "k", "v"), EInOutError);

    // A temporary file that cannot be created fails the write; the bound file stays.
    TempFolder::Write(folder.File("Halvex.dat"), "");
    std::filesystem::create_directory(folder.File("Halvex.$$$"));
    EXPECT_THROW(store.WriteString("A", "k", "v"), EInOutError);
    EXPECT_EQ(TempFolder::Read(folder.File("Halvex.dat")), "");
}

TEST(DStorageDamaged, ArbitraryBytesReadWithoutFault)
{
    TempFolder folder;
    const std::string path = folder.File("Halvex.dat");
    std::mt19937 random(12345);
    for (int round = 0; round < 50; ++round) {
        std::string bytes(random() % 2000, '\0');
        for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
        for (bool scrambled : {true, false}) {
            TempFolder::Write(path, bytes);
            TDStorage store(path, scrambled);
            std::string value;
            TStrings lines;
            store.ReadString("A", "k", value);
            store.ReadStrings("A", "k", lines);
            bool listFree = true;
            for (const auto& line : LogicalLines(path, scrambled)) listFree &= !storage::OpensListBody(line);
            store.WriteString("A", "k", "v");
            // Without a list body to swallow it, the written value is what reads back.
            if (listFree) {
                EXPECT_TRUE(store.ReadString("A", "k", value));
                EXPECT_EQ(value, "v");
            }
        }
    }
}

TEST(DStorageDamaged, TenMegabyteFileReadsInOnePass)
{
    TempFolder folder;
    const std::string path = folder.File("Halvex.dat");
    Lines lines;
    for (int i = 0; i < 220000; ++i) lines.push_back("Key" + std::to_string(i) + "=some value here");
    lines.push_back("[Last]");
    lines.push_back("Found=yes");
    std::string content = Encode(lines, true);
    ASSERT_GT(content.size(), 10u * 1000 * 1000);
    TempFolder::Write(path, content);

    TDStorage store(path, true);
    std::string value;
    EXPECT_TRUE(store.ReadString("Last", "Found", value));
    EXPECT_EQ(value, "yes");
    store.WriteString("Last", "Found", "again");
    EXPECT_TRUE(store.ReadString("Last", "Found", value));
    EXPECT_EQ(value, "again");
}
