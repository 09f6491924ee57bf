// The test build of hvxw.exe, whose clock the tests move: never the machine's.
// It reads its offset from the local clock in TestClock.txt beside it and records
// each attempt to set its clock, as a day count, in TestClockSets.txt.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "harness/Harness.h"
#include "platform/Clock.h"

namespace halvex_test {

constexpr char TestClockProgram[] = "hvxw_testclock.exe";
constexpr char TestClockFile[] = "TestClock.txt";
constexpr char TestClockSetsFile[] = "TestClockSets.txt";

// Today's date at a time of day, by the machine's local clock.
inline TDateTime TodayAt(int hour, int minute = 0, int second = 0)
{
    return DatePart(Now()) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

// Moves the program's clock so that it reads `at` now. The file is replaced in one step,
// so the program never reads half of it.
inline bool SetTestClock(const harness::AppDir& dir, TDateTime at, harness::CallSite where = harness::CallSite::Here())
{
    char offset[64];
    std::snprintf(offset, sizeof offset, "%.0f", (at - Now()) * 86400000.0);
    std::string temporary = std::string(TestClockFile) + ".new";
    if (!dir.WriteFile(temporary, offset, where)) return false;
    if (!MoveFileExA(dir.PathOf(temporary).c_str(), dir.PathOf(TestClockFile).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        harness::ReportFailure(where, "Cannot move the test clock");
        return false;
    }
    return true;
}

// The test build goes into dir as hvxw.exe, its clock at `at`.
inline bool UseTestClock(const harness::AppDir& dir, TDateTime at, harness::CallSite where = harness::CallSite::Here())
{
    return dir.CopyIn(harness::JoinPath(harness::ExeDir(), TestClockProgram), "hvxw.exe", where) &&
           SetTestClock(dir, at, where);
}

// The times the program asked its clock to be set to, oldest first.
inline std::vector<TDateTime> ClockSets(const harness::AppDir& dir)
{
    std::vector<TDateTime> sets;
    std::string text = dir.ReadFile(TestClockSetsFile).value_or("");
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        sets.push_back(std::strtod(text.substr(start, end - start).c_str(), nullptr));
    return sets;
}

}  // namespace halvex_test
