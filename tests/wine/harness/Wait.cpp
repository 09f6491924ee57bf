// Polling with a deadline for the harness's waits.
#include "harness/Wait.h"

#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

namespace harness {

namespace {

// Short enough that a wait ends soon after its condition, long enough not to load the machine.
constexpr Timeout PollInterval{10};

}  // namespace

Timeout Deadline::Remaining() const
{
    auto left = std::chrono::duration_cast<Timeout>(End - std::chrono::steady_clock::now());
    return std::max(left, Timeout::zero());
}

void PumpMessagesFor(Timeout duration)
{
    Deadline deadline(duration);
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline.Remaining().count()), QS_ALLINPUT);
    } while (!deadline.Expired());
}

bool PollUntil(const std::function<bool()>& condition, Timeout timeout)
{
    Deadline deadline(timeout);
    for (;;) {
        if (condition()) return true;
        if (deadline.Expired()) return false;
        PumpMessagesFor(std::min(PollInterval, deadline.Remaining()));
    }
}

bool WaitForFileQuietly(const std::string& path, Timeout timeout)
{
    auto exists = [&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; };
    const std::string folder = path.substr(0, path.find_last_of("\\/"));
    HANDLE change = FindFirstChangeNotificationA(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    if (change == INVALID_HANDLE_VALUE) return PollUntil(exists, timeout);
    Deadline deadline(timeout);
    bool found = exists();
    while (!found && !deadline.Expired()) {
        WaitForSingleObject(change, static_cast<DWORD>(deadline.Remaining().count()));
        found = exists();
        FindNextChangeNotification(change);
    }
    FindCloseChangeNotification(change);
    return found;
}

bool WaitUntil(const std::function<bool()>& condition, Timeout timeout, const std::string& awaited, CallSite at)
{
    if (PollUntil(condition, timeout)) return true;
    ReportFailure(at, "Timed out after " + std::to_string(timeout.count()) + " ms waiting for " + awaited);
    return false;
}

void ReportFailure(CallSite at, const std::string& message)
{
    ADD_FAILURE_AT(at.File, at.Line) << message;
}

}  // namespace harness
