// "hvxw.exe Uninstall" driven as a user would: the question it asks, and what each answer
// leaves in the registry and in c:\msdos.sys (the session prefix's, saved and put back).
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "harness/AppDir.h"
#include "harness/MessageBoxes.h"
#include "harness/Process.h"
#include "harness/Wait.h"
#include "platform/UniqueHandle.h"
#include "SystemOptionsFiles.h"
#include "tools/profile_RegistryScratch.h"

using namespace registry_scratch;
using namespace system_options;

namespace {

constexpr char Program[] = "hvxw.exe";
constexpr char UninstallArgument[] = "Uninstall";
constexpr char QuestionCaption[] = "Halvex Uninstall";
constexpr char QuestionText[] = "Do you wish to clear the system settings maked with\rHalvex?";
constexpr char ErrorCaption[] = "Error";
constexpr char InstanceMutex[] = "Hvxmu01";

class UninstallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, LogonKeyPath))
            << "the prefix has a logon key of its own, which this test would change";
        ASSERT_FALSE(AttributesOf(StartupTemporary) != INVALID_FILE_ATTRIBUTES) << "a leftover " << StartupTemporary;
    }

    // The logon key as the program may have left it, with a neighbour it must not touch.
    static void MakeLogonKey()
    {
        ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, LogonKeyPath, MustBeValidated, REG_DWORD, DwordBytes(1)));
        ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, LogonKeyPath, "Other", REG_SZ, StringBytes("kept")));
    }

    static void MakeStartupFile()
    {
        ASSERT_TRUE(WriteBytes(StartupFile, StartupBefore, HiddenSystemReadOnly));
    }

    // Starts "hvxw.exe Uninstall", checks its question and answers it.
    harness::Process RunAndAnswer(int answer)
    {
        harness::Process uninstall = harness::StartInAppDir(Dir, Program, UninstallArgument);
        HWND box = harness::WaitForMessageBox(QuestionCaption, uninstall.Id());
        if (!box) return uninstall;
        EXPECT_EQ(harness::MessageBoxText(box), QuestionText);
        harness::PressMessageBoxButton(box, answer);
        return uninstall;
    }

    static void ExpectEndsWithCodeZero(const harness::Process& process)
    {
        ASSERT_TRUE(process.WaitForExit());
        EXPECT_EQ(process.ExitCode(), 0u);
    }

    static void ExpectLogonValidation(DWORD value)
    {
        auto stored = QueryValue(HKEY_LOCAL_MACHINE, LogonKeyPath, MustBeValidated);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->Type, DWORD(REG_DWORD));
        EXPECT_EQ(stored->Bytes, DwordBytes(value));
        auto other = QueryValue(HKEY_LOCAL_MACHINE, LogonKeyPath, "Other");
        ASSERT_TRUE(other);
        EXPECT_EQ(other->Bytes, StringBytes("kept"));
    }

    static void ExpectStartupFile(const std::string& content)
    {
        EXPECT_EQ(ReadBytes(StartupFile).value_or("<no file>"), content);
        EXPECT_EQ(AttributesOf(StartupFile) & HiddenSystemReadOnly, HiddenSystemReadOnly);
        EXPECT_EQ(AttributesOf(StartupTemporary), INVALID_FILE_ATTRIBUTES) << "no temporary file is left";
    }

    SavedFile Startup{StartupFile};
    CreatedKeys LogonKey{HKEY_LOCAL_MACHINE, LogonKeyPath};
    harness::AppDir Dir;
};

}  // namespace

TEST_F(UninstallTest, EachAnswerChangesWhatItShould)
{
    struct Case {
        const char* what;
        bool logonKeyExists;
        int answer;
    };
    const std::vector<Case> cases = {
        {"No with the logon key", true, IDNO},
        {"No without the logon key", false, IDNO},
        {"Yes with the logon key", true, IDYES},
        {"Yes without the logon key", false, IDYES},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LogonKey.Remove();
        if (c.logonKeyExists) {
            ASSERT_NO_FATAL_FAILURE(MakeLogonKey());
        }
        ASSERT_NO_FATAL_FAILURE(MakeStartupFile());

        harness::Process uninstall = RunAndAnswer(c.answer);
        ExpectEndsWithCodeZero(uninstall);

        const bool yes = c.answer == IDYES;
        if (c.logonKeyExists)
            ExpectLogonValidation(yes ? 0 : 1);
        else
            EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, LogonKeyPath)) << "the logon key is never created";
        ExpectStartupFile(yes ? StartupAfterYes : StartupBefore);
    }
}

TEST_F(UninstallTest, YesCreatesAMissingStartupFile)
{
    RemoveFile(StartupFile);
    harness::Process uninstall = RunAndAnswer(IDYES);
    ExpectEndsWithCodeZero(uninstall);
    EXPECT_EQ(ReadBytes(StartupFile).value_or("<no file>"), StartupCreatedByYes);
}

TEST_F(UninstallTest, UnwritableStartupFileIsReportedAndHarmless)
{
    ASSERT_NO_FATAL_FAILURE(MakeLogonKey());
    ASSERT_NO_FATAL_FAILURE(MakeStartupFile());
    // The file is rewritten through its temporary sibling: where a folder stands in its way
    // the write fails (the read-only attribute would not stop root under Wine).
    ASSERT_TRUE(CreateDirectoryA(StartupTemporary, nullptr));
    struct FolderRemover {
        ~FolderRemover() { RemoveDirectoryA(StartupTemporary); }
    } removeFolder;

    harness::Process uninstall = RunAndAnswer(IDYES);
    auto error = harness::AnswerMessageBox(ErrorCaption, IDOK, uninstall.Id());
    ASSERT_TRUE(error);
    EXPECT_NE(error->find(StartupFile), std::string::npos) << *error;
    ExpectEndsWithCodeZero(uninstall);

    EXPECT_EQ(ReadBytes(StartupFile).value_or("<no file>"), StartupBefore);
    EXPECT_EQ(AttributesOf(StartupFile) & HiddenSystemReadOnly, HiddenSystemReadOnly);
    ExpectLogonValidation(0);
}

TEST_F(UninstallTest, AsksAndActsWhileTheProgramRuns)
{
    harness::Process resident = harness::StartInAppDir(Dir, Program);
    ASSERT_TRUE(harness::WaitUntil(
        [] { return static_cast<bool>(UniqueKernelHandle(OpenMutexA(SYNCHRONIZE, FALSE, InstanceMutex))); },
        harness::DefaultTimeout, std::string("the running program's mutex ") + InstanceMutex));
    ASSERT_NO_FATAL_FAILURE(MakeLogonKey());
    ASSERT_NO_FATAL_FAILURE(MakeStartupFile());

    harness::Process uninstall = RunAndAnswer(IDYES);
    ExpectEndsWithCodeZero(uninstall);
    ExpectLogonValidation(0);
    ExpectStartupFile(StartupAfterYes);
    EXPECT_TRUE(resident.IsRunning()) << "the running program is left alone";
}
