// One lock of the workstation with the lock window, from the request to the unlock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "settings/DStorage.h"

class TPicture;

using TLogProc = std::function<void(const std::string&)>;

// True when the lock ended with the right password; false otherwise, also
// when no lock was shown because one is already up.
bool RunLockSession(const TPicture* lockPicture, const std::string& displayName, const std::string& password,
                    bool shutDownEnabled, const TStrings* lines, uint32_t timeOut, int32_t powerMode,
                    const TLogProc& logProc);
