// The text of a Win32 error code, for failure messages.
#pragma once

#include <string>

namespace harness {

// "error 2 (The system cannot find the file specified.)"
std::string DescribeError(unsigned long code);

// DescribeError of GetLastError().
std::string DescribeLastError();

}  // namespace harness
