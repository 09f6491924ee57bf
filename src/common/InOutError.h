// The input/output error of file work: every failure to open, read, write, flush or
// replace a file. Carries the system's error code, which the Win32 layer turns into text.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

class EInOutError : public std::runtime_error {
public:
    EInOutError(const std::string& what, uint32_t errorCode)
        : std::runtime_error(what + " (error " + std::to_string(errorCode) + ")"), ErrorCode(errorCode) {}
    uint32_t ErrorCode;
};
