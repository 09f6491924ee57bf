// Where a harness call was made, so that a failed wait is reported at the test's own line.
#pragma once

namespace harness {

struct CallSite {
    const char* File;
    int Line;

    // As a default argument this takes the caller's file and line (GCC and Clang builtins).
    static CallSite Here(const char* file = __builtin_FILE(), int line = __builtin_LINE()) { return {file, line}; }
};

}  // namespace harness
