// What the screen-saver module answers to the system's request: a lock request for the
// control program, a message box, both or nothing. Header-only, so the module links no library.
#pragma once

#include <string_view>

namespace screensaver {

enum class TBox { None, NotExecuted, NothingToConfigure };

struct TAnswer {
    bool SendLockRequest = false;
    TBox Box = TBox::None;
};

// The system's switches come in either case and with or without a '/' or '-', and may carry a
// window handle after a colon: only the letter matters.
constexpr bool HasLetter(std::string_view parameter, char lowerLetter)
{
    for (char c : parameter) {
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower == lowerLetter) return true;
    }
    return false;
}

// lockUp is asked only when the answer depends on it: only then does the module look for
// the lock's mutex.
template <class LockUpQuery>
TAnswer AnswerRequest(std::string_view firstParameter, bool controlProgramRuns, LockUpQuery lockUp)
{
    TAnswer answer;
    if (!controlProgramRuns) {
        // Only a preview has a user watching who should be told.
        if (HasLetter(firstParameter, 'p')) answer.Box = TBox::NotExecuted;
        return answer;
    }
    // A lock already up refuses a second one anyway; not asking spares it the request.
    if (HasLetter(firstParameter, 's') && !lockUp()) answer.SendLockRequest = true;
    if (HasLetter(firstParameter, 'c')) answer.Box = TBox::NothingToConfigure;
    return answer;
}

}  // namespace screensaver
