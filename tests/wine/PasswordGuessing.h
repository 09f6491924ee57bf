// What the guessing test and the guessing measurement share: entries sent to the lock
// window as fast as another program can, the wait the prompt shows, the log's lines.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>

#include "LockScreenFixture.h"

namespace halvex_test {

constexpr char WaitPrefix[] = " wait ";   // after "Incorrect password:" while entries are refused
constexpr char WaitSuffix[] = " s";
constexpr char AccessDenied[] = "Access Denied";
constexpr char AccessPermitted[] = "Access Permitted";

// The seconds of the wait the prompt shows; 0 when it shows none.
inline int WaitSecondsShown(const std::string& prompt)
{
    const std::string start = std::string(IncorrectPrompt) + WaitPrefix;
    if (prompt.compare(0, start.size(), start) != 0) return 0;
    if (prompt.size() < start.size() + 2 || prompt.compare(prompt.size() - 2, 2, WaitSuffix) != 0) return 0;
    return std::atoi(prompt.c_str() + start.size());
}

// The text put in and "UnLock" clicked; returns once the lock has handled the click, as a
// guessing program that waits for each answer would.
inline bool SendEntry(const LockWindow& lock, const std::string& text)
{
    DWORD_PTR result = 0;
    return harness::SetText(lock.Edit, text) &&
           SendMessageTimeoutA(lock.UnLockButton, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result);
}

// The log's lines that end with the event.
inline int LogLinesOf(const harness::AppDir& dir, const std::string& event)
{
    std::string log = dir.ReadFile(LogonUser() + ".log").value_or("");
    std::string ending = " " + event + "\r\n";
    int count = 0;
    for (size_t at = log.find(ending); at != std::string::npos; at = log.find(ending, at + 1)) ++count;
    return count;
}

inline LockSettings LoggingLock()
{
    LockSettings settings;
    settings.More = {{LogonUser(), "LogFile", "1"}};
    return settings;
}

}  // namespace halvex_test
