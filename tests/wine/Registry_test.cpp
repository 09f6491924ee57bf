// The registry accessor and the text helpers against the real registry: every stored
// type read as text, every kind written, keys created only by writes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/win32/Registry.h"
#include "tools/profile_RegistryScratch.h"

using namespace registry_scratch;

namespace {

constexpr char TestsKeyPath[] = "Software\\HalvexTests";

// A key of the test's own under Software\HalvexTests of the root, gone afterwards.
class RegistryTest : public ::testing::Test {
protected:
    std::string KeyPath(HKEY root)
    {
        return (root == HKEY_LOCAL_MACHINE ? MachineKey : UserKey).Path;
    }

    struct OwnKey {
        explicit OwnKey(HKEY root)
            : Path(std::string(TestsKeyPath) + "\\" + UniqueKeyName("registry-")), Created(root, Path)
        {
        }
        std::string Path;
        CreatedKeys Created;
    };
    OwnKey UserKey{HKEY_CURRENT_USER};
    OwnKey MachineKey{HKEY_LOCAL_MACHINE};
};

struct Accessor {
    const char* what;
    bool supplied;
};
const Accessor Accessors[] = {{"an accessor made for the call", false}, {"a supplied accessor", true}};

}  // namespace

TEST_F(RegistryTest, ReadRegValueGivesEachStoredTypeAsText)
{
    struct Case {
        const char* what;
        DWORD type;
        std::string bytes;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"string", REG_SZ, StringBytes("Hello, world"), "Hello, world"},
        {"empty string", REG_SZ, StringBytes(""), ""},
        {"string without its NUL", REG_SZ, "abc", "abc"},
        {"string with trailing NULs", REG_SZ, std::string("abc\0\0\0", 6), "abc"},
        {"string stored with no bytes", REG_SZ, "", ""},
        {"expand string is not expanded", REG_EXPAND_SZ, StringBytes("%SystemRoot%\\x"), "%SystemRoot%\\x"},
        {"dword 1", REG_DWORD, DwordBytes(1), "1"},
        {"dword 0", REG_DWORD, DwordBytes(0), "0"},
        {"largest dword is unsigned", REG_DWORD, DwordBytes(4294967295u), "4294967295"},
        {"dword of the wrong size", REG_DWORD, "\x01\x02", ""},
        {"binary", REG_BINARY, "\x01\x02\x03\x04", ""},
        {"multi string", REG_MULTI_SZ, std::string("a\0b\0\0", 5), ""},
        {"big-endian dword", REG_DWORD_BIG_ENDIAN, DwordBytes(1), ""},
        {"qword", REG_QWORD, std::string("\x01\0\0\0\0\0\0\0", 8), ""},
    };
    HKEY root = HKEY_CURRENT_USER;
    for (const Accessor& accessor : Accessors) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " through " + accessor.what);
            ASSERT_TRUE(SetValue(root, KeyPath(root), "Value", c.type, c.bytes));
            TRegistry registry(HKEY_LOCAL_MACHINE);
            std::string text = "left from before";
            ReadRegValue(accessor.supplied ? &registry : nullptr, root, KeyPath(root), "Value", text);
            EXPECT_EQ(text, c.text);
            // A supplied accessor keeps the root it was given and no open key.
            if (accessor.supplied) {
                EXPECT_EQ(registry.RootKey(), root);
                EXPECT_FALSE(registry.HasOpenKey());
            }
        }
    }
}

TEST_F(RegistryTest, ReadRegValueOfTheDefaultValueAndUnderTheMachineRoot)
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        ASSERT_TRUE(SetValue(root, KeyPath(root), "", REG_SZ, StringBytes("the default")));
        ASSERT_TRUE(SetValue(root, KeyPath(root), "Named", REG_DWORD, DwordBytes(7)));
        std::string text;
        ReadRegValue(nullptr, root, KeyPath(root), "", text);
        EXPECT_EQ(text, "the default");
        ReadRegValue(nullptr, root, "\\" + KeyPath(root), "named", text);
        EXPECT_EQ(text, "7") << "a leading backslash and another case name the same key and value";
    }
}

TEST_F(RegistryTest, ReadRegValueOfWhatIsMissingIsEmptyAndCreatesNothing)
{
    const HKEY root = HKEY_CURRENT_USER;
    ASSERT_TRUE(SetValue(root, KeyPath(root), "Present", REG_SZ, StringBytes("here")));
    struct Case {
        const char* what;
        std::string keyPath;
        std::string valueName;
    };
    const std::vector<Case> cases = {
        {"missing value", KeyPath(root), "Absent"},
        {"missing key", KeyPath(root) + "\\Missing", "Present"},
        {"missing key and parent", KeyPath(root) + "\\Missing\\Deeper", "Present"},
    };
    for (const Accessor& accessor : Accessors) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " through " + accessor.what);
            TRegistry registry;
            std::string text = "left from before";
            ReadRegValue(accessor.supplied ? &registry : nullptr, root, c.keyPath, c.valueName, text);
            EXPECT_EQ(text, "");
            EXPECT_FALSE(KeyExists(root, KeyPath(root) + "\\Missing"));
            EXPECT_FALSE(QueryValue(root, KeyPath(root), "Absent"));
        }
    }
}

TEST_F(RegistryTest, WriteRegValueStoresEachKind)
{
    struct Case {
        const char* what;
        RegValueKind kind;
        std::string value;
        DWORD type;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"string", RegValueKind::String, "C:\\Program Files\\x", REG_SZ, StringBytes("C:\\Program Files\\x")},
        {"empty string", RegValueKind::String, "", REG_SZ, StringBytes("")},
        {"expand string kept as given", RegValueKind::ExpandString, "%TEMP%\\y", REG_EXPAND_SZ,
         StringBytes("%TEMP%\\y")},
        {"dword", RegValueKind::Dword, "12", REG_DWORD, DwordBytes(12)},
        {"dword of nothing", RegValueKind::Dword, "", REG_DWORD, DwordBytes(0)},
        {"dword of a word", RegValueKind::Dword, "twelve", REG_DWORD, DwordBytes(0)},
        {"dword with a sign", RegValueKind::Dword, "-5", REG_DWORD, DwordBytes(0)},
        {"largest signed integer", RegValueKind::Dword, "2147483647", REG_DWORD, DwordBytes(2147483647u)},
        {"beyond the signed range", RegValueKind::Dword, "4294967295", REG_DWORD, DwordBytes(0)},
    };
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (const Accessor& accessor : Accessors) {
            for (const Case& c : cases) {
                SCOPED_TRACE(std::string(c.what) + " through " + accessor.what +
                             (root == HKEY_LOCAL_MACHINE ? " under HKLM" : " under HKCU"));
                // Each write goes to a key that is not there yet, two levels below the test's own.
                const std::string keyPath = KeyPath(root) + "\\" + UniqueKeyName("new-") + "\\Deeper";
                TRegistry registry;
                WriteRegValue(accessor.supplied ? &registry : nullptr, root, keyPath, "Value", c.value, c.kind);
                auto stored = QueryValue(root, keyPath, "Value");
                ASSERT_TRUE(stored) << "the key and value were created";
                EXPECT_EQ(stored->Type, c.type);
                EXPECT_EQ(stored->Bytes, c.bytes);
                if (accessor.supplied) {
                    EXPECT_FALSE(registry.HasOpenKey());
                }
            }
        }
    }
}

TEST_F(RegistryTest, WriteRegValueReplacesAValueOfAnotherType)
{
    const HKEY root = HKEY_CURRENT_USER;
    ASSERT_TRUE(SetValue(root, KeyPath(root), "Value", REG_BINARY, "\x01\x02"));
    WriteRegValue(nullptr, root, KeyPath(root), "Value", "3", RegValueKind::Dword);
    std::string text;
    ReadRegValue(nullptr, root, KeyPath(root), "Value", text);
    EXPECT_EQ(text, "3");
}

TEST_F(RegistryTest, OpenKeyCreatesOnlyWhenAllowed)
{
    const HKEY root = HKEY_CURRENT_USER;
    const std::string path = KeyPath(root) + "\\Sub";
    TRegistry registry(root);
    EXPECT_FALSE(registry.OpenKey(path, false));
    EXPECT_FALSE(registry.HasOpenKey());
    EXPECT_FALSE(KeyExists(root, path));
    EXPECT_FALSE(registry.OpenKeyReadOnly(path));
    EXPECT_FALSE(KeyExists(root, path));

    EXPECT_TRUE(registry.OpenKey(path, true));
    EXPECT_TRUE(KeyExists(root, path));
    EXPECT_TRUE(registry.WriteString("Name", "value"));
    EXPECT_TRUE(registry.ValueExists("Name"));
    EXPECT_FALSE(registry.ValueExists("Other"));

    // A failed open leaves no key open, so nothing is written where it was not meant to be.
    EXPECT_FALSE(registry.OpenKey(path + "\\Missing", false));
    EXPECT_FALSE(registry.WriteString("Stray", "value"));
    EXPECT_FALSE(QueryValue(root, path, "Stray"));

    // Changing the root closes the key.
    EXPECT_TRUE(registry.OpenKey(path, false));
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(registry.HasOpenKey());
}

TEST_F(RegistryTest, GetKeyNamesListsEverySubkey)
{
    const HKEY root = HKEY_CURRENT_USER;
    const std::string longName(200, 'L');
    for (const std::string& name : {std::string("beta"), std::string("Alpha"), longName})
        ASSERT_TRUE(CreateKey(root, KeyPath(root) + "\\" + name));
    TRegistry registry(root);
    ASSERT_TRUE(registry.OpenKeyReadOnly(KeyPath(root)));
    TStrings names;
    ASSERT_TRUE(registry.GetKeyNames(names));
    // The registry enumerates subkeys by name, without regard to case.
    EXPECT_EQ(names, (TStrings{"Alpha", "beta", longName}));

    ASSERT_TRUE(registry.OpenKeyReadOnly(KeyPath(root) + "\\beta"));
    ASSERT_TRUE(registry.GetKeyNames(names));
    EXPECT_TRUE(names.empty());
}
