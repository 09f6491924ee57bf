// A tool's request for a screenshot of the virtual display, which only the script that runs
// it can take (scripts/screenshot-requests.sh serves it).
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "harness/Harness.h"

namespace halvex_test {

inline constexpr harness::Timeout ShotTimeout{30000};

// Writes <folder>\<name>.want and waits for the script's <name>.done, once <name>.png is saved.
inline bool Shot(const std::string& folder, const std::string& name)
{
    using namespace harness;
    std::string want = JoinPath(folder, name + ".want");
    std::string done = JoinPath(folder, name + ".done");
    // Let the screen finish painting first.
    PumpMessagesFor(Timeout{500});
    if (FILE* file = std::fopen(want.c_str(), "w")) std::fclose(file);
    bool taken = PollUntil([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, ShotTimeout);
    DeleteFileA(done.c_str());
    return taken;
}

}  // namespace halvex_test
