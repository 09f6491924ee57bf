// hvxw.exe's event log: the lines the lock screen's passwords write, one file per
// profile, the LogFile page that shows it and clears it, and a log that cannot be
// written.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "LockScreenFixture.h"
#include "MainSettingsFixture.h"
#include "Windows98.h"

using namespace harness;
using namespace halvex_test;
using main_settings::ShowConfiguration;
using main_settings::ShowsNoBox;

namespace {

constexpr int LogFileTab = 2;
constexpr int GeneralTab = 0;
constexpr char DeniedText[] = "Access Denied";
constexpr char PermittedText[] = "Access Permitted";
constexpr char NotWrittenNotice[] = "Events could not be written to ";

std::string LocaleText(LCTYPE type)
{
    char text[16] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
    return text;
}

// Every stamp "dd/mm/yyyy hh:nn:ss" from one moment to another, in the system's separators.
std::set<std::string> StampsBetween(TDateTime from, TDateTime to)
{
    const std::string date = LocaleText(LOCALE_SDATE), time = LocaleText(LOCALE_STIME);
    std::set<std::string> stamps;
    for (TDateTime at = from - 1.0 / 86400; at <= to + 1.0 / 86400; at += 0.5 / 86400) {
        CalendarDateTime c = DecodeDateTime(at);
        char stamp[64];
        std::snprintf(stamp, sizeof stamp, "%02d%s%02d%s%04d %02d%s%02d%s%02d", c.Day, date.c_str(), c.Month,
                      date.c_str(), c.Year, c.Hour, time.c_str(), c.Minute, time.c_str(), c.Second);
        stamps.insert(stamp);
    }
    return stamps;
}

// The log's lines, each without its CR LF; a line break of any other kind fails the test.
std::vector<std::string> LinesOf(const std::string& log)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(log.substr(start, end - start));
    EXPECT_EQ(start, log.size()) << "the log ends with CR LF";
    for (const std::string& line : lines) EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    return lines;
}

// A line is a stamp of the given moments, a space and the event.
void ExpectLine(const std::string& line, const std::set<std::string>& stamps, const std::string& event)
{
    size_t space = line.find(' ', line.find(' ') + 1);
    ASSERT_NE(space, std::string::npos) << line;
    EXPECT_TRUE(stamps.count(line.substr(0, space))) << "stamp of " << line;
    EXPECT_EQ(line.substr(space + 1), event);
}

LockSettings WithLogging(bool on)
{
    LockSettings settings;
    if (on) settings.More = {{LogonUser(), "LogFile", "1"}};
    return settings;
}

// A wrong password, then the right one.
void RefuseThenOpen(LockScreenProgram& program)
{
    ASSERT_TRUE(program.Lock());
    ASSERT_TRUE(SetText(program.Window().Edit, "Wrong"));
    ASSERT_TRUE(Click(program.Window().UnLockButton));
    ASSERT_TRUE(WaitUntil([&] { return program.Prompt() == IncorrectPrompt; }, DefaultTimeout, "the password refused"));
    ASSERT_TRUE(program.Unlock("Secret"));
}

std::string LogName()
{
    return LogonUser() + ".log";
}

std::string MemoText(const RunningProgram& program)
{
    return TextOf(program.Control(IdLogFileMemo));
}

// The LogFile page of a program whose lock password is "Secret".
void OpenLogPage(LockScreenProgram& program)
{
    ASSERT_TRUE(ShowConfiguration(program.Program(), "Secret"));
    ASSERT_TRUE(ClickPageTab(program.Program(), LogFileTab));
    ASSERT_TRUE(program.Program().Settle());
}

// A lock of a program that is not a LockScreenProgram, opened with the passwords in turn.
void LockAndOpen(const RunningProgram& program, const std::vector<std::string>& passwords)
{
    PassMarker marker;
    program.PostRequest(LockRequest);
    HWND form = WaitForTopWindow(WindowQuery::OfClass(LockFormClass).InProcess(program.Id()));
    ASSERT_TRUE(form && WaitForVisible(form) && marker.WaitForPass());
    LockWindow parts = FindLockParts(form);
    for (const std::string& password : passwords) {
        ASSERT_TRUE(SetText(parts.Edit, password) && Click(parts.UnLockButton));
        ASSERT_TRUE(program.Settle());
    }
    EXPECT_TRUE(WaitForDestroyed(form));
}

}  // namespace

TEST(EventLog, AWrongAndTheRightPasswordWriteTwoStampedLines)
{
    LockScreenProgram program(WithLogging(true));
    ASSERT_TRUE(program.IsStarted());
    const TDateTime before = Now();
    RefuseThenOpen(program);
    const std::set<std::string> stamps = StampsBetween(before, Now());
    std::vector<std::string> lines = LinesOf(program.Dir().ReadFile(LogName()).value_or(""));
    ASSERT_EQ(lines.size(), 2u);
    ExpectLine(lines[0], stamps, DeniedText);
    ExpectLine(lines[1], stamps, PermittedText);

    // Appended, never rewritten.
    RefuseThenOpen(program);
    lines = LinesOf(program.Dir().ReadFile(LogName()).value_or(""));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2].substr(lines[2].size() - sizeof DeniedText + 1), DeniedText);
}

TEST(EventLog, WithLoggingOffNothingIsWrittenAndNoFileMade)
{
    LockScreenProgram program(WithLogging(false));
    ASSERT_TRUE(program.IsStarted());
    RefuseThenOpen(program);
    for (const std::string& name : program.Dir().List())
        EXPECT_EQ(name.find(".log"), std::string::npos) << name;
}

TEST(EventLog, TwoProfilesWriteTwoFilesNamedAfterThem)
{
    // On the 9x family the profile list decides: none gives ".Default", a listed user its own.
    Windows98 windows98;
    AppDir dir;
    std::string pupil = LogonUser();
    for (char& c : pupil) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    WriteSettings(dir, {{".Default", "LockPwd", "Secret"}, {".Default", "LogFile", "1"},
                        {pupil, "ProfileName", pupil}, {pupil, "LockPwd", "Pupil"}, {pupil, "LogFile", "1"}});
    {
        RunningProgram program(dir);
        ASSERT_NE(program.Window(), nullptr);
        LockAndOpen(program, {"Secret"});
    }
    {
        ProfileList list(pupil);
        RunningProgram program(dir);
        ASSERT_NE(program.Window(), nullptr);
        LockAndOpen(program, {"Secret", "Pupil"});
    }
    std::vector<std::string> everyone = LinesOf(dir.ReadFile(".Default.log").value_or(""));
    std::vector<std::string> own = LinesOf(dir.ReadFile(pupil + ".log").value_or(""));
    ASSERT_EQ(everyone.size(), 1u);
    EXPECT_NE(everyone[0].find(PermittedText), std::string::npos);
    ASSERT_EQ(own.size(), 2u);
    EXPECT_NE(own[0].find(DeniedText), std::string::npos);
    EXPECT_NE(own[1].find(PermittedText), std::string::npos);
}

TEST(EventLog, ThePageShowsTheLogOnlyWhileItIsTheActivePage)
{
    LockScreenProgram program(WithLogging(true));
    ASSERT_TRUE(program.IsStarted());
    OpenLogPage(program);
    EXPECT_EQ(MemoText(program.Program()), "");

    RefuseThenOpen(program);
    EXPECT_TRUE(program.Program().Settle());
    EXPECT_EQ(MemoText(program.Program()), *program.Dir().ReadFile(LogName()));
    EXPECT_EQ(LinesOf(MemoText(program.Program())).size(), 2u);

    ASSERT_TRUE(ClickPageTab(program.Program(), GeneralTab));
    ASSERT_TRUE(program.Program().Settle());
    EXPECT_EQ(MemoText(program.Program()), "");
    RefuseThenOpen(program);
    EXPECT_TRUE(program.Program().Settle());
    EXPECT_EQ(MemoText(program.Program()), "") << "logged while another page is active";

    ASSERT_TRUE(ClickPageTab(program.Program(), LogFileTab));
    ASSERT_TRUE(program.Program().Settle());
    EXPECT_EQ(LinesOf(MemoText(program.Program())).size(), 4u);

    // Logged while the window is hidden: shown again, the page has every line.
    PostMessageA(program.Program().Window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitForHidden(program.Program().Window()));
    RefuseThenOpen(program);
    OpenLogPage(program);
    EXPECT_EQ(MemoText(program.Program()), *program.Dir().ReadFile(LogName()));
    EXPECT_EQ(LinesOf(MemoText(program.Program())).size(), 6u);
}

TEST(EventLog, ClearAsksAndOnlyOkDeletesFileAndPage)
{
    LockScreenProgram program(WithLogging(true));
    ASSERT_TRUE(program.IsStarted());
    const std::string old = "01/02/2026 03:04:05 Access Denied\r\n";
    ASSERT_TRUE(program.Dir().WriteFile(LogName(), old));
    OpenLogPage(program);
    ASSERT_EQ(MemoText(program.Program()), old);

    HWND clear = program.Program().Control(IdBtnClearLog);
    ASSERT_TRUE(Click(clear));
    HWND box = WaitForMessageBox("Confirmation", program.Program().Id());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Clear LogFile?");
    EXPECT_NE(FindControl(box, ControlQuery::WithId(IDCANCEL)), nullptr);
    ASSERT_TRUE(PressMessageBoxButton(box, IDCANCEL));
    ASSERT_TRUE(program.Program().Settle());
    EXPECT_EQ(MemoText(program.Program()), old);
    EXPECT_EQ(program.Dir().ReadFile(LogName()), old);

    ASSERT_TRUE(Click(clear));
    ASSERT_TRUE(AnswerMessageBox("Confirmation", IDOK, program.Program().Id()));
    ASSERT_TRUE(program.Program().Settle());
    EXPECT_EQ(MemoText(program.Program()), "");
    EXPECT_FALSE(program.Dir().Contains(LogName()));

    // The next event makes the file again.
    RefuseThenOpen(program);
    EXPECT_EQ(LinesOf(*program.Dir().ReadFile(LogName())).size(), 2u);
}

TEST(EventLog, ALogThatCannotBeWrittenHoldsNoPasswordUpAndThePageSaysWhy)
{
    LockScreenProgram program(WithLogging(true));
    ASSERT_TRUE(program.IsStarted());
    // A folder where the file should be: it cannot be opened for writing.
    ASSERT_TRUE(CreateDirectoryA(program.Dir().PathOf(LogName()).c_str(), nullptr));
    RefuseThenOpen(program);
    EXPECT_TRUE(ShowsNoBox(program.Program()));

    OpenLogPage(program);
    std::string memo = MemoText(program.Program());
    EXPECT_EQ(memo.rfind(NotWrittenNotice + program.Dir().PathOf(LogName()), 0), 0u) << memo;

    // Once the file can be written again, the notice goes.
    ASSERT_TRUE(RemoveDirectoryA(program.Dir().PathOf(LogName()).c_str()));
    RefuseThenOpen(program);
    EXPECT_TRUE(program.Program().Settle());
    EXPECT_EQ(LinesOf(MemoText(program.Program())).size(), 2u);
}
