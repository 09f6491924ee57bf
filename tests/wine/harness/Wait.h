// Waiting with a deadline: short polls of a condition while the test thread's own messages
// are dispatched, so windows a test creates keep answering while it waits.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "harness/CallSite.h"

namespace harness {

using Timeout = std::chrono::milliseconds;

// Long enough for a first window under Wine on a busy machine, short enough to fail fast.
inline constexpr Timeout DefaultTimeout{10000};

class Deadline {
public:
    explicit Deadline(Timeout timeout) : End(std::chrono::steady_clock::now() + timeout) {}
    bool Expired() const { return std::chrono::steady_clock::now() >= End; }
    Timeout Remaining() const;

private:
    std::chrono::steady_clock::time_point End;
};

// Dispatches this thread's messages for the given time.
void PumpMessagesFor(Timeout duration);

// True as soon as the condition holds; false when it still does not at the deadline.
// Reports nothing: for tools, and for tests that expect a thing not to happen.
bool PollUntil(const std::function<bool()>& condition, Timeout timeout);

// True once the file exists; false at the deadline. Sleeps on the folder's change
// notification instead of polling, so that a measured idle period stays undisturbed.
bool WaitForFileQuietly(const std::string& path, Timeout timeout);

// As PollUntil, and on timeout records a test failure saying what was awaited.
bool WaitUntil(const std::function<bool()>& condition, Timeout timeout, const std::string& awaited,
               CallSite at = CallSite::Here());

// Records a non-fatal test failure at the given place.
void ReportFailure(CallSite at, const std::string& message);

}  // namespace harness
